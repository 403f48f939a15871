#pragma once

#include <string>

// The bytes of a document under res/, exactly as the executable carries them.
std::string ReadShippedDocument(const char* fileName);

#pragma once

#include <windows.h>

#include <string>

// The configuration documents are compiled into the executable as resources of type "TEXT", byte for byte.
// Copies the bytes of resource id (any language the loader picks for this thread) of module (null: the
// executable) into out. False, with out untouched, when the resource is missing or cannot be loaded.
bool LoadTextResource(HMODULE module, int id, std::string& out);

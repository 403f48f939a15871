#include "tests/core/ShippedDocuments.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

std::string ReadShippedDocument(const char* fileName)
{
    const std::string path = std::string(LUMORA_RES_DIR) + "/" + fileName;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot open " + path);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// What the fuzz targets share: a headless GL context for the loaders that
// make textures and shaders, quiet standard output, and the input as a file
// (the loaders under test read files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// False when no context can be had; the target then tests nothing.
bool FuzzReady();
// Writes the input to a scratch file of this name and answers its path.
std::string FuzzFile(const char* name, const uint8_t* data, size_t size);
// The scratch directory, ending in "/".
const std::string& FuzzDirectory();

// PNG decoding for the browser, where libpng is not available: stb_image,
// giving the same 8-bit RGBA rows, top row first, as the Linux host's loader.
#pragma once

#include <string>

#include "DemoSys/Host.h"

bool DecodePictureWithStb(const std::string& path, Host::Picture& picture, std::string& error);

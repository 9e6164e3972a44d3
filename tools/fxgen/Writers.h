// Each writer puts its part of the data tree under the bundle. They throw
// std::runtime_error when a file cannot be written.
#pragma once

#include <string>

void WriteLoadingPicture(const std::string& fxData);
void WriteMusic(const std::string& bundle);

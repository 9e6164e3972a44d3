// The application bundle's directory: every data path is this followed by a
// path that starts with "/FxData/".
#pragma once

#include <string>

namespace Bundle {

const std::string& Path();
void SetPath(const std::string& path);

// The data tree's directory, and whether it exists: without it nothing of the
// show could load.
std::string DataTreePath();
bool HasDataTree();

}  // namespace Bundle

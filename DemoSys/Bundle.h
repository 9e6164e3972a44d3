// The application bundle's directory: every data path is this followed by a
// path that starts with "/FxData/".
#pragma once

#include <string>

namespace Bundle {

const std::string& Path();
void SetPath(const std::string& path);

// The two post-process shaders (paths without their ".vsh"/".fsh" endings,
// after the bundle path): every frame reaches the screen through one of
// them, so a place without them holds no usable data tree.
extern const char* const kPostProcessNormal;
extern const char* const kPostProcessGryn;

// What a place lacks to hold a usable data tree: "FxData" when the folder is
// missing, else the first post-process shader file missing, relative to the
// place; empty when the data tree is usable. Any other missing file is the
// loaders' to report: the show plays on without it.
std::string MissingDataFile(const std::string& place);

// The data tree's directory, and whether it is usable at the bundle path.
std::string DataTreePath();
bool HasDataTree();

}  // namespace Bundle

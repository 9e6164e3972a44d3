// The scenes loaded from the generated data tree on headless GL: what their pictures, held by the reference frames,
// cannot show.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Effects/particleScene.h"
#include "GLTestSupport.h"

namespace {

// True while some descriptor of this process names the file.
bool Open(const std::string& name) {
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code gone;  // the listing's own descriptor is closed by the time it is read
        if (std::filesystem::read_symlink(fd.path(), gone).string().find(name) != std::string::npos) return true;
    }
    return false;
}

class SceneRenderTest : public SceneTest {};

TEST_F(SceneRenderTest, TheParticleFigureKeepsNoFileOpenOnceLoaded) {
    Loaded<particleScene>();
    EXPECT_FALSE(Open("particles.raw"));
}

}  // namespace

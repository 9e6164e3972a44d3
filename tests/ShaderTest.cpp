#include <gtest/gtest.h>

#include "DemoSys/Riraru3Z/Shader.h"
#include "GLTestSupport.h"
#include "TempTree.h"

namespace {

const char* const kVertex =
    "attribute vec4 pos;\nattribute vec3 norm;\nattribute vec2 uv;\nattribute vec3 center;\n"
    "uniform mat4 modelViewProjectionMatrix;\nvarying vec2 vUv;\n"
    "void main() { vUv = uv + norm.xy + center.xy; gl_Position = modelViewProjectionMatrix * pos; }\n";
const char* const kFragmentWithMisc =
    "precision mediump float;\nuniform vec4 color;\nuniform vec4 misc_3;\nvarying vec2 vUv;\n"
    "void main() { gl_FragColor = color * misc_3 + vec4(vUv, 0.0, 0.0); }\n";
const char* const kFragmentPlain =
    "precision mediump float;\nvarying vec2 vUv;\nvoid main() { gl_FragColor = vec4(vUv, 0.0, 1.0); }\n";

class ShaderTest : public GLTest {
protected:
    std::string WritePair(const std::string& name, const char* vertex, const char* fragment) {
        if (vertex) mTree.Write(name + ".vsh", vertex);
        if (fragment) mTree.Write(name + ".fsh", fragment);
        return mTree.Path() + "/" + name;
    }
    TempTree mTree;
};

}  // namespace

TEST_F(ShaderTest, SamePathCompilesOnceAndAnswersTheSameObject) {
    const std::string path = WritePair("twice", kVertex, kFragmentWithMisc);
    Shader* first = Shader::LoadShader(path);
    ASSERT_NE(first->GetProgram(), 0u);
    // Breaking the files now shows whether a second load compiles again.
    WritePair("twice", "not glsl", "not glsl");
    Shader* second = Shader::LoadShader(path);
    EXPECT_EQ(first, second);
    EXPECT_NE(second->GetProgram(), 0u);
}

TEST_F(ShaderTest, MissingFragmentFileIsLoggedAndCachedAsProgramZero) {
    const std::string path = WritePair("nofrag", kVertex, nullptr);
    testing::internal::CaptureStderr();
    Shader* s = Shader::LoadShader(path);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find(path + ".fsh"), std::string::npos) << log;
    EXPECT_EQ(s->GetProgram(), 0u);
    // Every slot says absent, so that no caller sets a uniform of program 0.
    const GLint slots[] = {s->GetUniformMvpMatrix(),    s->GetUniformMvMatrix(),   s->GetUniformShadowMatrix(),
                           s->GetUniformColor(),        s->GetUniformDiffuseMap(), s->GetUniformShadowMap(),
                           s->GetUniformCamInvRotMatrix(), s->GetUniformMiscParam(0), s->GetUniformMiscParam(1),
                           s->GetUniformMiscParam(2),   s->GetUniformMiscParam(3)};
    for (size_t i = 0; i < sizeof slots / sizeof slots[0]; ++i) EXPECT_EQ(slots[i], -1) << "slot " << i;
    EXPECT_EQ(Shader::LoadShader(path), s);
}

TEST_F(ShaderTest, CompileErrorLogsTheCompilerAndFails) {
    const std::string path = WritePair("broken", "void main() { gl_Position = undefined_thing; }\n", kFragmentPlain);
    testing::internal::CaptureStderr();
    Shader* s = Shader::LoadShader(path);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Shader compile log:\n"), std::string::npos);
    EXPECT_NE(log.find("Failed to compile vertex shader"), std::string::npos);
    EXPECT_EQ(s->GetProgram(), 0u);
}

TEST_F(ShaderTest, LinkErrorIsReported) {
    // The vertex stage never writes the varying the fragment stage reads.
    const std::string path = WritePair(
        "unlinked", "void main() { gl_Position = vec4(0.0); }\n",
        "precision mediump float;\nvarying vec3 missing;\nvoid main() { gl_FragColor = vec4(missing, 1.0); }\n");
    testing::internal::CaptureStderr();
    Shader* s = Shader::LoadShader(path);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Failed to link program: "), std::string::npos);
    EXPECT_EQ(s->GetProgram(), 0u);
}

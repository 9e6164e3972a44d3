// A linked GLSL ES program from a pair of files, path + ".vsh" and
// path + ".fsh", with the uniform locations looked up once at link time.
// Programs are shared through a cache keyed by path and never released.
#pragma once

#include <GLES2/gl2.h>

#include <map>
#include <string>

class Shader {
public:
    // Cached by the exact path; a failed load is cached too (program 0).
    static Shader* LoadShader(const std::string& path);

    bool LoadShaderFromFile(const std::string& path);
    bool CompileShader(GLuint* shader, GLenum type, const std::string& file);
    bool LinkProgram(GLuint program);
    bool ValidateProgram(GLuint program);
    // Skips glUseProgram when this program is already current.
    void BindShader();

    GLuint GetProgram() const { return mProgram; }
    GLint GetUniformDiffuseMap() const { return mDiffuseMap; }
    GLint GetUniformShadowMap() const { return mShadowMap; }
    GLint GetUniformMvpMatrix() const { return mMvpMatrix; }
    GLint GetUniformMvMatrix() const { return mMvMatrix; }
    GLint GetUniformShadowMatrix() const { return mShadowMatrix; }
    GLint GetUniformColor() const { return mColor; }
    GLint GetUniformCamInvRotMatrix() const { return mCamInvRotMatrix; }
    // -1 also for an index outside 0..3.
    GLint GetUniformMiscParam(int i) const { return i >= 0 && i < 4 ? mMisc[i] : -1; }

    static std::map<std::string, Shader*>* mShaderCache;
    static GLuint mLastProgram;

private:
    void ForgetLocations();

    GLuint mProgram = 0;
    GLint mDiffuseMap = -1;
    GLint mShadowMap = -1;
    GLint mMvpMatrix = -1;
    GLint mMvMatrix = -1;
    GLint mShadowMatrix = -1;
    GLint mColor = -1;
    GLint mCamInvRotMatrix = -1;
    GLint mMisc[4] = {-1, -1, -1, -1};
};

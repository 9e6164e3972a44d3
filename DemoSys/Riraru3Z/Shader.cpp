#include "Shader.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "DemoSys/DemoLog.h"

std::map<std::string, Shader*>* Shader::mShaderCache = nullptr;
GLuint Shader::mLastProgram = 0;

namespace {

bool ReadText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream contents;
    contents << in.rdbuf();
    text = contents.str();
    return true;
}

template <typename GetLength, typename GetLog>
std::string InfoLog(GLuint object, GetLength getLength, GetLog getLog) {
    GLint length = 0;
    getLength(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 1) return "";
    std::vector<char> log(static_cast<size_t>(length));
    getLog(object, length, &length, log.data());
    return std::string(log.data(), static_cast<size_t>(length));
}

}  // namespace

Shader* Shader::LoadShader(const std::string& path) {
    if (!mShaderCache) mShaderCache = new std::map<std::string, Shader*>();
    const auto hit = mShaderCache->find(path);
    if (hit != mShaderCache->end()) return hit->second;
    Shader* shader = new Shader();
    shader->LoadShaderFromFile(path);
    (*mShaderCache)[path] = shader;
    return shader;
}

bool Shader::CompileShader(GLuint* shader, GLenum type, const std::string& file) {
    std::string source;
    if (!ReadText(file, source)) {
        DemoLog("Failed to load vertex shader");
        DemoLog("%s: cannot be read", file.c_str());
        return false;
    }
    const GLchar* text = source.c_str();
    *shader = glCreateShader(type);
    glShaderSource(*shader, 1, &text, nullptr);
    glCompileShader(*shader);
    const std::string log = InfoLog(*shader, glGetShaderiv, glGetShaderInfoLog);
    if (!log.empty()) DemoLog("Shader compile log:\n%s", log.c_str());
    GLint status = 0;
    glGetShaderiv(*shader, GL_COMPILE_STATUS, &status);
    if (!status) {
        DemoLog("%s: does not compile", file.c_str());
        glDeleteShader(*shader);
        *shader = 0;
        return false;
    }
    return true;
}

bool Shader::LinkProgram(GLuint program) {
    glLinkProgram(program);
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status != 0;
}

bool Shader::ValidateProgram(GLuint program) {
    glValidateProgram(program);
    const std::string log = InfoLog(program, glGetProgramiv, glGetProgramInfoLog);
    if (!log.empty()) DemoLog("Program validate log:\n%s", log.c_str());
    GLint status = 0;
    glGetProgramiv(program, GL_VALIDATE_STATUS, &status);
    return status != 0;
}

void Shader::ForgetLocations() {
    mDiffuseMap = mShadowMap = mMvpMatrix = mMvMatrix = mShadowMatrix = mColor = mCamInvRotMatrix = -1;
    for (GLint& misc : mMisc) misc = -1;
}

bool Shader::LoadShaderFromFile(const std::string& path) {
    ForgetLocations();
    mProgram = glCreateProgram();
    GLuint vertex = 0, fragment = 0;
    if (!CompileShader(&vertex, GL_VERTEX_SHADER, path + ".vsh")) {
        DemoLog("Failed to compile vertex shader");
        glDeleteProgram(mProgram);
        mProgram = 0;
        return false;
    }
    if (!CompileShader(&fragment, GL_FRAGMENT_SHADER, path + ".fsh")) {
        DemoLog("Failed to compile fragment shader");
        glDeleteShader(vertex);
        glDeleteProgram(mProgram);
        mProgram = 0;
        return false;
    }
    glAttachShader(mProgram, vertex);
    glAttachShader(mProgram, fragment);
    glBindAttribLocation(mProgram, 0, "pos");
    glBindAttribLocation(mProgram, 1, "norm");
    glBindAttribLocation(mProgram, 2, "uv");
    glBindAttribLocation(mProgram, 3, "center");
    if (!LinkProgram(mProgram)) {
        DemoLog("Failed to link program: %d", mProgram);
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        glDeleteProgram(mProgram);
        mProgram = 0;
        return false;
    }
    mDiffuseMap = glGetUniformLocation(mProgram, "diff_map");
    mShadowMap = glGetUniformLocation(mProgram, "shadow_map");
    mMvpMatrix = glGetUniformLocation(mProgram, "modelViewProjectionMatrix");
    mMvMatrix = glGetUniformLocation(mProgram, "modelViewMatrix");
    mShadowMatrix = glGetUniformLocation(mProgram, "shadowMatrix");
    mColor = glGetUniformLocation(mProgram, "color");
    mCamInvRotMatrix = glGetUniformLocation(mProgram, "cameraInverseRotationMatrix");
    static const char* const kMiscNames[4] = {"misc_0", "misc_1", "misc_2", "misc_3"};
    for (int i = 0; i < 4; ++i) mMisc[i] = glGetUniformLocation(mProgram, kMiscNames[i]);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return true;
}

void Shader::BindShader() {
    if (mProgram == mLastProgram) return;
    mLastProgram = mProgram;
    glUseProgram(mProgram);
}

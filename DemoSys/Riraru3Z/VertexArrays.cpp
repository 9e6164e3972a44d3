#include "VertexArrays.h"

#include <cstring>

#include "DemoSys/DemoLog.h"
#include "DemoSys/Host.h"

namespace VertexArrays {
namespace {

using GenFunction = void (*)(GLsizei, GLuint*);
using BindFunction = void (*)(GLuint);

struct Entry {
    bool looked = false;
    GenFunction gen = nullptr;
    BindFunction bind = nullptr;
};

Entry& Lookup() {
    static Entry lEntry;
    if (lEntry.looked) return lEntry;
    lEntry.looked = true;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (extensions && strstr(extensions, "GL_OES_vertex_array_object")) {
        lEntry.gen = reinterpret_cast<GenFunction>(Host::GLProcAddress("glGenVertexArraysOES"));
        lEntry.bind = reinterpret_cast<BindFunction>(Host::GLProcAddress("glBindVertexArrayOES"));
    }
    if (!lEntry.gen || !lEntry.bind) {
        lEntry.gen = nullptr;
        lEntry.bind = nullptr;
        DemoLog("kestrel: GL_OES_vertex_array_object is missing; render lists set their vertex "
                "attributes on every draw");
    }
    return lEntry;
}

}  // namespace

bool Available() { return Lookup().gen != nullptr; }

GLuint Generate() {
    GLuint array = 0;
    if (Available()) Lookup().gen(1, &array);
    return array;
}

void Bind(GLuint array) {
    if (Available()) Lookup().bind(array);
}

}  // namespace VertexArrays

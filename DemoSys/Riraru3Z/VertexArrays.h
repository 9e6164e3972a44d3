// Vertex array objects through GL_OES_vertex_array_object. Without the
// extension a render list sets its attribute pointers on every draw instead.
#pragma once

#include <GLES2/gl2.h>

namespace VertexArrays {

// Looks the extension up once; says so on standard error when it is missing.
bool Available();
GLuint Generate();
void Bind(GLuint array);

}  // namespace VertexArrays

// Vertex data that changes every frame (screen quads, particles, the
// overlay), streamed into one buffer object made at load. Drawing only from
// buffers keeps a single path that WebGL, which cannot draw from ordinary
// memory, shares with the native renderer.
#pragma once

#include <GLES2/gl2.h>

#include <cstddef>

class StreamingVertexBuffer {
public:
    // Needs a current context; the buffer holds capacity bytes.
    explicit StreamingVertexBuffer(size_t capacity);
    ~StreamingVertexBuffer();
    StreamingVertexBuffer(const StreamingVertexBuffer&) = delete;
    StreamingVertexBuffer& operator=(const StreamingVertexBuffer&) = delete;

    // Binds the buffer to GL_ARRAY_BUFFER and copies bytes to offset, so
    // that attribute pointers set next take offsets into it (At). Bytes past
    // the capacity are not copied.
    void Stream(const void* data, size_t bytes, size_t offset = 0) const;
    // Leaves GL_ARRAY_BUFFER unbound, as the rest of the renderer expects.
    static void Unbind() { glBindBuffer(GL_ARRAY_BUFFER, 0); }
    static const void* At(size_t offset) { return reinterpret_cast<const void*>(offset); }

private:
    GLuint mBuffer = 0;
    size_t mCapacity;
};

#include "StreamingVertexBuffer.h"

StreamingVertexBuffer::StreamingVertexBuffer(size_t capacity) : mCapacity(capacity) {
    glGenBuffers(1, &mBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, mBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(capacity), nullptr, GL_STREAM_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

StreamingVertexBuffer::~StreamingVertexBuffer() { glDeleteBuffers(1, &mBuffer); }

void StreamingVertexBuffer::Stream(const void* data, size_t bytes, size_t offset) const {
    glBindBuffer(GL_ARRAY_BUFFER, mBuffer);
    if (offset >= mCapacity) return;
    if (bytes > mCapacity - offset) bytes = mCapacity - offset;
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(offset), static_cast<GLsizeiptr>(bytes), data);
}

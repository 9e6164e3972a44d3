#include "DAS_MAS_Lexer.h"

#include <cstdlib>
#include <cstring>

namespace MAS {

namespace {

const char kLower[33] = "abcdefghijklmnopqrstuvwxyz\xC3\xA5\xC3\xA4\xC3\xB6";
const char kUpper[33] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ\xC3\x85\xC3\x84\xC3\x96";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

char mytoupper(char c) {
    for (int i = 0; i < 32; ++i)
        if (kLower[i] == c) return kUpper[i];
    return c;
}

bool Compare(const char* a, const char* b) {
    const size_t n = strlen(a);
    if (n != strlen(b)) return false;
    for (size_t i = 0; i < n; ++i)
        if (mytoupper(a[i]) != mytoupper(b[i])) return false;
    return true;
}

bool EndsWith(const char* text, const char* suffix) {
    const size_t n = strlen(text), m = strlen(suffix);
    return n > m && Compare(text + n - m, suffix);
}

bool Cursor::GetToken(char* out, unsigned size) {
    const char* p = mAt;
    unsigned used = 0;  // blanks skipped plus characters copied
    while (IsBlank(*p)) {
        ++p;
        ++used;
    }
    unsigned copied = 0;
    while (*p != '\0') {
        if (used + 1 >= size) return false;
        if (IsBlank(*p)) break;
        out[copied++] = *p++;
        ++used;
    }
    out[copied] = '\0';
    mAt = const_cast<char*>(p);
    return copied > 0;
}

bool Cursor::GetString(char* out, unsigned size) {
    const char* p = mAt;
    while (IsBlank(*p)) ++p;
    if (*p != '"') return GetToken(out, size);
    const char* q = p + 1;
    unsigned copied = 0;
    for (;;) {
        if (static_cast<unsigned>(q - mAt) + 1 >= size) return false;
        if (*q == '\0' || *q == '"') break;
        out[copied++] = *q++;
    }
    out[copied] = '\0';
    mAt = const_cast<char*>(*q == '"' ? q + 1 : q);
    return true;
}

bool Cursor::GetInteger(int* value) {
    char token[kTokenSize];
    if (!GetToken(token, sizeof token)) return false;
    const size_t n = strlen(token);
    if (n > 0 && token[n - 1] == ':') token[n - 1] = '\0';
    // strtol with a clamp: atoi's overflow is undefined.
    const long v = strtol(token, nullptr, 10);
    *value = v > 2147483647L ? 2147483647 : (v < -2147483647L - 1 ? -2147483647 - 1 : static_cast<int>(v));
    return true;
}

bool Cursor::GetFloat(float* value) {
    char token[kTokenSize];
    if (!GetToken(token, sizeof token)) return false;
    *value = static_cast<float>(strtod(token, nullptr));
    return true;
}

Cursor::Brace Cursor::NextBrace() {
    char token[kTokenSize];
    if (!GetToken(token, sizeof token)) return Brace::missing;
    return strcmp(token, "{") == 0 ? Brace::open : Brace::other;
}

int Cursor::GetFloats(float* values, int count) {
    for (int i = 0; i < count; ++i)
        if (!GetFloat(&values[i])) return i;
    return count;
}

}  // namespace MAS

// Reading a MAS line at a cursor: blank-separated tokens, quoted strings,
// atoi/atof numbers, and keywords compared with the format's case folding.
// Everything is read in place; tokens are copied only into the caller's
// fixed buffers.
#pragma once

namespace MAS {

constexpr unsigned kTokenSize = 1024;

char mytoupper(char c);
// Equality under the format's folding (a-z and the second bytes of
// UTF-8 a-ring, a-umlaut, o-umlaut); both strings of the same length.
bool Compare(const char* a, const char* b);
// True when text is longer than the suffix and ends in it (folded).
bool EndsWith(const char* text, const char* suffix);

class Cursor {
public:
    explicit Cursor(char* line) : mAt(line) {}

    // False when there is no token, or it is too long for out (then the
    // cursor stays and the rest of the line has no effect).
    bool GetToken(char* out, unsigned size);
    // A quoted string (possibly empty) or a single token.
    bool GetString(char* out, unsigned size);
    // atoi of a token, one trailing ':' dropped; false without a token.
    bool GetInteger(int* value);
    bool GetFloat(float* value);
    enum class Brace { open, missing, other };
    // Whether the next token is "{", absent, or something else.
    Brace NextBrace();
    // Reads up to `count` floats; answers how many were read.
    int GetFloats(float* values, int count);

private:
    char* mAt;
};

}  // namespace MAS

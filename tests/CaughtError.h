// What a call threw, as a value a test can compare: the error's class, its message and, for a file error, the path.
#pragma once

#include <ostream>
#include <string>

#include "BS/Export/BS_Error.h"

struct CaughtError {
    std::string type = "no error";
    std::string message;
    std::string file;
    bool isFileError = false;

    bool operator==(const CaughtError& o) const {
        return type == o.type && message == o.message && file == o.file && isFileError == o.isFileError;
    }
};

inline std::ostream& operator<<(std::ostream& out, const CaughtError& e) {
    return out << e.type << " \"" << e.message << "\"" << (e.isFileError ? " on \"" + e.file + "\"" : "");
}

// A file error as expected, and one that names no file.
inline CaughtError FileFailure(std::string type, std::string message, std::string file) {
    return CaughtError{"BS::" + std::move(type), std::move(message), std::move(file), true};
}
inline CaughtError PlainFailure(std::string type, std::string message) {
    return CaughtError{"BS::" + std::move(type), std::move(message), "", false};
}

template <typename F>
CaughtError Catch(F&& call) {
    try {
        call();
    } catch (const BS::FileError& e) {
        return CaughtError{e.ErrorType(), e.mMessage, e.GetFileName(), true};
    } catch (const BS::Error& e) {
        return CaughtError{e.ErrorType(), e.mMessage, "", false};
    }
    return CaughtError{};
}

// The error's class and the path it names, marked where its message leaves that path out: a user must be told
// which file is at fault, in whatever words.
template <typename F>
std::string Failure(F&& call) {
    const CaughtError e = Catch(call);
    const bool named = e.message.find(e.file) != std::string::npos;
    return e.type + (e.file.empty() ? "" : " " + e.file) + (named ? "" : " (not in the message)");
}

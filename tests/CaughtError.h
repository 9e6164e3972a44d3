// What a call threw: the error's class, its message and, for a file error, the path.
#pragma once

#include <string>

#include "BS/Export/BS_Error.h"

struct CaughtError {
    std::string type = "no error";
    std::string message;
    std::string file;
    bool isFileError = false;
};

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

// The engine libraries report failures by throwing these by value. The
// message is read directly by handlers; what() is deliberately left as the
// standard library's text.
#pragma once

#include <exception>
#include <string>

namespace BS {

class Error : public std::exception {
public:
    explicit Error(std::string message) : mMessage(std::move(message)) {}
    ~Error() override = default;
    virtual std::string ErrorType() const { return "BS::Error"; }

    std::string mMessage;
};

#define BS_DECLARE_ERROR(Name, Base)                                               \
    class Name : public Base {                                                     \
    public:                                                                        \
        using Base::Base;                                                          \
        std::string ErrorType() const override { return "BS::" #Name; }            \
    };

BS_DECLARE_ERROR(OutOfMemory, Error)
BS_DECLARE_ERROR(NullPointer, Error)

class FileError : public Error {
public:
    FileError(std::string message, std::string fileName)
        : Error(std::move(message)), mFileName(std::move(fileName)) {}
    std::string ErrorType() const override { return "BS::FileError"; }
    virtual std::string GetFileName() const { return mFileName; }

    std::string mFileName;
};

BS_DECLARE_ERROR(CannotOpen, FileError)
BS_DECLARE_ERROR(NotFound, CannotOpen)
BS_DECLARE_ERROR(AccessDenied, CannotOpen)
BS_DECLARE_ERROR(NotEmpty, FileError)
BS_DECLARE_ERROR(WriteError, FileError)
BS_DECLARE_ERROR(DiskFull, WriteError)
BS_DECLARE_ERROR(NotUnique, FileError)
BS_DECLARE_ERROR(ReadError, FileError)

#undef BS_DECLARE_ERROR

}  // namespace BS

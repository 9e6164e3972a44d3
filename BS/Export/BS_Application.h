// The one application object: finds the root, application (bundle), current
// and documents directories once, at start.
#pragma once

#include <string>
#include <vector>

#include "BS/Export/BS_File.h"

namespace BS {

class Application {
public:
    Application();
    virtual Application& operator=(const Application&) { return *this; }
    virtual ~Application() = default;

    virtual Directory GetRootDirectory() = 0;
    virtual Directory GetApplicationDirectory() = 0;
    virtual Directory GetCurrentDirectory() = 0;
    virtual Directory GetDocumentsDirectory() = 0;
    virtual std::string GetUserName() = 0;
    virtual bool PollEvents() = 0;
    virtual void ExitProcess(unsigned int code) = 0;

    // Throws BS::NullPointer before the entry point has made the object.
    static Application* GetApplication();
};

class LinuxApplication : public Application {
public:
    LinuxApplication(int count, char** arguments);

    Directory GetRootDirectory() override { return mRootDirectory; }
    Directory GetApplicationDirectory() override { return mApplicationDirectory; }
    Directory GetCurrentDirectory() override { return mCurrentDirectory; }
    Directory GetDocumentsDirectory() override { return mDocumentsDirectory; }
    std::string GetUserName() override;
    bool PollEvents() override;
    void ExitProcess(unsigned int code) override;

    // The directory holding the program named by argv0, cut back to the
    // enclosing ".app" bundle when there is one.
    static std::string FindApplicationPath(const std::string& argv0);

private:
    Directory mRootDirectory;
    Directory mApplicationDirectory;
    Directory mCurrentDirectory;
    Directory mDocumentsDirectory;
};

extern Application* gApplication;

}  // namespace BS

extern int gArgC;
extern char** gArgV;
extern std::vector<std::string> gArguments;
extern bool gAppTerminated;

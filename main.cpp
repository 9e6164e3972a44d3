// Process entry: records the arguments, reads the options, makes the
// application object (which finds the bundle) and hands over to the host's
// application loop. An error of start-up ends the process with one line and
// status 1.
#include <cstdio>
#include <exception>

#include "BS/Export/BS_Application.h"
#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_File.h"
#include "DemoSys/Bundle.h"
#include "kestrel_linuxAppDelegate.h"

namespace {

int Start(int argc, char** argv, const HostOptions& options) {
    BS::gPosix_InitFile();
    // The program's real file, so that a link to it, on PATH or anywhere,
    // still finds the bundle the program lies in.
    const std::string program = RunningProgramPath(argc > 0 ? argv[0] : "");
    char* programArguments[] = {const_cast<char*>(program.c_str()), nullptr};
    BS::gApplication = new BS::LinuxApplication(1, programArguments);
    Bundle::SetPath(BS::Application::GetApplication()->GetApplicationDirectory().GetPath());
    if (!Bundle::HasDataTree()) {
        fprintf(stderr, "kestrel: no data tree at %s\n", Bundle::DataTreePath().c_str());
        return 1;
    }
    // Lives until the process ends; the show ends by exit() inside a frame.
    static kestrel_linuxAppDelegate* delegate = new kestrel_linuxAppDelegate();
    return LinuxApplicationMain(options, Bundle::Path(), *delegate);
}

}  // namespace

int main(int argc, char** argv) {
    gArgC = argc;
    gArgV = argv;
    for (int i = 0; i < argc; ++i) gArguments.emplace_back(argv[i]);
    const HostOptions options = ReadHostOptions(argc, argv);
    try {
        return Start(argc, argv, options);
    } catch (const BS::Error& e) {
        fprintf(stderr, "kestrel: %s\n", e.mMessage.c_str());
    } catch (const std::exception& e) {
        fprintf(stderr, "kestrel: %s\n", e.what());
    }
    return 1;
}

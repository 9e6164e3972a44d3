// Process entry: records the arguments, reads the options, makes the
// application object (which finds the bundle) and hands over to the host's
// application loop. An error of start-up ends the process with status 1 and
// one line, or a line for each place looked in when no data tree is usable.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "BS/Export/BS_Application.h"
#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_File.h"
#include "DemoSys/Bundle.h"
#include "Linux/Source/DataPlaces.h"
#include "kestrel_linuxAppDelegate.h"

namespace {

int Start(int argc, char** argv, const HostOptions& options) {
    BS::gPosix_InitFile();
    // The program's real file, so that a link to it, on PATH or anywhere,
    // still finds the data that lies with the program.
    const std::vector<std::string> places = DataPlaces(RunningProgramPath(argc > 0 ? argv[0] : ""));
    const DataPlaceChoice data = ChooseDataPlace(places);
    if (data.place.empty()) {
        fprintf(stderr, "kestrel: no usable data tree; looked in:\n");
        for (const std::string& lack : data.lacks) fprintf(stderr, "kestrel:   %s\n", lack.c_str());
        return 1;
    }
    // The application object takes its directory from the program's path:
    // handed one inside the chosen place, the engine's own look-ups (the
    // scene files) start from the same place as everything else.
    const std::string program = data.place + "/kestrel";
    char* programArguments[] = {const_cast<char*>(program.c_str()), nullptr};
    BS::gApplication = new BS::LinuxApplication(1, programArguments);
    Bundle::SetPath(BS::Application::GetApplication()->GetApplicationDirectory().GetPath());
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

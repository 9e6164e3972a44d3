// Process entry: records the arguments, makes the application object (which
// finds the bundle) and hands over to the host's application loop.
#include "BS/Export/BS_Application.h"
#include "BS/Export/BS_File.h"
#include "kestrel_linuxAppDelegate.h"

int main(int argc, char** argv) {
    gArgC = argc;
    gArgV = argv;
    for (int i = 0; i < argc; ++i) gArguments.emplace_back(argv[i]);
    BS::gPosix_InitFile();
    BS::gApplication = new BS::LinuxApplication(argc, argv);
    // Lives until the process ends; the show ends by exit() inside a frame.
    static kestrel_linuxAppDelegate* delegate = new kestrel_linuxAppDelegate();
    LinuxApplicationMain(argc, argv, *delegate);
    return 0;
}

#include "BS/Export/BS_Application.h"

#include "BS/Export/BS_Error.h"
#include "BS/Export/BS_Memory.h"

int gArgC = 0;
char** gArgV = nullptr;
std::vector<std::string> gArguments;
bool gAppTerminated = false;

namespace BS {

Application* gApplication = nullptr;

Application::Application() { HardwareInfo::Initialize(); }

Application* Application::GetApplication() {
    if (!gApplication) throw NullPointer("There is no instance of the singleton class BS::Application");
    return gApplication;
}

}  // namespace BS

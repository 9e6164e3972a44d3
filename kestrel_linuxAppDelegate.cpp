#include "kestrel_linuxAppDelegate.h"

#include "BS/Export/BS_Application.h"
#include "DemoSys/Bundle.h"

void kestrel_linuxAppDelegate::didFinishLaunching(DisplaySurface& screen) {
    Bundle::SetPath(BS::Application::GetApplication()->GetApplicationDirectory().GetPath());
    window = &screen;
    viewController = std::make_unique<kestrel_linuxViewController>();
    viewController->viewDidLoad(&screen);
    viewController->view()->window = &screen;
    viewController->viewWillAppear();
}

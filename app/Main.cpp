// Process entry: prepares COM and the common controls, creates the hidden main
// window (whose start-up runs inside its creation) and runs the message loop
// until the main window posts the quit message. Every end gives exit code 0,
// the quit code of the main window. The loop gives the main window the
// dialog keyboard handling, so that it can be worked without a mouse.
#include "framework/Application.h"
#include "app/CMessageLoop.h"
#include "app/DialogKeyboardFilter.h"
#include "app/MainDialog.h"
#include "net/ServiceHosts.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

namespace qx {
namespace {

int Run(LPSTR, int showCommand) {
    Application& application = Application::Instance();
    CMessageLoop loop;
    application.AddMessageLoop(&loop);
    int result = 0;
    const ServiceHosts hosts = CompiledServiceHosts();
    {
        MainDialog mainDialog(hosts);
        HWND window = mainDialog.CreateHidden();
        if (window != nullptr) {
            DialogKeyboardFilter keyboard(window);
            loop.AddMessageFilter(&keyboard);
            ShowWindow(window, showCommand);
            result = loop.Run();
            loop.RemoveMessageFilter(&keyboard);
        }
    }
    application.RemoveMessageLoop();
    return result;
}

}  // namespace
}  // namespace qx

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    CoInitialize(nullptr);
    // The list view, month calendar and date-time picker classes come from the
    // common controls version 6 that the manifest binds.
    INITCOMMONCONTROLSEX classes{8, ICC_COOL_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    qx::Application& application = qx::Application::Instance();
    application.Initialise(instance);
    const int result = qx::Run(commandLine, showCommand);
    application.Release();
    CoUninitialize();
    return result;
}

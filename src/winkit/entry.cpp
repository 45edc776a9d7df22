// The process entry: harden the DLL search path, then hand over to the application object.
#include <windows.h>

#include "winkit/application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The current directory is no place to load DLLs from.
    ::SetDllDirectoryW(L"");
    winkit::Application* app = winkit::Application::Get();
    return app ? app->Run(instance) : 1;
}

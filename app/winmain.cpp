#include "app/plaxometapp.h"
#include "win32/win32dialogwindow.h"
#include "win32/win32services.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    // Held while the program runs, so that the installer and the uninstaller
    // can tell and ask the user to close it before they touch its files.
    const HANDLE running = ::CreateMutexW(nullptr, FALSE, L"Plaxomet.Running");
    Win32Toolkit toolkit;
    Win32MessageService messages;
    Win32ViewerLauncher launcher;
    CPlaxometApp theApp(toolkit, messages, launcher);
    const int status = theApp.InitInstance();
    if (running)
        ::CloseHandle(running);
    return status;
}

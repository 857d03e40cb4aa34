#include "app/plaxometapp.h"
#include "win32/win32dialogwindow.h"
#include "win32/win32services.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    Win32Toolkit toolkit;
    Win32MessageService messages;
    Win32ViewerLauncher launcher;
    CPlaxometApp theApp(toolkit, messages, launcher);
    return theApp.InitInstance();
}

// A second yardstick for start-up under Windows: the main dialog's template
// shown as it stands, every control made, with none of the program's work.
#include "res/dialogs.h"
#include "res/resource.h"
#include "win32/win32dialogwindow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    const auto data = BuildDialogTemplate(res::GetDialogTemplate(IDD_PLAXOMET_DIALOG));
    return static_cast<int>(::DialogBoxIndirectParamW(
        instance, reinterpret_cast<const DLGTEMPLATE *>(data.data()), nullptr,
        [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR { return message == WM_INITDIALOG; }, 0));
}

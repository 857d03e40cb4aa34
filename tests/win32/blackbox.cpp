// Uses Plaxomet.exe as a user would, from another process: starts it in the
// current folder, answers "SETTINGS file not found", presses Enter, then Esc.
// Exits non-zero, with a reason, where the program did not answer as it should.
//
// Given a shortcut (.lnk) instead, opens it as the desktop would, answers the
// first message and presses Esc: the program saves its settings in the
// shortcut's working folder.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

// A message box's text is its static control 0xFFFF; the main dialog's first field is 1000.
constexpr int kBoxText = 0xFFFF, kMainDialogField = 1000;

// A visible dialog or message box of the process (any, for 0) with exactly
// this title (FindWindowEx ignores case) and the control `id`.
HWND WaitForWindow(DWORD process, const std::wstring &title, int id)
{
    for (int tries = 0; tries < 300; ++tries) {
        for (HWND hwnd = nullptr; (hwnd = ::FindWindowExW(nullptr, hwnd, L"#32770", title.c_str()));) {
            DWORD owner = 0;
            wchar_t text[128] = {};
            ::GetWindowThreadProcessId(hwnd, &owner);
            ::GetWindowTextW(hwnd, text, 128);
            if ((process == 0 || owner == process) && ::IsWindowVisible(hwnd) && text == title &&
                ::GetDlgItem(hwnd, id))
                return hwnd;
        }
        ::Sleep(100);
    }
    return nullptr;
}

int Fail(const char *why)
{
    std::printf("blackbox: %s\n", why);
    return 1;
}

void Press(HWND control, WPARAM key)
{
    ::PostMessageW(control, WM_KEYDOWN, key, 1);
    ::PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    const std::wstring target = argc > 1 ? argv[1] : L"";
    const bool shortcut = target.ends_with(L".lnk");
    if (argc < 2)
        return Fail("usage: blackbox PLAXOMET.EXE, or blackbox SHORTCUT.lnk");
    PROCESS_INFORMATION process{};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + target + L"\"";
    if (shortcut ? reinterpret_cast<INT_PTR>(
                       ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOW)) <= 32
                 : !::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &startup, &process))
        return Fail("plaxomet did not start");

    // Boxes carry the program's name as its dialogs show it.
    const HWND box = WaitForWindow(process.dwProcessId, L"Plaxomet", kBoxText);
    wchar_t text[128] = {};
    if (!box || !::GetDlgItemTextW(box, kBoxText, text, 128) ||
        std::wstring(text) != L"SETTINGS file not found")
        return Fail("no message box captioned Plaxomet saying \"SETTINGS file not found\"");
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    const HWND dialog = WaitForWindow(process.dwProcessId, L"Plaxomet", kMainDialogField);
    if (!dialog)
        return Fail("no main dialog");

    if (!shortcut) {
        Press(::GetDlgItem(dialog, 1002), VK_RETURN);
        for (int tries = 0;
             tries < 100 && ::GetFileAttributesW(L"notepad-called.txt") == INVALID_FILE_ATTRIBUTES; ++tries)
            ::Sleep(100);
        if (::GetFileAttributesW(L"notepad-called.txt") == INVALID_FILE_ATTRIBUTES)
            return Fail("Enter did not start the viewer");
    }
    Press(::GetDlgItem(dialog, 1002), VK_ESCAPE);
    for (int tries = 0; tries < 100 && ::IsWindow(dialog); ++tries)
        ::Sleep(100);
    if (::IsWindow(dialog))
        return Fail("Esc did not end the program");
    std::printf("blackbox: %s\n", shortcut ? "started from the shortcut, settings saved"
                                           : "calculated, viewer started, settings saved");
    return 0;
}

// Uses plaxomet.exe as a user would, from another process: starts it in the
// current folder, answers "SETTINGS file not found", types a stave width,
// stave size and page height, presses Enter, then Esc. Exits non-zero, with
// a reason, where the program did not answer as it should.
//
// Given a shortcut (.lnk) instead, opens it as the desktop would, answers the
// first message and presses Esc: the program saves its settings in the
// shortcut's working folder.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
    DWORD process;
    const wchar_t *title;
    HWND found;
};

HWND WaitForWindow(DWORD process, const wchar_t *title)
{
    for (int tries = 0; tries < 300; ++tries) {
        Search search{process, title, nullptr};
        ::EnumWindows(
            [](HWND hwnd, LPARAM lParam) -> BOOL {
                auto *s = reinterpret_cast<Search *>(lParam);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(hwnd, &owner);
                wchar_t text[128] = {};
                ::GetWindowTextW(hwnd, text, 128);
                if ((s->process == 0 || owner == s->process) && ::IsWindowVisible(hwnd) &&
                    std::wstring(text) == s->title) {
                    s->found = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        ::Sleep(100);
    }
    return nullptr;
}

int Fail(const char *why)
{
    std::printf("blackbox: %s\n", why);
    return 1;
}

void Type(HWND dialog, int id, const wchar_t *text)
{
    const HWND edit = ::GetDlgItem(dialog, id);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, WM_CHAR, VK_BACK, 0);
    for (const wchar_t *c = text; *c; ++c)
        ::SendMessageW(edit, WM_CHAR, *c, 0);
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
    const bool shortcut = target.size() > 4 && target.substr(target.size() - 4) == L".lnk";
    if (argc < 5 && !shortcut)
        return Fail("usage: blackbox PLAXOMET.EXE WIDTH SIZE HEIGHT, or blackbox SHORTCUT.lnk");
    PROCESS_INFORMATION process{};
    if (shortcut) {
        if (reinterpret_cast<INT_PTR>(
                ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOW)) <= 32)
            return Fail("the shortcut did not open");
    } else {
        std::wstring command = L"\"" + target + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process))
            return Fail("plaxomet.exe did not start");
    }

    const HWND box = WaitForWindow(process.dwProcessId, L"plaxomet");
    if (!box)
        return Fail("no message box captioned plaxomet");
    wchar_t text[128] = {};
    ::EnumChildWindows(
        box,
        [](HWND child, LPARAM lParam) -> BOOL {
            wchar_t line[128] = {};
            ::GetWindowTextW(child, line, 128);
            if (std::wstring(line) == L"SETTINGS file not found")
                ::lstrcpyW(reinterpret_cast<wchar_t *>(lParam), line);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(text));
    if (std::wstring(text) != L"SETTINGS file not found")
        return Fail("the first message is not \"SETTINGS file not found\"");
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);

    const HWND dialog = WaitForWindow(process.dwProcessId, L"Plaxomet");
    if (!dialog)
        return Fail("no main dialog");
    // The system menu's About command (its place in the menu is checked in
    // the program's own process: Wine does not show one process another's menus).
    ::PostMessageW(dialog, WM_SYSCOMMAND, 16, 0);
    const HWND about = WaitForWindow(process.dwProcessId, L"About Plaxomet");
    if (!about)
        return Fail("the system menu's command 16 did not open the About box");
    ::PostMessageW(about, WM_COMMAND, IDOK, 0);
    for (int tries = 0; tries < 100 && ::IsWindow(about); ++tries)
        ::Sleep(100);

    if (shortcut) {
        Press(::GetDlgItem(dialog, 1000), VK_ESCAPE);
        for (int tries = 0; tries < 100 && ::IsWindow(dialog); ++tries)
            ::Sleep(100);
        if (::IsWindow(dialog))
            return Fail("Esc did not end the program");
        std::printf("blackbox: started from the shortcut, settings saved\n");
        return 0;
    }

    Type(dialog, 1000, argv[2]);
    Type(dialog, 1001, argv[3]);
    Type(dialog, 1002, argv[4]);
    Press(::GetDlgItem(dialog, 1002), VK_RETURN);
    for (int tries = 0; tries < 100 && ::GetFileAttributesW(L"notepad-called.txt") == INVALID_FILE_ATTRIBUTES;
         ++tries)
        ::Sleep(100);
    if (::GetFileAttributesW(L"notepad-called.txt") == INVALID_FILE_ATTRIBUTES)
        return Fail("Enter did not start the viewer");
    Press(::GetDlgItem(dialog, 1002), VK_ESCAPE);
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        return Fail("Esc did not end the program");
    std::printf("blackbox: calculated, viewer started, settings saved\n");
    return 0;
}

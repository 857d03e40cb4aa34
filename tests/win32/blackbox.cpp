// Uses plaxomet.exe as a user would, from another process: starts it in the
// current folder, answers "SETTINGS file not found", types a stave width,
// stave size and page height, presses Enter, then Esc. Exits non-zero, with
// a reason, where the program did not answer as it should.
#include <windows.h>

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
                if (owner == s->process && ::IsWindowVisible(hwnd) && std::wstring(text) == s->title) {
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
    if (argc < 5)
        return Fail("usage: blackbox PLAXOMET.EXE WIDTH SIZE HEIGHT");
    std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return Fail("plaxomet.exe did not start");

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
    const HMENU menu = ::GetSystemMenu(dialog, FALSE);
    wchar_t last[64] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(::GetMenuItemCount(menu) - 1), last, 64, MF_BYPOSITION);
    std::printf("blackbox: last system menu item: %ls\n", last);
    if (std::wstring(last) != L"&About Plaxomet...")
        return Fail("the About entry is not the last item of the system menu");

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

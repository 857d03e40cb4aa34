// Stands in for Notepad in the black-box check: records the command line it
// was started with, the show command and where it was started from, and exits.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int main()
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (FILE *record = _wfopen(L"notepad-called.txt", L"w")) {
        std::fwprintf(record, L"%ls\nshow %d\nfrom %ls\n", ::GetCommandLineW(),
                      (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1, self);
        std::fclose(record);
    }
    return 0;
}

// Stands in for Notepad in the black-box check: records the command line it
// was started with and the show command, and exits.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int main()
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    if (FILE *record = _wfopen(L"notepad-called.txt", L"w")) {
        std::fwprintf(record, L"%ls\nshow %d\n", ::GetCommandLineW(),
                      (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1);
        std::fclose(record);
    }
    return 0;
}

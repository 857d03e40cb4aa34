// Starts a Windows program and measures how long it takes until a visible
// top-level window with the given title appears, and the program's peak
// working set once it has settled; then ends it.
//
//   startup_watch TITLE PROGRAM   prints: <milliseconds> <KiB>
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
    DWORD process;
    const wchar_t *title;
    bool found;
};

BOOL CALLBACK Find(HWND hwnd, LPARAM lParam)
{
    auto *search = reinterpret_cast<Search *>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    wchar_t text[64] = {};
    ::GetWindowTextW(hwnd, text, 64);
    if (owner == search->process && ::IsWindowVisible(hwnd) && std::wstring(text) == search->title) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    if (argc != 3) {
        std::fputs("usage: startup_watch TITLE PROGRAM\n", stderr);
        return 2;
    }
    std::wstring command = L"\"" + std::wstring(argv[2]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER frequency, start, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return 1;
    Search search{process.dwProcessId, argv[1], false};
    for (int tries = 0; tries < 200000 && !search.found; ++tries) {
        ::EnumWindows(Find, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            ::Sleep(1);
    }
    ::QueryPerformanceCounter(&now);
    ::Sleep(300); // settled: the first paint done
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
    ::TerminateProcess(process.hProcess, 0);
    ::WaitForSingleObject(process.hProcess, 5000);
    std::printf("%.1f %zu\n",
                1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart,
                static_cast<std::size_t>(memory.PeakWorkingSetSize / 1024));
    return search.found ? 0 : 1;
}

// Starts a program on an X display and measures how long it takes until a
// top-level window with the given title is mapped, and the program's peak
// resident memory (VmHWM) once it has settled; then ends it.
//
//   startup_watch TITLE PROGRAM [ARGS...]   prints: <milliseconds> <KiB>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

long PeakResidentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

bool HasTitle(Display *display, Window window, const char *title)
{
    char *name = nullptr;
    const bool match = XFetchName(display, window, &name) && name && std::strcmp(name, title) == 0;
    if (name)
        XFree(name);
    return match;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_watch TITLE PROGRAM [ARGS...]\n");
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "startup_watch: no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }

    double milliseconds = -1;
    const auto deadline = start + std::chrono::seconds(30);
    while (milliseconds < 0 && std::chrono::steady_clock::now() < deadline) {
        if (!XPending(display)) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && HasTitle(display, event.xmap.window, argv[1]))
            milliseconds =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    // Let it draw and settle before its peak memory is read.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const long peak = PeakResidentKiB(pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(display);
    if (milliseconds < 0) {
        std::fprintf(stderr, "startup_watch: no window titled %s appeared\n", argv[1]);
        return 1;
    }
    std::printf("%.1f %ld\n", milliseconds, peak);
    return 0;
}

// Starts a program and times how long it takes until its first top-level window is mapped
// on the X display; half a second later, when the window has painted itself, ends it and
// reports its peak resident memory:
//   window_start PROGRAM [ARGS...]   prints "<milliseconds> <peak RSS in KB> <width>x<height>"
// Run it on a display of its own (xvfb-run), where no other program maps windows.
#include <X11/Xlib.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    if (child < 0)
        return 2;

    // Events are read as they come, with a limit, so that a program that never shows a
    // window (or dies) does not hang the run.
    const int fd = ConnectionNumber(display);
    XEvent event;
    bool shown = false;
    while (!shown) {
        while (!shown && XPending(display) > 0) {
            XNextEvent(display, &event);
            shown = event.type == MapNotify && !event.xmap.override_redirect;
        }
        if (shown)
            break;
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "the program ended before it showed a window\n");
            return 1;
        }
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(60)) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            std::fprintf(stderr, "no window within 60 s\n");
            return 1;
        }
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(fd, &fds);
        timeval wait = {0, 10000};
        select(fd + 1, &fds, nullptr, nullptr, &wait);
    }
    const auto shownAt = std::chrono::steady_clock::now();
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, event.xmap.window, &attributes);

    usleep(500 * 1000);
    kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    XCloseDisplay(display);
    std::printf("%.1f %ld %dx%d\n",
                std::chrono::duration<double, std::milli>(shownAt - start).count(), usage.ru_maxrss,
                attributes.width, attributes.height);
    return 0;
}

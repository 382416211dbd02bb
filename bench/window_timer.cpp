// Times a program from its start to its window on screen, for the start-up
// figure of scripts/bench.sh: listens to the X display for windows being
// mapped, starts the command, and stops the clock when a window titled TITLE
// is mapped (under Xvfb without a window manager, when the program shows
// it). Then ends the program and prints the seconds.
//
//   window_timer TITLE TIMEOUT_SECONDS COMMAND [ARGUMENT...]
//
// Exits 1 when no such window shows within the time-out or the program ends
// first. Waiting for events, unlike polling, adds nothing to what it times.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

bool Titled(Display* display, Window window, const std::string& title) {
    char* name = nullptr;
    if (!XFetchName(display, window, &name) || name == nullptr)
        return false;
    const bool same = title == name;
    XFree(name);
    return same;
}

// A window may be gone by the time it is asked about: not an error here.
int IgnoreError(Display*, XErrorEvent*) {
    return 0;
}

void End(pid_t child) {
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: window_timer TITLE TIMEOUT_SECONDS COMMAND [ARGUMENT...]\n");
        return 2;
    }
    const std::string title = argv[1];
    const double timeout = std::atof(argv[2]);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "window_timer: no X display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreError);
    // Top-level windows are the root's children; their names may also be
    // set after they are mapped, so name changes of new windows count too.
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const double start = Now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    const Atom wmName = XInternAtom(display, "WM_NAME", False);
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            Window window = 0;
            if (event.type == CreateNotify) {
                XSelectInput(display, event.xcreatewindow.window, PropertyChangeMask);
            } else if (event.type == MapNotify) {
                window = event.xmap.window;
            } else if (event.type == PropertyNotify && event.xproperty.atom == wmName) {
                XWindowAttributes attributes;
                if (XGetWindowAttributes(display, event.xproperty.window, &attributes) &&
                    attributes.map_state == IsViewable)
                    window = event.xproperty.window;
            }
            if (window != 0 && Titled(display, window, title)) {
                const double shown = Now() - start;
                End(child);
                std::printf("%.4f\n", shown);
                return 0;
            }
        }
        if (waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "window_timer: %s ended without showing \"%s\"\n", argv[3],
                         title.c_str());
            return 1;
        }
        if (Now() - start > timeout) {
            End(child);
            std::fprintf(stderr, "window_timer: no window \"%s\" within %g s\n", title.c_str(),
                         timeout);
            return 1;
        }
        poll(&connection, 1, 50);
    }
}

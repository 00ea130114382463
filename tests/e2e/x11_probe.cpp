// A small X11 client for the end-to-end test of the viewer:
//   x11_probe watch SECONDS   prints "title <window> <text>" for every title that any new
//                             top-level window takes, from its creation on, until SECONDS pass
//   x11_probe close WINDOW    asks the window to close, as a window manager's close box does
// Titles are watched from the X server's side, so that none is missed however quickly the
// viewer replaces its creation title.

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Title(Display* display, Window window) {
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    for (Atom property : {netName, static_cast<Atom>(XA_WM_NAME)}) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, property, 0, 1024, False, AnyPropertyType, &type, &format, &count,
                               &after, &data) == Success &&
            data && (type == utf8 || type == XA_STRING)) {
            std::string text(reinterpret_cast<char*>(data), count);
            XFree(data);
            return text;
        }
        if (data) XFree(data);
    }
    return "";
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

int Watch(Display* display, double seconds) {
    XSetErrorHandler(IgnoreErrors);  // windows may vanish between event and query
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    std::printf("ready\n");
    std::fflush(stdout);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            Window window = 0;
            if (event.type == CreateNotify) {
                window = event.xcreatewindow.window;
                XSelectInput(display, window, PropertyChangeMask | StructureNotifyMask);
            } else if (event.type == PropertyNotify && (event.xproperty.atom == XA_WM_NAME)) {
                window = event.xproperty.window;
            } else if (event.type == MapNotify) {
                std::printf("mapped 0x%lx\n", event.xmap.window);
            }
            if (window) std::printf("title 0x%lx %s\n", window, Title(display, window).c_str());
            std::fflush(stdout);
        }
        struct timespec pause {
            0, 2000000
        };
        nanosleep(&pause, nullptr);
    }
    return 0;
}

int Close(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "watch") != 0 && std::strcmp(argv[1], "close") != 0)) {
        std::fprintf(stderr, "usage: x11_probe watch SECONDS | close WINDOW\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x11_probe: cannot open display\n");
        return 1;
    }
    int result = std::strcmp(argv[1], "watch") == 0 ? Watch(display, std::atof(argv[2]))
                                                    : Close(display, std::strtoul(argv[2], nullptr, 0));
    XCloseDisplay(display);
    return result;
}

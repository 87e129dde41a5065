// close_window TITLE SECONDS
//
// Waits up to SECONDS for a mapped top-level window titled TITLE on $DISPLAY,
// then asks it to close the way a window manager does when its close button
// is clicked: a WM_DELETE_WINDOW client message. Exits 0 once sent, 1 when
// no such window appeared, 2 when the display cannot be opened.

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace {

struct DisplayCloser
{
    void operator()(Display *display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

struct XFreer
{
    void operator()(void *data) const { XFree(data); }
};

std::string titleOf(Display *display, Window window)
{
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(display, window, netWmName, 0, 1024, False, utf8, &type, &format, &count,
                           &remaining, &data)
            == Success
        && data != nullptr) {
        const std::unique_ptr<unsigned char, XFreer> owned(data);
        return {reinterpret_cast<const char *>(data), count};
    }
    return {};
}

std::optional<Window> findWindow(Display *display, const std::string &title)
{
    Window root = 0;
    Window parent = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0)
        return std::nullopt;
    const std::unique_ptr<Window, XFreer> owned(children);
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[i], &attributes) != 0
            && attributes.map_state == IsViewable && titleOf(display, children[i]) == title)
            return children[i];
    }
    return std::nullopt;
}

void askToClose(Display *display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("usage: close_window TITLE SECONDS\n", stderr);
        return 2;
    }
    const std::string title = argv[1];
    const auto deadline
        = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[2]));
    const DisplayPtr display(XOpenDisplay(nullptr));
    if (!display) {
        std::fputs("close_window: cannot open the display\n", stderr);
        return 2;
    }
    while (std::chrono::steady_clock::now() < deadline) {
        if (const std::optional<Window> window = findWindow(display.get(), title)) {
            askToClose(display.get(), *window);
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::fprintf(stderr, "close_window: no window titled \"%s\" appeared\n", title.c_str());
    return 1;
}

#include "x_display.h"

#include <X11/Xlib.h>
#include <poll.h>

namespace mr640::bench {

XDisplay::XDisplay(const std::string& name) : display_(XOpenDisplay(name.c_str()))
{
    // Without a window manager a program's main window is a child of the root window, so
    // its mapping is seen as a MapNotify there.
    if (display_)
        XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
}

XDisplay::~XDisplay()
{
    if (display_)
        XCloseDisplay(display_);
}

void XDisplay::Discard()
{
    XSync(display_, True);
}

std::optional<MappedSize> XDisplay::WaitForMap(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type != MapNotify)
                continue;
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(display_, event.xmap.window, &attributes))
                return MappedSize{};
            return MappedSize{attributes.width, attributes.height};
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        pollfd watched{ConnectionNumber(display_), POLLIN, 0};
        ::poll(&watched, 1, static_cast<int>(left.count()));
    }
}

} // namespace mr640::bench

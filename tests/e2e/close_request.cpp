// Kept apart from the tests: Xlib's macros (Bool, None, Status...) clash with Qt's names.
#include "close_request.h"

#include <X11/Xlib.h>

namespace mr640::test {

bool RequestClose(const QByteArray& display, unsigned long window)
{
    ::Display* x = XOpenDisplay(display.constData());
    if (!x)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x, window, False, NoEventMask, &event);
    XSync(x, False);
    XCloseDisplay(x);
    return true;
}

} // namespace mr640::test

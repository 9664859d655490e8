#pragma once

#include <QByteArray>

namespace mr640::test {

// Asks a top-level window to close as a window manager does when its close button is
// clicked (a WM_DELETE_WINDOW message): the program decides, and may refuse. The X
// server runs without a window manager, and xdotool can only destroy windows. False when
// the display could not be opened.
bool RequestClose(const QByteArray& display, unsigned long window);

} // namespace mr640::test

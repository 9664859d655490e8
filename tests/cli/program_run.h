#pragma once

#include <QString>
#include <QStringList>

namespace mr640::test {

// What the program printed and answered.
struct ProgramRun
{
    int status = -1;
    QStringList out; // standard output, one entry a line
    QStringList err; // standard error
};

// Runs the built program in dir with no display: DISPLAY, WAYLAND_DISPLAY and
// QT_QPA_PLATFORM unset, so anything that reached for a window system would fail. Its home
// is home (dir by default): its settings are those of home/.config/MR640Config/
// MR640Config.ini, and git's configuration is the home's alone, never the system's.
ProgramRun RunProgram(const QString& dir, const QStringList& arguments, const QString& home = {});

} // namespace mr640::test

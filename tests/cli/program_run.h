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
// QT_QPA_PLATFORM unset, so anything that reached for a window system would fail. Its
// settings are those of dir/.config/MR640Config/MR640Config.ini. environment adds or
// replaces variables, "NAME=VALUE" each.
ProgramRun RunProgram(const QString& dir, const QStringList& arguments,
                      const QStringList& environment = {});

} // namespace mr640::test

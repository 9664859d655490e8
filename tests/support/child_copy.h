#pragma once

#include <QProcess>
#include <QProcessEnvironment>

namespace mr640::test {

// A test that needs a second program runs itself again: the copy runs only the current
// test, knows itself by IsChildCopy(), and puts its temporary folders in the test's own.

// True in the copy.
bool IsChildCopy();

// Starts the copy with environment (added to this program's own), its output and errors read
// through copy; its journals in stateHome and its temporary folders in tempFolder (when not
// empty: where this program has them).
void StartChildCopy(QProcess& copy, const QString& stateHome = {}, const QString& tempFolder = {},
                    const QProcessEnvironment& environment = {});

// Waits, reading its output, until the copy prints line; false when it ended first or it
// took longer than a minute. What was read goes to *output.
bool WaitForLine(QProcess& copy, const QByteArray& line, QByteArray* output);

} // namespace mr640::test

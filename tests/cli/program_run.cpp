#include "program_run.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace mr640::test {

namespace {

QStringList Lines(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

ProgramRun RunProgram(const QString& dir, const QStringList& arguments,
                      const QStringList& environment)
{
    QProcess process;
    process.setWorkingDirectory(dir);
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        variables.remove(QString::fromLatin1(name));
    variables.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QStringLiteral("/.config"));
    for (const QString& variable : environment)
        variables.insert(variable.section(QLatin1Char('='), 0, 0),
                         variable.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(variables);
    process.start(QStringLiteral(MR640_PROGRAM), arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << process.errorString().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    return {process.exitCode(), Lines(process.readAllStandardOutput()),
            Lines(process.readAllStandardError())};
}

} // namespace mr640::test

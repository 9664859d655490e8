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

ProgramRun RunProgram(const QString& dir, const QStringList& arguments, const QString& home)
{
    QProcess process;
    process.setWorkingDirectory(dir);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    const QString homeDir = home.isEmpty() ? dir : home;
    environment.insert(QStringLiteral("HOME"), homeDir);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), homeDir + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("GIT_CONFIG_NOSYSTEM"), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(MR640_PROGRAM), arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << process.errorString().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    return {process.exitCode(), Lines(process.readAllStandardOutput()),
            Lines(process.readAllStandardError())};
}

} // namespace mr640::test

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test program runs on the offscreen platform with its settings and its recovery
// journals in folders of its own, so no test reads or writes the user's real ones.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    // A copy of the program that a test runs as a child writes where the test says.
    QTemporaryDir stateDir;
    if (qEnvironmentVariableIsEmpty("MR640_TEST_STATE_HOME"))
        qputenv("MR640_TEST_STATE_HOME", QFile::encodeName(stateDir.path()));
    qputenv("XDG_STATE_HOME", qgetenv("MR640_TEST_STATE_HOME"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

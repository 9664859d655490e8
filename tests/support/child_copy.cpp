#include "child_copy.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <gtest/gtest.h>

namespace mr640::test {

using namespace Qt::StringLiterals;

bool IsChildCopy()
{
    return qEnvironmentVariableIsSet("MR640_TEST_CHILD");
}

void StartChildCopy(QProcess& copy, const QString& stateHome, const QString& tempFolder,
                    const QProcessEnvironment& environment)
{
    QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
    all.insert(environment);
    all.insert(u"MR640_TEST_CHILD"_s, u"1"_s);
    if (!stateHome.isEmpty())
        all.insert(u"MR640_TEST_STATE_HOME"_s, stateHome);
    if (!tempFolder.isEmpty())
        all.insert(u"TMPDIR"_s, tempFolder);
    copy.setProcessEnvironment(all);
    copy.setProcessChannelMode(QProcess::MergedChannels);
    const char* test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    copy.start(QCoreApplication::applicationFilePath(), {u"--gtest_filter=*."_s + QString::fromUtf8(test)});
}

bool WaitForLine(QProcess& copy, const QByteArray& line, QByteArray* output)
{
    const QDeadlineTimer deadline(60'000);
    for (;;) {
        while (copy.canReadLine()) {
            const QByteArray read = copy.readLine();
            *output += read;
            if (read.trimmed() == line)
                return true;
        }
        if (copy.state() == QProcess::NotRunning || deadline.hasExpired())
            return false;
        copy.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    }
}

} // namespace mr640::test

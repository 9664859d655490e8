#include "udisks2_stand_in.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace mr640::test {

using namespace Qt::StringLiterals;

namespace {

const QString kConnection = u"udisks2-stand-in"_s;
const QString kService = u"org.freedesktop.UDisks2"_s;

// A system bus that lets anyone own any name and send and receive anything.
constexpr char kBusConfig[] = R"(<busconfig>
  <type>system</type>
  <listen>unix:path=%1/bus.sock</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/> <allow send_type="signal"/>
    <allow send_type="method_return"/> <allow send_type="error"/>
    <allow receive_type="method_call"/> <allow receive_type="signal"/>
    <allow receive_type="method_return"/> <allow receive_type="error"/>
  </policy>
</busconfig>
)";

std::unique_ptr<UDisks2StandIn> standIn;

class StandInEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { standIn = std::make_unique<UDisks2StandIn>(); }
    void TearDown() override { standIn.reset(); }
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new StandInEnvironment);

} // namespace

UDisks2StandIn::UDisks2StandIn()
{
    QFile config(folder_.filePath(u"bus.conf"_s));
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(QString::fromLatin1(kBusConfig).arg(folder_.path()).toUtf8()) < 0) {
        failure_ = u"cannot write the bus configuration"_s;
        return;
    }
    config.close();
    daemon_.setStandardErrorFile(QProcess::nullDevice()); // its remarks on fd limits
    daemon_.start(u"dbus-daemon"_s,
                  {u"--config-file="_s + config.fileName(), u"--nofork"_s, u"--print-address"_s});
    if (!daemon_.waitForReadyRead(30000)) {
        failure_ = u"dbus-daemon did not start: "_s + daemon_.errorString();
        return;
    }
    const QString address = QString::fromUtf8(daemon_.readLine()).trimmed();
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8());

    QDBusConnection bus = QDBusConnection::connectToBus(address, kConnection);
    QDBusServiceWatcher watcher(kService, bus, QDBusServiceWatcher::WatchForRegistration);
    QSignalSpy registered(&watcher, &QDBusServiceWatcher::serviceRegistered);
    mock_.setStandardOutputFile(QProcess::nullDevice()); // its log of every call
    mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock_.start(u"/usr/bin/python3"_s, {u"-m"_s, u"dbusmock"_s, u"--system"_s, u"--template"_s,
                                        QString::fromUtf8(MR640_UDISKS2_STAND_IN)});
    // Ready when the name is taken; a mock that stopped will never take it.
    const bool ended = QTest::qWaitFor(
        [&] { return !registered.isEmpty() || mock_.state() == QProcess::NotRunning; }, 30000);
    if (!ended || !bus.interface()->isServiceRegistered(kService))
        failure_ = u"python3-dbusmock did not serve UDisks2"_s;
}

UDisks2StandIn::~UDisks2StandIn()
{
    QDBusConnection::disconnectFromBus(kConnection);
    for (QProcess* process : {&mock_, &daemon_}) {
        process->terminate();
        process->waitForFinished(10000);
    }
}

QDBusMessage UDisks2StandIn::Call(const QString& method, const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, u"/org/freedesktop/UDisks2"_s,
                                                       u"org.freedesktop.DBus.Mock"_s, method);
    call.setArguments(arguments);
    const QDBusMessage reply = QDBusConnection(kConnection).call(call);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
        << method.toStdString() << ": " << reply.errorMessage().toStdString();
    return reply;
}

void UDisks2StandIn::AddCard(const QString& name, const QVariantMap& options)
{
    Call(u"AddCard"_s, {name, options});
}

void UDisks2StandIn::RemoveCard(const QString& name)
{
    Call(u"RemoveCard"_s, {name});
}

void UDisks2StandIn::FailNext(const QString& method, const QString& error, const QString& message)
{
    Call(u"FailNext"_s, {method, error, message});
}

QStringList UDisks2StandIn::Calls()
{
    const QDBusMessage reply = Call(u"Calls"_s);
    return reply.arguments().isEmpty() ? QStringList()
                                       : reply.arguments().constFirst().toStringList();
}

void UDisks2StandIn::Clear()
{
    Call(u"Clear"_s);
}

UDisks2StandIn& StandIn()
{
    return *standIn;
}

} // namespace mr640::test

#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

namespace mr640::test {

// UDisks2 as the program meets it, on a private system bus: a dbus-daemon of the test's own
// (its configuration and socket in a temporary folder, DBUS_SYSTEM_BUS_ADDRESS pointing at
// it) with python3-dbusmock serving udisks2_stand_in.py. One runs for the whole test
// program, because Qt connects to the system bus once per process.
class UDisks2StandIn
{
public:
    UDisks2StandIn();
    ~UDisks2StandIn();

    // Empty when it runs; else why it could not start.
    const QString& Failure() const { return failure_; }

    // Puts a card in (InterfacesAdded): options as udisks2_stand_in.py's AddCard takes them.
    void AddCard(const QString& name, const QVariantMap& options);
    // Pulls it out unannounced (InterfacesRemoved).
    void RemoveCard(const QString& name);
    // The next call of method fails with org.freedesktop.UDisks2.Error.<error>.
    void FailNext(const QString& method, const QString& error, const QString& message);
    // "Mount sdb1", "Unmount sdb1", "PowerOff sdb", "Eject sdb", in the order they came.
    QStringList Calls();
    // Every card out, the calls and failures forgotten.
    void Clear();

private:
    QDBusMessage Call(const QString& method, const QVariantList& arguments = {});

    QTemporaryDir folder_;
    QProcess daemon_;
    QProcess mock_;
    QString failure_;
};

// The stand-in of this test program.
UDisks2StandIn& StandIn();

} // namespace mr640::test

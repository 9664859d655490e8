#pragma once

#include "editor/channel_table.h"
#include "library_fixture.h"
#include "window_fixture.h"

#include <QDir>
#include <QSettings>

namespace mr640::test {

// The main window over a real library: north.dip in the folder "lib", a git repository
// whose first commit (by git) holds readme.txt. The git program reads back what the window
// made.
class WindowLibraryTest : public WindowTest
{
protected:
    static void SetUpTestSuite() { IsolateGit(); }

    void SetUp() override
    {
        library_ = SitePath(QStringLiteral("lib"));
        site_ = library_ + QStringLiteral("/north.dip");
        QDir().mkpath(library_);
        Git({QStringLiteral("init"), QStringLiteral("-q"), QStringLiteral("-b"),
             QStringLiteral("main")});
        WriteBytes(library_ + QStringLiteral("/readme.txt"), "Sites of the north line\n");
        Git({QStringLiteral("add"), QStringLiteral("readme.txt")});
        Git({QStringLiteral("commit"), QStringLiteral("-q"), QStringLiteral("-m"),
             QStringLiteral("Readme")});
    }

    QString Git(const QStringList& arguments, const QString& dir = {})
    {
        return QString::fromUtf8(RunGit(arguments, dir.isEmpty() ? library_ : dir));
    }
    // The bytes of an object of the library: "HEAD:north.dip".
    QByteArray GitObject(const QString& name)
    {
        return RunGit({QStringLiteral("show"), name}, library_);
    }

    // The engineer the settings name, written before the window starts.
    void SetEngineer(const Author& engineer)
    {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("MR640Config"),
                           QStringLiteral("MR640Config"));
        settings.setValue(QStringLiteral("Author/Name"), engineer.name);
        settings.setValue(QStringLiteral("Author/Email"), engineer.email);
    }

    // Starts the window with north.dip (channel 17 named name) open.
    FrmDips& StartWithNorth(const QString& name = QStringLiteral("Spare AA17"))
    {
        WriteBytes(site_, SiteNamed(name));
        Start().OpenSiteFile(site_);
        ui.ClearShown();
        return Window();
    }

    // The user types text into a cell of the site on screen.
    void Edit(int row, int field, const QVariant& value)
    {
        Window().Table().setData(Window().Table().index(row, field), value);
        Window().SetModified(true);
    }

    QString library_;
    QString site_;
};

} // namespace mr640::test

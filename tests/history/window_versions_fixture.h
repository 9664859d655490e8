#pragma once

#include "dialog_play.h"
#include "editor/channel_table.h"
#include "library_fixture.h"
#include "window_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

#include <utility>
#include <vector>

namespace mr640::test {

using namespace Qt::StringLiterals;

// The main window over a real library, the folder "lib" (see MakeLibrary), which the git
// program reads back.
class WindowLibraryTest : public WindowTest
{
protected:
    static void SetUpTestSuite() { IsolateGit(); }

    void SetUp() override { MakeLibrary(library_); }

    QString Git(const GitArguments& arguments, const QString& dir = {})
    {
        return QString::fromUtf8(RunGit(arguments, dir.isEmpty() ? library_ : dir));
    }

    // The engineer the settings name, written before the window starts.
    static void SetEngineer(const Author& engineer)
    {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, u"MR640Config"_s,
                           u"MR640Config"_s);
        settings.setValue(u"Author/Name"_s, engineer.name);
        settings.setValue(u"Author/Email"_s, engineer.email);
    }

    // Starts the window with north.dip open.
    FrmDips& StartWithNorth()
    {
        WriteBytes(site_, SiteNamed());
        Start().OpenSiteFile(site_);
        ui.ClearShown();
        return Window();
    }

    // The user changes a cell of the site on screen.
    void Edit(int row, int field, const QVariant& value)
    {
        Window().Table().setData(Window().Table().index(row, field), value);
    }

    // Plays the person at the next modal dialog: notes what its text fields offer, types
    // texts into them by name and presses button.
    void AtDialog(std::vector<std::pair<const char*, QString>> texts, const char* button,
                  QStringList* offered = nullptr)
    {
        ui.AtModal([=](QDialog& dialog) {
            for (const auto& [name, text] : texts) {
                if (offered)
                    offered->append(Control<QLineEdit>(dialog, name).text());
                Control<QLineEdit>(dialog, name).setText(text);
            }
            Control<QPushButton>(dialog, button).click();
            return dialog.result();
        });
    }

    const QString library_ = SitePath(u"lib"_s);
    const QString site_ = library_ + u"/north.dip"_s;
};

} // namespace mr640::test

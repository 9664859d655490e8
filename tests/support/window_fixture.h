#pragma once

#include "editor/channel_ids.h"
#include "window/channel_grid.h"
#include "window/main_window.h"
#include "files/dip_file.h"
#include "platform/settings_store.h"
#include "scripted_ui.h"
#include "test_files.h"

#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace mr640::test {

// The main window as a user meets it: a settings store of its own in a fresh folder, a
// folder for site files, and the scripted person at the keyboard.
class WindowTest : public ::testing::Test
{
protected:
    WindowTest() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config_.path()); }

    FrmDips& Start()
    {
        window_.reset();
        store_ = std::make_unique<SettingsStore>();
        window_ = std::make_unique<FrmDips>(ui, *store_);
        window_->show();
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        return *window_;
    }

    FrmDips& Window() { return *window_; }

    // Starts an edit as the user does: selects the cell, presses F2 and types text over
    // its content. The editor stays open and is returned; null when none opened.
    QLineEdit* StartTyping(int row, int field, const QString& text)
    {
        ChannelGrid& grid = window_->Grid();
        grid.setFocus();
        grid.setCurrentIndex(window_->Table().index(row, field));
        QTest::keyClick(&grid, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (editor) {
            editor->selectAll();
            QTest::keyClicks(editor, text);
        }
        return editor;
    }
    // A path in the folder for site files.
    QString SitePath(const QString& name) const { return files_.filePath(name); }
    QString SiteFolder() const { return files_.path() + u'/'; }
    // Makes a dip file of `rows` default rows in the folder for site files, its first relay
    // named `first` when one is given; its path.
    QString MakeDip(const QString& name, int rows = 384, const QString& first = {}) const
    {
        std::vector<ChannelRow> content(static_cast<std::size_t>(rows));
        FillDefaultRows(content, 0);
        if (!first.isEmpty())
            content[0].relNam = first;
        WriteBytes(SitePath(name), EncodeDip(content));
        return SitePath(name);
    }
    // Makes a dip file of `rows` default rows whose relays are named as given, by channel id
    // ({u"AA17"_s, u"12TPR"_s}); its path.
    QString MakeDip(const QString& name, const std::vector<std::pair<QString, QString>>& names,
                    int rows = 384) const
    {
        std::vector<ChannelRow> content = DefaultRows(rows);
        for (const auto& [id, relay] : names)
            content[static_cast<std::size_t>(*ChannelNumberFromId(id) - 1)].relNam = relay;
        WriteBytes(SitePath(name), EncodeDip(content));
        return SitePath(name);
    }
    // The settings file the window writes.
    QString SettingsFile() const { return config_.filePath(QStringLiteral("MR640Config/MR640Config.ini")); }

    ScriptedUi ui;

private:
    QTemporaryDir config_;
    QTemporaryDir files_;
    std::unique_ptr<SettingsStore> store_;
    std::unique_ptr<FrmDips> window_;
};

} // namespace mr640::test

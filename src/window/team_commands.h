#pragma once

#include "team_transfer.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QLabel;
class QMainWindow;
class QMenuBar;

namespace mr640 {

class SettingsStore;
class SiteFile;
class SiteVersions;
class SiteWindow;
class Ui;

// The library of the site on screen shared with a team: the Team menu ("Share this
// library...", "Get the team's changes", "Send my changes") and, in the status bar, how
// many versions are to send and to get as the last Get or Send saw the team's. Get and Send
// ask the save question first and run off the window's thread (TeamTransfer); a Get opens
// the conflict window when both sides changed a field two ways, and raises the disk-change
// bar when it changed the site's file. The outcome is said in an information box; every
// refusal or failure in a warning box, the library left as it was. A child of the window;
// what it is handed outlives it.
class TeamCommands : public QObject
{
    Q_OBJECT

public:
    TeamCommands(Ui& ui, SettingsStore& settings, SiteFile& siteFile, SiteVersions& versions,
                 SiteWindow& window, QMainWindow& mainWindow);
    ~TeamCommands() override;

    // Adds the "&Team" menu to menuBar.
    void AddMenu(QMenuBar& menuBar);

    void ShareLibrary();
    void GetChanges();
    void SendChanges();

    // The window was first drawn: the counts are shown from now on, the first ones once
    // the drawing is done. Before, they are only due.
    void StartCounting();
    // Shows the counts of the site's library now (the local copy of the team's branch; no
    // network), or nothing where they are not known.
    void ShowCounts();

private:
    // The library of the site on screen; nothing when it has none, after saying why when
    // tell.
    std::optional<TeamLibrary> SiteLibrary(bool tell);
    // Runs work on the library of the site on screen, after the save question; says why
    // it stopped, unless the person cancelled, failure saying a HistoryError's message (%1).
    void WorkOnLibrary(const QString& failure, const std::function<void(TeamLibrary&)>& work);
    // The engineer who records a merge, or who merges the team's notes in any Get.
    Author Recorder(const TeamLibrary& library, bool merge);
    void SiteChanged();

    Ui& ui_;
    SettingsStore& settings_;
    SiteFile& siteFile_;
    SiteVersions& versions_;
    SiteWindow& window_;
    QMainWindow& mainWindow_;
    TeamTransfer transfer_;
    QLabel* counts_;
    bool counting_ = false;
};

} // namespace mr640

#pragma once

#include "history/team_library.h"

#include <QElapsedTimer>
#include <QString>
#include <functional>

namespace mr640 {

struct FileReport;

// The person at the terminal of get and send: the transfer's progress drawn on standard
// error when that is a terminal, and a user name and password asked on the terminal, the
// password not shown, when an https server wants them. Without a terminal nobody is asked.
class TeamTerminal
{
public:
    TeamTerminal();
    ~TeamTerminal() { ClearProgress(); }
    TeamTerminal(const TeamTerminal&) = delete;
    TeamTerminal& operator=(const TeamTerminal&) = delete;

    const TeamCallbacks& Callbacks() const { return callbacks_; }
    // Clears the progress line, before other lines are printed.
    void ClearProgress();

private:
    void ShowProgress(const TransferProgress& progress);

    TeamCallbacks callbacks_;
    QElapsedTimer shownAt_;
    bool shown_ = false;
};

// "AA17 name: "Spare AA17" -> "North TPR" | "North TPR2"": the common value, mine and
// theirs; "channels: 384 -> 768 | 1152" for the channel count. Not escaped yet.
QString ConflictText(const MergeConflict& conflict);

// Runs work on the site library at path, with a terminal for the person, and prints its
// report. A refusal or failure of the team's library is a problem of path: a finding where
// the library is left as it was for the person to act on (a refused send or get), a
// failure otherwise. Answers the report's status.
int WorkOnTeamLibrary(const QString& path, bool quiet,
                      const std::function<void(TeamLibrary&, TeamTerminal&, FileReport&)>& work);

} // namespace mr640

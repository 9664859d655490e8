// The Team menu: sharing the site's library, getting the team's changes and sending mine.

#include "team_commands.h"

#include "conflict_window.h"
#include "editor/shared_routines.h"
#include "files/site_file.h"
#include "files/site_window.h"
#include "history/author.h"
#include "history/site_versions.h"
#include "history/team_dialogs.h"
#include "platform/settings_store.h"
#include "platform/ui.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

namespace mr640 {

using namespace Qt::StringLiterals;

TeamCommands::TeamCommands(Ui& ui, SettingsStore& settings, SiteFile& siteFile,
                           SiteVersions& versions, SiteWindow& window, QMainWindow& mainWindow)
    : QObject(&mainWindow), ui_(ui), settings_(settings), siteFile_(siteFile), versions_(versions),
      window_(window), mainWindow_(mainWindow), transfer_(ui, mainWindow),
      counts_(new QLabel(&mainWindow))
{
    counts_->setObjectName(u"TeamCounts"_s);
    counts_->setTextFormat(Qt::PlainText);
    counts_->setToolTip(u"The versions this library has and the team's has not got, and the "
                        u"reverse, as the last Get or Send saw them"_s);
    counts_->hide();
    mainWindow.statusBar()->addPermanentWidget(counts_);
    // Another site, a version recorded, a library made: the counts follow.
    connect(&siteFile_, &SiteFile::SiteNamed, this, &TeamCommands::SiteChanged);
    connect(&versions_, &SiteVersions::Changed, this, &TeamCommands::SiteChanged);
}

TeamCommands::~TeamCommands() = default;

void TeamCommands::AddMenu(QMenuBar& menuBar)
{
    QMenu* menu = menuBar.addMenu(u"&Team"_s);
    menu->setObjectName(u"MnuTeam"_s);
    const auto add = [&](const char* name, const QString& caption, auto command) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    QAction* share =
        add("MnuShareLibrary", u"&Share this library..."_s, [this] { ShareLibrary(); });
    QAction* get = add("MnuGetChanges", u"&Get the team's changes"_s, [this] { GetChanges(); });
    QAction* send = add("MnuSendChanges", u"Send &my changes"_s, [this] { SendChanges(); });
    // A site in no library has nothing to share; a library not shared, nothing to get or
    // send. The commands themselves say so when they are reached another way.
    connect(menu, &QMenu::aboutToShow, this, [this, share, get, send] {
        const std::optional<TeamLibrary> library = SiteLibrary(false);
        share->setEnabled(library.has_value());
        get->setEnabled(library && !library->Place().isEmpty());
        send->setEnabled(get->isEnabled());
    });
    connect(menu, &QMenu::aboutToHide, this, [share, get, send] {
        for (QAction* action : {share, get, send})
            action->setEnabled(true);
    });
}

std::optional<TeamLibrary> TeamCommands::SiteLibrary(bool tell)
{
    const QString& file = siteFile_.currentFile();
    if (file.isEmpty()) {
        if (tell)
            ShowWarning(ui_,
                        u"The site on screen has no file in a site library: save it in a library, "
                        u"or use Keep history of this folder, to share it with the team."_s);
        return std::nullopt;
    }
    try {
        return TeamLibrary::Open(file);
    } catch (const HistoryError& error) {
        if (tell)
            ShowWarning(
                ui_, u"%1 is in no site library the team can share: %2. Use Keep history of this "
                     u"folder first."_s.arg(siteFile_.currentFileTitle(), error.Message()));
        return std::nullopt;
    }
}

void TeamCommands::ShareLibrary()
{
    window_.EndEdit();
    std::optional<TeamLibrary> library = SiteLibrary(true);
    if (!library)
        return;
    FrmShare dialog(
        ui_, library->Folder(), library->Place(),
        [&library](const QString& place) { library->Share(place); }, &mainWindow_);
    if (ui_.RunModal(dialog) == QDialog::Accepted)
        ShowCounts();
}

void TeamCommands::GetChanges()
{
    WorkOnLibrary(
        u"The team's changes could not be taken: %1. Nothing was changed."_s,
        [this](TeamLibrary& library) {
            const IncomingChanges incoming = transfer_.Run(
                u"Get the team's changes"_s,
                [&library](const TeamCallbacks& callbacks) { return library.Fetch(callbacks); });
            std::vector<MergeSide> decisions;
            if (!incoming.conflicts.empty()) {
                FrmConflicts conflicts(incoming.conflicts, incoming.theirAuthor, &mainWindow_);
                if (ui_.RunModal(conflicts) != QDialog::Accepted)
                    return;
                decisions = conflicts.Decided();
            }
            const Author recorder =
                Recorder(library, incoming.kind == IncomingChanges::Kind::Merge);
            const GetOutcome got = library.Take(incoming, decisions, recorder);
            versions_.LibraryChanged();
            const QFileInfo site(siteFile_.currentFile());
            for (const QString& changed : got.changedFiles) {
                if (QFileInfo(changed) == site)
                    siteFile_.NoticeTeamChange();
            }
            if (got.problems.isEmpty())
                ShowInfo(ui_, got.summary + u'.');
            else
                ShowWarning(ui_, got.summary + u", but "_s + got.problems.join(u"; "_s) + u'.');
        });
}

void TeamCommands::SendChanges()
{
    WorkOnLibrary(u"Your changes could not be sent: %1."_s, [this](TeamLibrary& library) {
        const SendOutcome sent =
            transfer_.Run(u"Send my changes"_s, [&library](const TeamCallbacks& callbacks) {
                return library.Send(callbacks);
            });
        if (sent.skipped.isEmpty())
            ShowInfo(ui_, sent.summary + u'.');
        else
            ShowWarning(ui_, u"%1, but not the tags %2: the team's library holds each for another "
                             u"version."_s.arg(sent.summary, sent.skipped.join(u", "_s)));
    });
}

void TeamCommands::WorkOnLibrary(const QString& failure,
                                 const std::function<void(TeamLibrary&)>& work)
{
    window_.EndEdit();
    std::optional<TeamLibrary> library = SiteLibrary(true);
    // A Get may write the site's file and a Send sends the versions recorded: what the
    // screen holds is saved first, or given up.
    if (!library || !window_.QuerySave())
        return;
    try {
        work(*library);
    } catch (const TeamError& error) {
        if (error.WhatStopped() != TeamError::Kind::Cancelled) // the person knows
            ShowWarning(ui_, error.Message());
    } catch (const HistoryError& error) {
        ShowWarning(ui_, failure.arg(error.Message()));
    }
    ShowCounts(); // as far as the work saw the team's
}

Author TeamCommands::Recorder(const TeamLibrary& library, bool merge)
{
    // A merge is a version of its own: its engineer is asked for once, as a save's is.
    if (merge)
        return versions_.Engineer(library.Folder());
    try {
        return ResolveAuthor(SettingsAuthor(settings_), library.Folder());
    } catch (const HistoryError&) {
        return GitAuthor(library.Folder()); // only the team's notes may be merged, and say so
    }
}

void TeamCommands::StartCounting()
{
    counting_ = true;
    QTimer::singleShot(0, this, &TeamCommands::ShowCounts);
}

void TeamCommands::SiteChanged()
{
    if (counting_)
        ShowCounts();
}

void TeamCommands::ShowCounts()
{
    QString text;
    if (const std::optional<TeamLibrary> library = SiteLibrary(false)) {
        if (const std::optional<TeamCounts> counts = library->Counts())
            text = TeamCountsText(*counts);
    }
    counts_->setText(text);
    counts_->setVisible(!text.isEmpty());
}

} // namespace mr640

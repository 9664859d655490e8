#include "site_recovery.h"

#include "channel_grid.h"
#include "edit_history.h"
#include "editor/channel_count.h"
#include "editor/shared_routines.h"
#include "main_window.h"
#include "files/site_file.h"
#include "platform/ui.h"
#include "recovery_journal.h"

#include <QFile>
#include <QFileInfo>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

QString When(const QDateTime& time)
{
    if (time.date() == QDate::currentDate())
        return time.toString(u"'at' HH:mm"_s);
    return time.toString(u"'on' d MMMM yyyy 'at' HH:mm"_s);
}

QString Unreadable(int records)
{
    return Counted(records, u"more change"_s, u"more changes"_s) +
           u" at the end of the recovery journal could not be read and cannot be recovered."_s;
}

QString DidNotClose(const QString& siteName)
{
    return u"MR640Config did not close normally while %1 was being edited. "_s.arg(
        siteName.isEmpty() ? u"a new site"_s : siteName);
}

// The question about one journal, and whether it offers Compare.
std::pair<QString, bool> Question(const RecoveredSite& recovered)
{
    const JournalSite& site = recovered.site;
    QString text = DidNotClose(site.name) + u"Recover the "_s +
                   Counted(recovered.changes, u"unsaved change"_s, u"unsaved changes"_s) + u" (the last "_s +
                   When(recovered.last) + u")?"_s;
    if (recovered.unreadable > 0)
        text += kCrLf + Unreadable(recovered.unreadable);
    if (site.file.isEmpty())
        return {text, false};
    const QString title = QFileInfo(site.file).fileName();
    switch (ChangeOnDisk(site.saved, site.file)) {
    case DiskChange::Changed:
        return {text + kCrLf + title +
                    u" was changed by another program after these changes began. Compare recovers "
                    u"them and shows how the site differs from the file."_s,
                true};
    case DiskChange::Deleted:
        return {text + kCrLf + title + u" is no longer there: save the recovered site to keep it."_s, false};
    case DiskChange::None:
        break;
    }
    return {text, false};
}

} // namespace

std::optional<SiteRecovery> AskAboutLeftJournals(Ui& ui, const QString& folder)
{
    for (LeftJournal& journal : FindLeftJournals(folder)) {
        std::optional<RecoveredSite> recovered = ReplayJournal(journal.contents.records);
        const int unreadable = journal.contents.unreadable +
                               (recovered ? recovered->unreadable : int(journal.contents.records.size()));
        // Nothing to recover: the changes were undone, or not even where they start from
        // can be read.
        if (!recovered || recovered->changes == 0) {
            if (unreadable > 0)
                ShowInfo(ui, DidNotClose(recovered ? recovered->site.name : u"a site"_s) + Unreadable(unreadable));
            QFile::remove(journal.path);
            continue;
        }
        recovered->unreadable = unreadable;
        const auto [text, offerCompare] = Question(*recovered);
        const MessageButton answer = ui.ShowMessage(
            {text, MessageIcon::Question,
             offerCompare ? MessageButtons::RecoverCompareDiscardLater : MessageButtons::RecoverDiscardLater,
             QString(kAppTitle)});
        if (answer == MessageButton::Recover || answer == MessageButton::Compare)
            return SiteRecovery{std::move(*recovered), answer == MessageButton::Compare, std::move(journal)};
        if (answer == MessageButton::Discard)
            QFile::remove(journal.path);
    }
    return std::nullopt;
}

void FrmDips::OfferRecovery()
{
    std::optional<SiteRecovery> recovery = AskAboutLeftJournals(ui_, journal_->Folder());
    if (!recovery)
        return;
    const RecoveredSite& site = recovery->site;
    grid_->CancelEdit();
    table_.ReplaceRows(site.base);
    SelectCountEntry(ChannelCountPosition(table_.rowCount()));
    const ChosenFile file{site.site.file, QFileInfo(site.site.file).fileName()};
    if (file.fullName.isEmpty()) {
        SetSiteWithoutFile(site.site.name);
    } else {
        AdoptDialogFile(file);
        // What the changes start from, so that a later change by another program shows.
        siteFile_->RememberSiteFile(site.site.saved);
    }
    modified_ = site.baseModified;
    StartHistory();
    history_->Record(u"Recovered changes"_s, site.Changes());
    // The old journal goes once the new one holds the site.
    if (journal_->Flush())
        QFile::remove(recovery->journal.path);
    if (recovery->compare)
        CompareWith(file);
}

} // namespace mr640

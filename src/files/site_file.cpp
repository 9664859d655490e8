// The site's file and the changes other programs make to it: what Open and Save remember of
// it, the question before Save overwrites another program's change and the note that tells
// of one.

#include "site_file.h"

#include "dip_file.h"
#include "editor/channel_table.h"
#include "editor/settings.h"
#include "editor/shared_routines.h"
#include "platform/ui.h"
#include "site_dialogs.h"
#include "site_window.h"

namespace mr640 {

using namespace Qt::StringLiterals;

SiteFile::SiteFile(const ChannelTable& table, Ui& ui, DirectorySettings& directories,
                   SiteWindow& window)
    : table_(table), ui_(ui), directories_(directories), window_(window)
{
}

void SiteFile::AdoptDialogFile(const ChosenFile& chosen)
{
    currentFile_ = chosen.fullName;
    directories_.filePath = DirectoryOf(currentFile_);
    siteName_ = FileStem(chosen.fileTitle);
    currentFileTitle_ = chosen.fileTitle;
    window_.UpdateTitle();
    emit SiteNamed();
}

void SiteFile::SetSiteWithoutFile(const QString& name)
{
    siteName_ = name;
    currentFile_.clear();
    currentFileTitle_.clear();
    RememberSiteFile({});
    window_.UpdateTitle();
    emit SiteNamed();
}

bool SiteFile::WriteSiteFile(const QString& path)
{
    if (QString error; !WriteDipFile(path, table_, &error)) {
        ReportSaveFailure(ui_, path, error);
        return false;
    }
    RememberSiteFile(StampOfWritten(path, EncodeDip(table_.Rows())));
    return true;
}

void SiteFile::RememberSiteFile(const FileStamp& stamp)
{
    siteFileStamp_ = stamp;
    noticedChange_.reset();
    emit ChangeForgotten();
}

bool SiteFile::MayOverwriteSiteFile()
{
    // A file that was deleted is simply written again.
    if (ChangeOnDisk(siteFileStamp_, currentFile_) != DiskChange::Changed)
        return true;
    return ui_.ShowMessage(
               {currentFileTitle_ +
                    u" was changed by another program since it was opened. Overwrite it?"_s,
                MessageIcon::Exclamation, MessageButtons::YesNo, QString(kAppTitle)}) ==
           MessageButton::Yes;
}

void SiteFile::NoticeChangeOnDisk()
{
    Notice(u" was changed by another program."_s, u" was deleted from disk."_s);
}

void SiteFile::NoticeTeamChange()
{
    Notice(u" now holds the team's changes."_s, u" was removed by the team's changes."_s);
}

void SiteFile::Notice(const QString& changed, const QString& deleted)
{
    if (currentFileTitle_.isEmpty())
        return;
    FileStamp now;
    const DiskChange change = ChangeOnDisk(siteFileStamp_, currentFile_, &now);
    if (change == DiskChange::None || now == noticedChange_)
        return;
    noticedChange_ = now;
    emit ChangeNoticed(change, currentFileTitle_ + (change == DiskChange::Deleted ? deleted : changed));
}

} // namespace mr640

// The site's file and the changes other programs make to it: what Open and Save remember of
// it, the question before Save overwrites another program's change and the bar that tells
// of one.

#include "dip_file.h"
#include "editor/shared_routines.h"
#include "platform/file_stamp.h"
#include "platform/ui.h"
#include "window/channel_grid.h"
#include "window/disk_change_bar.h"
#include "window/main_window.h"

namespace mr640 {

using namespace Qt::StringLiterals;

bool FrmDips::WriteSiteFile(const QString& path)
{
    if (!WriteDipFile(path, table_, ui_))
        return false;
    RememberSiteFile(StampOfWritten(path, EncodeDip(table_.Rows())));
    return true;
}

void FrmDips::RememberSiteFile(const FileStamp& stamp)
{
    siteFileStamp_ = stamp;
    noticedChange_ = {};
    diskBar_->hide();
}

bool FrmDips::MayOverwriteSiteFile()
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

void FrmDips::NoticeChangeOnDisk()
{
    if (currentFileTitle_.isEmpty())
        return;
    FileStamp now;
    if (ChangeOnDisk(siteFileStamp_, currentFile_, &now) != DiskChange::Changed ||
        now == noticedChange_)
        return;
    noticedChange_ = now;
    diskBar_->ShowNote(currentFileTitle_ + u" was changed by another program."_s);
}

void FrmDips::ReloadSiteFile()
{
    grid_->EndEdit();
    if (!currentFileTitle_.isEmpty() && QuerySave())
        OpenChosenFile({currentFile_, currentFileTitle_});
}

} // namespace mr640

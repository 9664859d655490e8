#pragma once

#include "platform/file_stamp.h"

#include <QObject>
#include <QString>

#include <optional>

namespace mr640 {

class ChannelTable;
class SiteWindow;
class Ui;
struct ChosenFile;
struct DirectorySettings;

// The site on screen and its file: the site's name, the dip file it was opened from or
// saved to (none for a new, imported or CSV site), and what that file held as the program
// last read or wrote it, so that another program's change to it is noticed. Every change
// of the site's name or file goes through here and updates the window's caption. Owned by
// the window; the table, ui, directories and window outlive it.
class SiteFile : public QObject
{
    Q_OBJECT

public:
    SiteFile(const ChannelTable& table, Ui& ui, DirectorySettings& directories, SiteWindow& window);

    const QString& siteName() const { return siteName_; }
    const QString& currentFile() const { return currentFile_; }
    // The file's name without its folder; empty when the site has no file.
    const QString& currentFileTitle() const { return currentFileTitle_; }

    // The site is now the file chosen in a dialog: it is named for the file, and filePath
    // becomes the file's folder. What the file holds is for the caller to remember.
    void AdoptDialogFile(const ChosenFile& chosen);
    // The site, named name, has no file.
    void SetSiteWithoutFile(const QString& name);

    // Writes the site as a dip file to path and remembers what the file then holds; false
    // when the write failed, which was reported.
    bool WriteSiteFile(const QString& path);
    // What the site's file holds as the program last read or wrote it (a default stamp
    // when the site has no file); forgets any change noticed on disk.
    void RememberSiteFile(const FileStamp& stamp);
    const FileStamp& Stamp() const { return siteFileStamp_; }
    // Asks before Save writes over a file that another program changed since; true when
    // the file may be written.
    bool MayOverwriteSiteFile();
    // Tells of a change another program made to the site's file, or of its deletion, once
    // per change.
    void NoticeChangeOnDisk();
    // Tells of the change a Get of the team's changes made to the site's file, or of its
    // removal, in the same way.
    void NoticeTeamChange();

signals:
    // The site was given its name and file anew: another site is on screen, or this one was
    // saved under a new name.
    void SiteNamed();
    // The site's file was changed (Changed) or deleted (Deleted) by another program; note
    // says so.
    void ChangeNoticed(DiskChange change, const QString& note);
    // The change last noticed no longer stands: the file was read, written or given up.
    void ChangeForgotten();

private:
    // Tells of a change once, with the note's ending for a changed or a deleted file.
    void Notice(const QString& changed, const QString& deleted);

    const ChannelTable& table_;
    Ui& ui_;
    DirectorySettings& directories_;
    SiteWindow& window_;

    QString siteName_;
    QString currentFile_;
    QString currentFileTitle_;
    FileStamp siteFileStamp_;
    std::optional<FileStamp> noticedChange_; // the file as the bar last told of it
};

} // namespace mr640

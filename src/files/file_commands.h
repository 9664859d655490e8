#pragma once

#include <QObject>
#include <QString>

namespace mr640 {

class CardCommands;
class ChannelTable;
class SiteFile;
class SiteProblems;
class SiteVersions;
class SiteWindow;
class Ui;
struct ChosenFile;
struct DirectorySettings;

// The commands on the site's files: Open, Save, Save as, Export to card and Reload, and the
// save question before the site on screen is given up. Questions and file dialogs go
// through ui, and Open and Export offer the cards present before their file dialogs;
// filePath and cfPath follow the files chosen. Each file written and each export to a card
// goes to versions, for the site's library. Owned by the window; what it is handed
// outlives it.
class FileCommands : public QObject
{
    Q_OBJECT

public:
    FileCommands(ChannelTable& table, Ui& ui, DirectorySettings& directories, SiteFile& siteFile,
                 SiteProblems& problems, CardCommands& cards, SiteVersions& versions,
                 SiteWindow& window);

    // True when the caller may go on: nothing to save, saved, or the user chose not to
    // save. False when the user cancelled or the save did not complete.
    bool QuerySave();
    // Saves to the current file, or asks for one; true when the site was written.
    bool SaveSite();
    // Asks for a file and writes the site to it; true when a file was written.
    bool SaveSiteAs();
    void OpenSite();
    // Opens a file named outside the Open dialog (command line, a drop, a recent site):
    // ends the cell edit, asks the save question, then does what Open does with a file
    // chosen in its dialog.
    void OpenSiteFile(const QString& path);
    // What Open does once its dialog has named a file: the reader of its format, the
    // messages, the current file, filePath and modified.
    void OpenChosenFile(const ChosenFile& chosen);
    void ExportToCard();
    // Reads the site's file again; a modified site asks first whether to discard its changes.
    void ReloadSiteFile();

signals:
    // A site file was read or written: opened, saved or saved as (dip or CSV).
    void SiteFileUsed(const QString& fullName);

private:
    ChannelTable& table_;
    Ui& ui_;
    DirectorySettings& directories_;
    SiteFile& siteFile_;
    SiteProblems& problems_;
    CardCommands& cards_;
    SiteVersions& versions_;
    SiteWindow& window_;
};

} // namespace mr640

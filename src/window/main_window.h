#pragma once

#include "editor/channel_table.h"
#include "editor/settings.h"
#include "platform/file_stamp.h"

#include <QMainWindow>

#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QToolBar;

namespace mr640 {

class CardCommands;
class ChannelGrid;
class DiskChangeBar;
class EditCommands;
class EditHistory;
class FrmCompare;
class FrmPrintLabels;
class FrmSiteSelector;
class SettingsStore;
class Ui;
struct ChosenFile;
struct InsDChannel;

// FrmDips, the editor's main window: it owns the channel table and the state of the site
// being edited, and every command is one of its methods. Questions and file dialogs go
// through ui; the settings are read when the window is built and written when it closes.
class FrmDips : public QMainWindow
{
    Q_OBJECT

public:
    FrmDips(Ui& ui, SettingsStore& settings, QWidget* parent = nullptr);
    ~FrmDips() override;

    // Commands.
    void NewSite();
    // Saves to the current file, or asks for one; true when the site was written.
    bool SaveSite();
    void OpenSite();
    // Opens a file named outside the Open dialog (command line, a drop, a recent site):
    // ends the cell edit, asks the save question, then does what Open does with a file
    // chosen in its dialog.
    void OpenSiteFile(const QString& path);
    // What Open does once its dialog has named a file: the reader of its format, the
    // messages, the current file, filePath and modified.
    void OpenChosenFile(const ChosenFile& chosen);
    // Asks for a file and writes the site to it; true when a file was written.
    bool SaveSiteAs();
    void ExportToCard();
    // Asks for a dip or CSV file and shows in the Compare window what differs between the
    // site on screen and the site the file holds; the site on screen never changes.
    void CompareWithFile();
    // The same with a file already chosen.
    void CompareWith(const ChosenFile& chosen);
    // Reads the site's file again, after the save question when the site is modified.
    void ReloadSiteFile();
    // Replaces the labels database's content with the table; asks nothing first.
    void ExportLabels();
    // Opens the "Print labels" dialog for the table, the rows selected in the grid and the
    // site's name; the dialog is made on first use and keeps its choices for the run.
    void PrintLabels();
    // Fills the table with the digital channel allocations of an Instead site.
    void ImportSite();
    // Resets the table to the size of the site and writes allocation k into row k - 1.
    void ApplyAllocations(const std::vector<InsDChannel>& allocations);

    // True when the caller may go on: nothing to save, saved, or the user chose not to
    // save. False when the user cancelled or the save did not complete.
    bool QuerySave();
    void UpdateTitle();
    void AdoptDialogFile(const ChosenFile& chosen);
    void SetSiteWithoutFile(const QString& name);

    // Runs the command of a toolbar key ("New", "Open", ...); any other key does nothing.
    void Toolbar1_ButtonClick(const QString& key);

    // Sizes the table and selects the matching entry of the channel-count list.
    void SetChannelCount(int requested, int mode);

    ChannelTable& Table() { return table_; }
    ChannelGrid& Grid() { return *grid_; }
    EditCommands& Edit() { return *editCommands_; }
    EditHistory& History() { return *history_; }
    DirectorySettings& Directories() { return directories_; }
    const QString& siteName() const { return siteName_; }
    const QString& currentFile() const { return currentFile_; }
    const QString& currentFileTitle() const { return currentFileTitle_; }
    bool modified() const { return modified_; }
    void SetModified(bool value) { modified_ = value; }

signals:
    // A site file was read or written: opened, saved or saved as (dip or CSV).
    void SiteFileUsed(const QString& fullName);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    QMenu* createPopupMenu() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
    void LayOutGrid();
    void CmbNoChans_Click();
    void FillChannelCountList();
    void SelectCountEntry(int position);
    void BuildMenu();
    void BuildToolbars();
    QAction* AddToolbarButton(const QString& key, const QString& tip);
    void RestoreWindowPlacement();
    // After the program replaced or resized the table: the edit history starts afresh and
    // the cursor goes to AA01's relay name.
    void StartHistory();
    // The table as it is now has been saved.
    void MarkSaved();
    void SaveWindowPlacement();
    // Shows the site on screen against the rows of a file in the Compare window.
    void ShowComparison(const std::vector<ChannelRow>& fileRows, const QString& fileName);
    // Writes the site as a dip file to path and remembers what the file then holds.
    bool WriteSiteFile(const QString& path);
    // What the site's file holds as the program last read or wrote it (a default stamp
    // when the site has no file); forgets any change noticed on disk.
    void RememberSiteFile(const FileStamp& stamp);
    // Asks before Save writes over a file that another program changed since.
    bool MayOverwriteSiteFile();
    // Shows the bar above the grid when the site's file changed on disk, once per change.
    void NoticeChangeOnDisk();
    // Selects a cell of the grid and brings the window to the front.
    void SelectCell(int row, int field);

    Ui& ui_;
    SettingsStore& settings_;
    ChannelTable table_;
    // Goes before the table it sends the user's edits to.
    std::unique_ptr<EditHistory> history_;
    DirectorySettings directories_;
    ChannelGrid* grid_ = nullptr;
    EditCommands* editCommands_ = nullptr;
    QComboBox* cmbNoChans_ = nullptr;
    QToolBar* toolbar1_ = nullptr;
    std::unique_ptr<FrmSiteSelector> siteSelector_;
    FrmCompare* compare_ = nullptr; // made at the first comparison
    std::unique_ptr<FrmPrintLabels> printLabels_;
    DiskChangeBar* diskBar_ = nullptr;
    CardCommands* cards_ = nullptr;
    FileStamp siteFileStamp_;
    FileStamp noticedChange_; // the file as the bar last told of it

    QString siteName_;
    QString currentFile_;
    QString currentFileTitle_;
    bool modified_ = false;
    bool ignoreCountClick_ = false;
    int lastCountIndex_ = 0;
    bool resizing_ = false;

    // The placement as read at start-up and as applied in pixels: an unmoved window
    // writes back the figures it was given, not their pixel rounding.
    WindowPlacement restoredPlacement_;
    QRect restoredGeometry_;
};

} // namespace mr640

#pragma once

#include "editor/channel_table.h"
#include "editor/settings.h"
#include "files/site_window.h"

#include <QMainWindow>

#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QToolBar;

namespace mr640 {

class CardCommands;
class ChannelGrid;
class CompareCommand;
class DiskChangeBar;
class EditCommands;
class EditHistory;
class FileCommands;
class FrmCompare;
class FrmHistory;
class ImportCommand;
class PrintLabelsCommand;
class RecoveryJournal;
class SettingsStore;
class SiteFile;
class SiteProblems;
class SiteVersions;
class TeamCommands;
class Ui;
struct ChosenFile;
struct InsDChannel;
struct CompareSides;
struct SiteComparison;

// FrmDips, the editor's main window: it owns the channel table, the site on screen and the
// classes that do its commands, each handed what it needs and seeing the window through
// SiteWindow. Every command is one of its methods, for the menus, the toolbar and the tests.
// Questions and file dialogs go through ui; the settings are read when the window is built
// and written when it closes.
class FrmDips : public QMainWindow, public SiteWindow
{
    Q_OBJECT

public:
    FrmDips(Ui& ui, SettingsStore& settings, QWidget* parent = nullptr);
    ~FrmDips() override;

    // Commands.
    void NewSite();
    // Done by FileCommands.
    bool SaveSite();
    bool SaveSiteAs();
    void OpenSite();
    void OpenSiteFile(const QString& path);
    void OpenChosenFile(const ChosenFile& chosen);
    void ExportToCard();
    void ReloadSiteFile();
    bool QuerySave() override;
    // Done by SiteVersions: Save and Export record and mark versions in the site's library.
    void SaveSiteWithDescription();
    void KeepHistoryOfFolder();
    // The History window, for the site on screen; a site whose versions cannot be read is
    // reported instead.
    void ShowSiteHistory();
    // Done by CompareCommand; the Compare window shows what differs.
    void CompareWithFile();
    void CompareWith(const ChosenFile& chosen);
    // Done by ImportCommand.
    void ImportSite();
    void ApplyAllocations(const std::vector<InsDChannel>& allocations);
    // Offers to recover the changes that a program that did not close normally left.
    void OfferRecovery();
    // Replaces the labels database's content with the table; asks nothing first.
    void ExportLabels();
    // Done by PrintLabelsCommand.
    void PrintLabels();

    void UpdateTitle() override;
    // The site on screen, kept by SiteFile.
    void AdoptDialogFile(const ChosenFile& chosen);
    void SetSiteWithoutFile(const QString& name);
    const QString& siteName() const;
    const QString& currentFile() const;
    const QString& currentFileTitle() const;

    // Runs the command of a toolbar key ("New", "Open", ...); any other key does nothing.
    void Toolbar1_ButtonClick(const QString& key);

    // Sizes the table and selects the matching entry of the channel-count list.
    void SetChannelCount(int requested, int mode);

    ChannelTable& Table() { return table_; }
    ChannelGrid& Grid() { return *grid_; }
    EditCommands& Edit() { return *editCommands_; }
    EditHistory& History() { return *history_; }
    RecoveryJournal& Journal() { return *journal_; }
    SiteProblems& Problems() { return *problems_; }
    SiteVersions& Versions() { return *versions_; }
    TeamCommands& Team() { return *team_; }
    DirectorySettings& Directories() { return directories_; }
    bool modified() const override { return modified_; }
    void SetModified(bool value) override { modified_ = value; }

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
    void SaveWindowPlacement();
    // The rest of SiteWindow, what the commands the window owns see of it.
    void EndEdit() override;
    std::vector<int> SelectedRows() const override;
    void ShowChannelCount() override;
    void StartHistory() override;
    void MarkSaved() override;
    // Shows a comparison of the site on screen with a file in the Compare window.
    void ShowComparison(const SiteComparison& comparison, int screenRows, const QString& fileName);
    FrmCompare& CompareWindow();
    // Selects a cell of the grid and brings the window to the front.
    void SelectCell(int row, int field);

    Ui& ui_;
    SettingsStore& settings_;
    ChannelTable table_;
    // Goes before the table it sends the user's edits to.
    std::unique_ptr<EditHistory> history_;
    std::unique_ptr<RecoveryJournal> journal_; // of the history's steps, so goes before it
    DirectorySettings directories_;
    ChannelGrid* grid_ = nullptr;
    EditCommands* editCommands_ = nullptr;
    QComboBox* cmbNoChans_ = nullptr;
    QToolBar* toolbar1_ = nullptr;
    FrmCompare* compareWindow_ = nullptr; // made at the first comparison
    FrmHistory* historyWindow_ = nullptr; // made when first shown
    DiskChangeBar* diskBar_ = nullptr;
    CardCommands* cards_ = nullptr;
    std::unique_ptr<SiteFile> siteFile_;
    std::unique_ptr<SiteProblems> problems_; // of the site, for the panel and the commands
    std::unique_ptr<SiteVersions> versions_;
    std::unique_ptr<FileCommands> fileCommands_;
    TeamCommands* team_ = nullptr;
    std::unique_ptr<CompareCommand> compareCommand_;
    std::unique_ptr<ImportCommand> importCommand_;
    std::unique_ptr<PrintLabelsCommand> printLabelsCommand_;

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

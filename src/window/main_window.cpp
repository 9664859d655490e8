#include "main_window.h"

#include "card/card_commands.h"
#include "channel_grid.h"
#include "checks/label_fit.h"
#include "checks/site_problems.h"
#include "compare_window.h"
#include "disk_change_bar.h"
#include "edit_commands.h"
#include "edit_history.h"
#include "editor/channel_count.h"
#include "editor/channel_ids.h"
#include "editor/shared_routines.h"
#include "files/compare_command.h"
#include "files/file_commands.h"
#include "files/site_file.h"
#include "history/site_versions.h"
#include "history_window.h"
#include "icons.h"
#include "import/import_command.h"
#include "labels/labels_export.h"
#include "labels/print_labels_command.h"
#include "problems_panel.h"
#include "recovery_journal.h"
#include "platform/settings_store.h"
#include "platform/ui.h"
#include "site_drop.h"
#include "team_commands.h"
#include "window_menus.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QToolBar>

#include <cmath>
#include <set>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// A figure in pixels as twips; the figure restored at start-up when the pixels did not move.
float TwipsOf(int pixels, int restoredPixels, float restoredTwips)
{
    return pixels == restoredPixels ? restoredTwips : static_cast<float>(pixels * kTwipsPerPixel);
}

} // namespace

FrmDips::FrmDips(Ui& ui, SettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), ui_(ui), settings_(settings)
{
    setObjectName(u"FrmDips"_s);
    setWindowTitle(QString(kAppTitle));

    auto* central = new QWidget(this);
    central->setObjectName(u"GridArea"_s);
    setCentralWidget(central);
    central->installEventFilter(this);
    grid_ = new ChannelGrid(central);
    grid_->viewport()->installEventFilter(this);
    grid_->setModel(&table_);
    diskBar_ = new DiskChangeBar(central);
    connect(diskBar_, &DiskChangeBar::VisibilityChanged, this, &FrmDips::LayOutGrid);
    // The site on screen and the classes that do the commands on it.
    siteFile_ = std::make_unique<SiteFile>(table_, ui_, directories_, *this);
    problems_ = std::make_unique<SiteProblems>(
        table_, ui_, [this] { return siteFile_->currentFile(); }, LastLabelSheet(settings_));
    connect(siteFile_.get(), &SiteFile::SiteNamed, problems_.get(), &SiteProblems::NoteNamed);
    cards_ = new CardCommands(ui_, table_, *this);
    versions_ = std::make_unique<SiteVersions>(table_, ui_, settings_, *siteFile_, *this, *this);
    fileCommands_ = std::make_unique<FileCommands>(table_, ui_, directories_, *siteFile_,
                                                   *problems_, *cards_, *versions_, *this);
    team_ = new TeamCommands(ui_, settings_, *siteFile_, *versions_, *this, *this);
    compareCommand_ = std::make_unique<CompareCommand>(table_, ui_, directories_, *this);
    importCommand_ =
        std::make_unique<ImportCommand>(table_, ui_, directories_.insPath, *siteFile_, *this);
    printLabelsCommand_ = std::make_unique<PrintLabelsCommand>(table_, ui_, settings_, directories_,
                                                               *siteFile_, *this, *this);
    connect(siteFile_.get(), &SiteFile::ChangeNoticed, diskBar_, &DiskChangeBar::ShowNote);
    connect(siteFile_.get(), &SiteFile::ChangeForgotten, diskBar_, &QWidget::hide);
    connect(fileCommands_.get(), &FileCommands::SiteFileUsed, this, &FrmDips::SiteFileUsed);
    connect(cards_, &CardCommands::ExportRequested, this, &FrmDips::ExportToCard);
    connect(compareCommand_.get(), &CompareCommand::Compared, this, &FrmDips::ShowComparison);
    connect(compareCommand_.get(), &CompareCommand::Recompared, this,
            [this](const SiteComparison& comparison, int screenRows) {
                if (compareWindow_)
                    compareWindow_->UpdateComparison(comparison, screenRows);
            });
    // A comparison that did not come about leaves no older one on screen as if current.
    connect(compareCommand_.get(), &CompareCommand::Ended, this, [this] {
        if (compareWindow_)
            compareWindow_->close();
    });
    connect(diskBar_, &DiskChangeBar::ReloadRequested, this, &FrmDips::ReloadSiteFile);
    connect(diskBar_, &DiskChangeBar::SaveRequested, this, &FrmDips::SaveSite);
    connect(diskBar_, &DiskChangeBar::CompareRequested, this, [this] {
        CompareWith({siteFile_->currentFile(), siteFile_->currentFileTitle()});
    });
    // A change counts from its first keystroke, so that a command or the close that comes
    // while the user is still typing sees it.
    connect(grid_, &ChannelGrid::EditorTextEdited, this, [this] { modified_ = true; });
    // Every change the user makes to cells is a step of the history, and the site is
    // modified exactly when the history is away from its saved state.
    history_ = std::make_unique<EditHistory>(table_, *grid_);
    connect(history_.get(), &EditHistory::Stepped, this, [this](bool saved) { modified_ = !saved; });
    connect(history_.get(), &EditHistory::CellsSetting, problems_.get(),
            [this](const SharedChanges& changes) { problems_->NoteChanges(*changes); });
    journal_ = std::make_unique<RecoveryJournal>(table_, *history_, *grid_, ui_, [this] {
        return JournalSite{siteFile_->currentFile(), siteFile_->siteName(), siteFile_->Stamp()};
    });
    editCommands_ = new EditCommands(table_, *grid_, *history_, ui_, this);

    BuildMenu();
    editCommands_->AddMenu(*menuBar());
    QMenu* view = menuBar()->addMenu(u"&View"_s);
    view->setObjectName(u"MnuView"_s);
    auto* problemsPanel = new ProblemsPanel(*problems_, *this, *view);
    connect(problemsPanel, &ProblemsPanel::CellChosen, this, &FrmDips::SelectCell);
    team_->AddMenu(*menuBar());
    BuildToolbars();
    Form_Load();
    AddHelpMenu(*this, ui_, settings_);
    // The window's own picture goes to the window system in every size it has; nothing
    // inside the window needs it, so it is given once the window is up.
    QTimer::singleShot(0, this, [this] { setWindowIcon(ApplicationIcon()); });
    AcceptSiteDrops(*this);
}

FrmDips::~FrmDips()
{
    // A window destroyed while shown hides its children after this part of it is gone: the
    // bar must not lay out the grid then.
    disconnect(diskBar_, nullptr, this, nullptr);
}

void FrmDips::Form_Load()
{
    // Cancelling a file dialog is a distinct outcome of the Ui; the grid's row-marker width
    // and relay-name limit are part of ChannelGrid.
    directories_ = LoadDirectories(settings_);
    RestoreWindowPlacement();
    FillChannelCountList();
    SetChannelCount(kChannelsPerUnit, FillAllRows);
}

void FrmDips::BuildMenu()
{
    QMenu* file = menuBar()->addMenu(u"&File"_s);
    file->setObjectName(u"MnuFile"_s);
    auto add = [&](const char* name, const QString& caption, QKeySequence shortcut, auto command) {
        QAction* action = file->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    add("MnuNew", u"&New"_s, QKeySequence::New, [this] { NewSite(); });
    add("MnuOpen", u"&Open..."_s, QKeySequence::Open, [this] { OpenSite(); });
    add("MnuSave", u"&Save"_s, QKeySequence::Save, [this] { SaveSite(); });
    add("MnuSaveAs", u"Save &as..."_s, QKeySequence(u"Ctrl+Shift+S"_s), [this] { SaveSiteAs(); });
    QAction* describe = add("MnuSaveDescribed", u"Save &with a description..."_s, QKeySequence(),
                            [this] { SaveSiteWithDescription(); });
    file->addSeparator()->setObjectName(u"MnuSep0"_s);
    add("MnuImport", u"&Import..."_s, QKeySequence(), [this] { ImportSite(); });
    file->addSeparator()->setObjectName(u"MnuSep1"_s);
    add("MnuExport", u"&Export to MR640..."_s, QKeySequence(), [this] { ExportToCard(); });
    add("MnuExportLabels", u"Export to labels &database"_s, QKeySequence(u"Ctrl+Shift+L"_s),
        [this] { ExportLabels(); });
    add("MnuPrintLabels", u"&Print labels..."_s, QKeySequence::Print, [this] { PrintLabels(); });
    file->addSeparator()->setObjectName(u"MnuCompareSep"_s);
    add("MnuCompare", u"&Compare with..."_s, QKeySequence(), [this] { CompareWithFile(); });
    file->addSeparator()->setObjectName(u"MnuHistorySep"_s);
    QAction* keep = add("MnuKeepHistory", u"&Keep history of this folder..."_s, QKeySequence(),
                        [this] { KeepHistoryOfFolder(); });
    // Ctrl+H is Replace's, as in the editors people know.
    add("MnuHistory", u"&History..."_s, QKeySequence(u"Ctrl+Shift+H"_s), [this] { ShowSiteHistory(); });
    // A folder kept already, or a site without one, has no history to start; a description
    // goes only into a library.
    connect(file, &QMenu::aboutToShow, this, [this, keep, describe] {
        keep->setEnabled(versions_->MayKeepHistory());
        describe->setEnabled(!keep->isEnabled());
    });
    AddFileMenuEnd(*this, *file, settings_, ui_);
}

QAction* FrmDips::AddToolbarButton(const QString& key, const QString& tip)
{
    QAction* action = toolbar1_->addAction(ToolbarIcon(key), tip);
    action->setObjectName(u"Toolbar1"_s + key);
    action->setData(key);
    action->setToolTip(tip);
    connect(action, &QAction::triggered, this, [this, action] { Toolbar1_ButtonClick(action->data().toString()); });
    return action;
}

void FrmDips::BuildToolbars()
{
    // The rebar: band 1 holds the toolbar, band 2 the channel-count list, which stays hidden.
    toolbar1_ = addToolBar(u"Toolbar1"_s);
    toolbar1_->setObjectName(u"Toolbar1"_s);
    toolbar1_->setMovable(false);
    toolbar1_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    AddToolbarButton(u"New"_s, u"New site"_s);
    AddToolbarButton(u"Open"_s, u"Open site"_s);
    AddToolbarButton(u"Import"_s, u"Import..."_s);
    AddToolbarButton(u"Save"_s, u"Save site"_s);
    toolbar1_->addSeparator();
    AddToolbarButton(u"Export"_s, u"Export to MR640"_s);
    AddToolbarButton(u"Labels"_s, u"Export to labels database"_s);

    auto* band2 = addToolBar(u"Channel count"_s);
    band2->setObjectName(u"CoolBar1Band2"_s);
    band2->setMovable(false);
    cmbNoChans_ = new QComboBox(band2);
    cmbNoChans_->setObjectName(u"CmbNoChans"_s);
    cmbNoChans_->setAccessibleName(u"Number of channels"_s);
    band2->addWidget(cmbNoChans_);
    band2->setVisible(false);
    connect(cmbNoChans_, &QComboBox::currentIndexChanged, this, [this] { CmbNoChans_Click(); });
}

QMenu* FrmDips::createPopupMenu()
{
    return nullptr; // the hidden band is never shown, not even from a context menu
}

void FrmDips::FillChannelCountList()
{
    // Adding to an empty list selects its first entry; like the list the program was
    // designed around, it starts with no selection until SetChannelCount picks one.
    const QSignalBlocker quiet(cmbNoChans_);
    for (const ChannelCountEntry& entry : ChannelCountEntries())
        cmbNoChans_->addItem(entry.text, entry.value);
    cmbNoChans_->setCurrentIndex(-1);
}

void FrmDips::SelectCountEntry(int position)
{
    ignoreCountClick_ = true;
    cmbNoChans_->setCurrentIndex(position);
    ignoreCountClick_ = false;
}

void FrmDips::SetChannelCount(int requested, int mode)
{
    if (mr640::SetChannelCount(table_, requested, mode, ui_))
        ShowChannelCount();
}

void FrmDips::ShowChannelCount()
{
    SelectCountEntry(ChannelCountPosition(table_.rowCount()));
}

void FrmDips::CmbNoChans_Click()
{
    grid_->EndEdit();
    if (ignoreCountClick_)
        return;
    const int position = cmbNoChans_->currentIndex();
    if (position < 0) {
        ui_.ShowMessage({u"Impossible selection - how did you do that?"_s, MessageIcon::Exclamation,
                         MessageButtons::Ok, QString(kAppTitle)});
        return;
    }
    const int old = table_.rowCount();
    const int wanted = cmbNoChans_->itemData(position).toInt();
    if (wanted == old)
        return;
    if (wanted < old) {
        const QString text = u"Delete channels "_s + ChannelIdFromNumber(wanted + 1) + u" to "_s +
                             ChannelIdFromNumber(old) + u"?"_s + kCrLf;
        if (ui_.ShowMessage({text, MessageIcon::Question, MessageButtons::OkCancel, QString(kAppTitle)}) !=
            MessageButton::Ok) {
            SelectCountEntry(lastCountIndex_);
            return;
        }
    }
    table_.Resize(wanted);
    modified_ = true;
    table_.FillDefaultRows(old);
    lastCountIndex_ = cmbNoChans_->currentIndex();
    StartHistory();
}

void FrmDips::UpdateTitle()
{
    // Qt reads "[*]" in a title as the place of its modified mark; doubled, it shows as itself.
    QString name = siteFile_->siteName();
    name.replace(u"[*]"_s, u"[*][*]"_s);
    setWindowTitle(name.isEmpty() ? QString(kAppTitle) : name + u" - "_s + kAppTitle);
    // The History window follows the site on screen.
    if (historyWindow_ && historyWindow_->isVisible())
        historyWindow_->Refresh();
}

void FrmDips::AdoptDialogFile(const ChosenFile& chosen)
{
    siteFile_->AdoptDialogFile(chosen);
}

void FrmDips::SetSiteWithoutFile(const QString& name)
{
    siteFile_->SetSiteWithoutFile(name);
}

const QString& FrmDips::siteName() const
{
    return siteFile_->siteName();
}

const QString& FrmDips::currentFile() const
{
    return siteFile_->currentFile();
}

const QString& FrmDips::currentFileTitle() const
{
    return siteFile_->currentFileTitle();
}

bool FrmDips::QuerySave()
{
    return fileCommands_->QuerySave();
}

bool FrmDips::SaveSite()
{
    return fileCommands_->SaveSite();
}

bool FrmDips::SaveSiteAs()
{
    return fileCommands_->SaveSiteAs();
}

void FrmDips::OpenSite()
{
    fileCommands_->OpenSite();
}

void FrmDips::OpenSiteFile(const QString& path)
{
    fileCommands_->OpenSiteFile(path);
}

void FrmDips::OpenChosenFile(const ChosenFile& chosen)
{
    fileCommands_->OpenChosenFile(chosen);
}

void FrmDips::ExportToCard()
{
    fileCommands_->ExportToCard();
}

void FrmDips::ReloadSiteFile()
{
    fileCommands_->ReloadSiteFile();
}

void FrmDips::SaveSiteWithDescription()
{
    grid_->EndEdit();
    versions_->SaveWithDescription([this] { return SaveSite(); });
}

void FrmDips::KeepHistoryOfFolder()
{
    versions_->KeepHistoryOfFolder();
}

void FrmDips::ShowSiteHistory()
{
    if (!historyWindow_) {
        historyWindow_ = new FrmHistory(*versions_, ui_, this);
        // A version against the screen follows the screen as a file's comparison does; two
        // versions stand as they are.
        connect(historyWindow_, &FrmHistory::ComparedWithScreen, this,
                [this](const std::vector<ChannelRow>& rows, const CompareSides& sides) {
                    CompareWindow().ShowComparison(compareCommand_->Follow(rows),
                                                   table_.rowCount(), sides);
                });
        connect(historyWindow_, &FrmHistory::Compared, this,
                [this](const SiteComparison& comparison, int leftRows, const CompareSides& sides) {
                    compareCommand_->Forget();
                    CompareWindow().ShowComparison(comparison, leftRows, sides);
                });
    }
    QString fault;
    if (!historyWindow_->Refresh(&fault)) {
        ShowWarning(ui_, fault);
        if (!historyWindow_->isVisible())
            return;
    }
    historyWindow_->show();
    historyWindow_->raise();
    historyWindow_->activateWindow();
}

void FrmDips::ImportSite()
{
    importCommand_->ImportSite();
}

void FrmDips::ApplyAllocations(const std::vector<InsDChannel>& allocations)
{
    importCommand_->ApplyAllocations(allocations);
}

void FrmDips::PrintLabels()
{
    printLabelsCommand_->PrintLabels();
    // label-fit fits names to the sheet the dialog left chosen.
    problems_->UseLabelSheet(LastLabelSheet(settings_));
}

void FrmDips::CompareWithFile()
{
    compareCommand_->CompareWithFile();
}

void FrmDips::CompareWith(const ChosenFile& chosen)
{
    compareCommand_->CompareWith(chosen);
}

void FrmDips::NewSite()
{
    if (!QuerySave())
        return;
    // The text being typed belongs to the site just given up, not to the new one.
    grid_->CancelEdit();
    table_.FillDefaultRows(0);
    modified_ = false;
    // Named before its history starts: the new site starts with no problem ignored.
    siteFile_->SetSiteWithoutFile(QString());
    StartHistory();
}

void FrmDips::Toolbar1_ButtonClick(const QString& key)
{
    if (key == u"New")
        NewSite();
    else if (key == u"Open")
        OpenSite();
    else if (key == u"Save")
        SaveSite();
    else if (key == u"Import")
        ImportSite();
    else if (key == u"Export")
        ExportToCard();
    else if (key == u"Labels")
        ExportLabels();
}

void FrmDips::ExportLabels()
{
    // What is exported is what the screen shows.
    grid_->EndEdit();
    mr640::ExportLabels(table_, LabelsDatabasePath(), ui_);
}

void FrmDips::closeEvent(QCloseEvent* event)
{
    const bool mayClose = QuerySave();
    // The settings are written also when the close was cancelled.
    SaveDirectories(settings_, directories_);
    SaveWindowPlacement();
    settings_.Flush();
    if (mayClose)
        journal_->End(); // the changes were saved or given up
    if (mayClose)
        event->accept();
    else
        event->ignore();
}

void FrmDips::StartHistory()
{
    problems_->NoteReplaced();
    history_->Start(!modified_);
    // Typing goes where the user can see it.
    grid_->GoToFirstCell();
}

void FrmDips::MarkSaved()
{
    modified_ = false;
    history_->MarkSaved();
    problems_->NoteSaved();
}

void FrmDips::EndEdit()
{
    grid_->EndEdit();
}

std::vector<int> FrmDips::SelectedRows() const
{
    std::set<int> rows;
    for (const QModelIndex& index : grid_->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    return {rows.begin(), rows.end()};
}

void FrmDips::ShowComparison(const SiteComparison& comparison, int screenRows, const QString& fileName)
{
    CompareWindow().ShowComparison(comparison, screenRows, fileName);
}

FrmCompare& FrmDips::CompareWindow()
{
    if (!compareWindow_) {
        compareWindow_ = new FrmCompare(this);
        connect(compareWindow_, &FrmCompare::CellChosen, this, &FrmDips::SelectCell);
        connect(compareWindow_, &QDialog::finished, compareCommand_.get(), &CompareCommand::Forget);
    }
    return *compareWindow_;
}

void FrmDips::SelectCell(int row, int field)
{
    if (row >= table_.rowCount()) // the site changed size since it was compared
        return;
    const QModelIndex cell = table_.index(row, field);
    grid_->setCurrentIndex(cell);
    grid_->scrollTo(cell);
    grid_->setFocus();
    raise();
    activateWindow();
}

void FrmDips::RestoreWindowPlacement()
{
    restoredPlacement_ = LoadWindowPlacement(settings_);
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QRect placed = PlacedWindow(restoredPlacement_, screens);
    move(placed.topLeft());
    resize(placed.size());
    restoredGeometry_ = QRect(pos(), size());
}

void FrmDips::SaveWindowPlacement()
{
    const QPoint at = pos();
    mr640::SaveWindowPlacement(settings_,
                        {TwipsOf(at.y(), restoredGeometry_.y(), restoredPlacement_.top),
                         TwipsOf(at.x(), restoredGeometry_.x(), restoredPlacement_.left),
                         TwipsOf(height(), restoredGeometry_.height(), restoredPlacement_.height)});
}

void FrmDips::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void FrmDips::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
    // Coming to the front is when the person may have been working on the file elsewhere.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        siteFile_->NoticeChangeOnDisk();
}

void FrmDips::Form_Resize()
{
    // The rule's own changes raise it again.
    if (resizing_)
        return;
    resizing_ = true;
    if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        const int width = PixelsOf(kFixedWidthTwips);
        const int minimumHeight = static_cast<int>(std::ceil(kMinimumHeightTwips / kTwipsPerPixel));
        if (this->width() != width || this->height() < minimumHeight)
            resize(width, std::max(this->height(), minimumHeight));
        LayOutGrid();
    }
    resizing_ = false;
}

bool FrmDips::eventFilter(QObject* watched, QEvent* event)
{
    // The site is first checked, its library's versions counted and the cards followed once
    // the window is up: the first paint does not wait for them.
    if (event->type() == QEvent::Paint && grid_ && watched == grid_->viewport()) {
        grid_->viewport()->removeEventFilter(this);
        problems_->StartChecking();
        team_->StartCounting();
        QTimer::singleShot(0, cards_, &CardCommands::Watch);
    }
    // The area below the toolbar gets its size from the window's layout after the window's
    // own resize, so the grid follows it from here.
    if (watched == centralWidget() && event->type() == QEvent::Resize &&
        !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        LayOutGrid();
    return QMainWindow::eventFilter(watched, event);
}

void FrmDips::LayOutGrid()
{
    // The grid fills the area below the toolbar down to 30 twips above the window's inner
    // bottom edge.
    const QWidget* area = centralWidget();
    const int margin = PixelsOf(kGridBottomMarginTwips);
    const int bar = diskBar_->isHidden() ? 0 : diskBar_->heightForWidth(area->width());
    diskBar_->setGeometry(0, 0, area->width(), bar);
    grid_->setGeometry(0, bar, area->width(), std::max(0, area->height() - margin - bar));
}

} // namespace mr640

#include "file_selector.h"

#include "drives.h"
#include "file_utilities.h"
#include "form_dialog.h"
#include "platform/ui.h"
#include "window_routines.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

constexpr int kPathRole = Qt::UserRole;

// Enter in the directory list opens the highlighted directory, as a double-click does,
// instead of reaching the dialog's default button.
class OpenOnEnter : public QObject
{
public:
    OpenOnEnter(QTreeWidget& list, std::function<void(const QString&)> open)
        : QObject(&list), list_(list), open_(std::move(open))
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        if (const QTreeWidgetItem* item = list_.currentItem())
            open_(item->data(0, kPathRole).toString());
        return true;
    }

private:
    QTreeWidget& list_;
    std::function<void(const QString&)> open_;
};

// The names a file pattern lets through; "*.*" means every file, as it does on Windows.
QStringList NameFilters(const QString& pattern)
{
    return pattern == u"*.*"_s ? QStringList{u"*"_s} : QStringList{pattern};
}

} // namespace

FrmFileSelector::FrmFileSelector(Ui& ui) : ui_(ui) {}

FrmFileSelector::~FrmFileSelector() = default;

void FrmFileSelector::Unload()
{
    window_.reset();
    label3_ = nullptr;
    drive1_ = nullptr;
    dir1_ = nullptr;
    file1_ = nullptr;
    cmdOK_ = nullptr;
    cmdCancel_ = nullptr;
}

void FrmFileSelector::ShowSelectDirectory(const QString& iniDir)
{
    if (!window_)
        Form_Load();
    cmdOK_->setText(u"&Select"_s);
    cmdOK_->setEnabled(true);
    cmdOK_->setDefault(true);
    SetDrive(DriveOfDirectory(iniDir, drives_));
    lastGoodDrive_ = drive1_->currentData().toString();
    SetDirectory(iniDir);
    pattern_ = u"*.*"_s;
    FillFileList();
    window_->setWindowTitle(u"Select directory"_s);
    cmdOK_->setFocus();
    ui_.RunModal(*window_);
}

void FrmFileSelector::Form_Load()
{
    auto window = std::make_unique<FormDialog>(u"FrmFileSelector"_s, QSize(463, 280));
    window->setWindowTitle(u"Select directory"_s);

    label3_ = new QLabel(u"Tip: This will usually be \"c:\\program files\\sentinel\\config\""_s, window.get());
    label3_->setObjectName(u"Label3"_s);
    // Wider than the 4455 twips of the original layout, so the whole tip can be read.
    label3_->setGeometry(TwipRect(120, 120, 6705, 255));

    drive1_ = new QComboBox(window.get());
    drive1_->setObjectName(u"Drive1"_s);
    drive1_->setAccessibleName(u"Drive"_s);
    drive1_->setGeometry(TwipRect(60, 480, 3435, 315));

    dir1_ = new QTreeWidget(window.get());
    dir1_->setObjectName(u"Dir1"_s);
    dir1_->setAccessibleName(u"Directories"_s);
    dir1_->setGeometry(TwipRect(60, 840, 3435, 3240));
    dir1_->setHeaderHidden(true);
    dir1_->setRootIsDecorated(false);
    dir1_->setItemsExpandable(false);
    dir1_->setIndentation(12);

    file1_ = new QListWidget(window.get());
    file1_->setObjectName(u"File1"_s);
    file1_->setAccessibleName(u"Files"_s);
    file1_->setGeometry(TwipRect(3600, 480, 2115, 3600));

    cmdOK_ = new QPushButton(u"&Select"_s, window.get());
    cmdOK_->setObjectName(u"CmdOK"_s);
    cmdOK_->setGeometry(TwipRect(5820, 480, 1035, 315));
    cmdCancel_ = new QPushButton(u"&Cancel"_s, window.get());
    cmdCancel_->setObjectName(u"CmdCancel"_s);
    cmdCancel_->setGeometry(TwipRect(5820, 900, 1035, 315));
    window->SetCancelButton(cmdCancel_);

    QWidget::setTabOrder(cmdOK_, file1_);
    QWidget::setTabOrder(file1_, cmdCancel_);
    QWidget::setTabOrder(cmdCancel_, drive1_);
    QWidget::setTabOrder(drive1_, dir1_);

    drives_ = MountedDrives();
    for (const QString& drive : drives_)
        drive1_->addItem(window->style()->standardIcon(QStyle::SP_DriveHDIcon), drive, drive);
    // Until a drive is chosen the lists show the process's current directory.
    path_ = QDir::currentPath();
    drive1_->setCurrentIndex(drive1_->findData(DriveOfDirectory(path_, drives_)));
    FillDirectoryList();
    FillFileList();

    QObject::connect(drive1_, &QComboBox::currentIndexChanged, window.get(), [this] { Drive1_Change(); });
    QObject::connect(dir1_, &QTreeWidget::itemDoubleClicked, window.get(),
                     [this](QTreeWidgetItem* item) { SetDirectory(item->data(0, kPathRole).toString()); });
    dir1_->installEventFilter(
        new OpenOnEnter(*dir1_, [this](const QString& directory) { SetDirectory(directory); }));
    QObject::connect(file1_, &QListWidget::itemDoubleClicked, window.get(), [this] { File1_DblClick(); });
    QObject::connect(cmdOK_, &QPushButton::clicked, window.get(), [this] { CmdOK_Click(); });
    QObject::connect(cmdCancel_, &QPushButton::clicked, window.get(), [this] { CmdCancel_Click(); });

    window_ = std::move(window);
    CentreWindow(*window_);
}

bool FrmFileSelector::SetDrive(const QString& drive)
{
    const int index = drive1_->findData(drive);
    if (drive.isEmpty() || index < 0)
        return false;
    drive1_->setCurrentIndex(index); // runs Drive1_Change when it is another drive
    return true;
}

void FrmFileSelector::Drive1_Change()
{
    if (changingDrive_)
        return;
    const QString drive = drive1_->currentData().toString();
    if (IsDirectory(drive)) {
        SetDirectory(DriveDirectory(drive));
        lastGoodDrive_ = drive;
        return;
    }
    ui_.ShowMessage({u"Drive not ready"_s, MessageIcon::Exclamation, MessageButtons::Ok, {}});
    SetDrive(lastGoodDrive_);
}

QString FrmFileSelector::DriveDirectory(const QString& drive) const
{
    const auto shown = driveDirectories_.find(drive);
    if (shown != driveDirectories_.end() && QFileInfo(shown->second).isDir())
        return shown->second;
    return drive;
}

bool FrmFileSelector::SetDirectory(const QString& directory)
{
    if (directory.isEmpty() || !QDir::isAbsolutePath(directory) || !IsDirectory(directory))
        return false;
    const QString opened = QDir::cleanPath(directory);
    const bool changed = opened != path_;
    path_ = opened;
    FillDirectoryList();
    if (changed)
        Dir1_Change();
    return true;
}

void FrmFileSelector::Dir1_Change()
{
    FillFileList();
    QDir::setCurrent(path_);
    const QString drive = DriveOfDirectory(path_, drives_);
    driveDirectories_[drive] = path_;
    // Opening a mount point moves onto its drive; the drive list follows without asking.
    changingDrive_ = true;
    if (const int index = drive1_->findData(drive); index >= 0)
        drive1_->setCurrentIndex(index);
    changingDrive_ = false;
}

// The directory list as a directory list box shows it: the drive's root, each directory
// down to the open one, and the open one's sub-directories beneath it.
void FrmFileSelector::FillDirectoryList()
{
    dir1_->clear();
    const QIcon openIcon = dir1_->style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = dir1_->style()->standardIcon(QStyle::SP_DirClosedIcon);
    QString drive = DriveOfDirectory(path_, drives_);
    if (drive.isEmpty())
        drive = u"/"_s;

    auto* item = new QTreeWidgetItem(dir1_, QStringList{drive});
    item->setData(0, kPathRole, drive);
    item->setIcon(0, openIcon);
    QString walked = drive;
    const QString rest = path_.mid(drive.size());
    for (const QString& name : rest.split(u'/', Qt::SkipEmptyParts)) {
        walked = walked.endsWith(u'/') ? walked + name : walked + u'/' + name;
        item = new QTreeWidgetItem(item, QStringList{name});
        item->setData(0, kPathRole, walked);
        item->setIcon(0, openIcon);
    }
    QTreeWidgetItem* open = item;
    const QDir dir(path_);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                             QDir::Name | QDir::IgnoreCase)) {
        auto* child = new QTreeWidgetItem(open, QStringList{name});
        child->setData(0, kPathRole, dir.filePath(name));
        child->setIcon(0, closedIcon);
    }
    dir1_->expandAll();
    dir1_->setCurrentItem(open);
}

void FrmFileSelector::FillFileList()
{
    file1_->clear();
    file1_->addItems(QDir(path_).entryList(NameFilters(pattern_), QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void FrmFileSelector::File1_DblClick()
{
    if (cmdOK_->isEnabled())
        CmdOK_Click();
}

void FrmFileSelector::CmdOK_Click()
{
    buttonPressed_ = u"Open"_s;
    window_->hide();
}

void FrmFileSelector::CmdCancel_Click()
{
    buttonPressed_ = u"Cancel"_s;
    window_->hide();
}

} // namespace mr640

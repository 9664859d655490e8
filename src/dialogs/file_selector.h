#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <memory>

class QComboBox;
class QDialog;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace mr640 {

class Ui;

// FrmFileSelector, the modal dialog in which the user opens a directory and presses
// Select. It lives for the whole run: Unload discards the window and its controls, which
// are built again at the next ShowSelectDirectory, while the pressed button, the last good
// drive and the directory last shown on each drive are kept.
class FrmFileSelector
{
public:
    explicit FrmFileSelector(Ui& ui);
    ~FrmFileSelector();
    FrmFileSelector(const FrmFileSelector&) = delete;
    FrmFileSelector& operator=(const FrmFileSelector&) = delete;

    // Shows the dialog starting in iniDir and returns when it has been hidden by Select
    // or Cancel, or closed through its frame. A missing iniDir shows the directory last
    // shown on its drive instead.
    void ShowSelectDirectory(const QString& iniDir);
    // "Open" after Select, "Cancel" after Cancel; empty until a button was pressed in
    // this run. Closing through the frame leaves it as it was.
    const QString& ButtonPressed() const { return buttonPressed_; }
    // The directory last opened in the directory list, without a trailing "/" (but "/").
    const QString& Path() const { return path_; }
    void Unload();

private:
    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void File1_DblClick();
    void CmdOK_Click();
    void CmdCancel_Click();
    // Shows drive in the drive list; a change runs Drive1_Change. False when the list
    // does not offer it.
    bool SetDrive(const QString& drive);
    // Opens directory in the directory list; a change runs Dir1_Change. False when it
    // cannot be entered.
    bool SetDirectory(const QString& directory);
    void FillDirectoryList();
    void FillFileList();
    QString DriveDirectory(const QString& drive) const;

    Ui& ui_;
    QString buttonPressed_;
    QString lastGoodDrive_;
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
    std::map<QString, QString> driveDirectories_;
    QStringList drives_;

    std::unique_ptr<QDialog> window_;
    QLabel* label3_ = nullptr;
    QComboBox* drive1_ = nullptr;
    QTreeWidget* dir1_ = nullptr;
    QListWidget* file1_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    bool changingDrive_ = false;
};

} // namespace mr640

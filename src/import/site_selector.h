#pragma once

#include "dialogs/file_selector.h"
#include "dialogs/help_window.h"
#include "instead_sites.h"

#include <QString>

#include <memory>

class QListWidget;
class QPushButton;

namespace mr640 {

class FormDialog;
class Ui;

// FrmSiteSelector, the modal dialog in which the user picks the Instead site to import.
// It lives for the whole run: Unload discards the window and its list, which are built
// again at the next ShowOpen, while the pressed button is kept. insPath is the editor's
// Instead configuration directory; Browse... changes it for the rest of the run.
class FrmSiteSelector
{
public:
    FrmSiteSelector(Ui& ui, QString& insPath);
    ~FrmSiteSelector();
    FrmSiteSelector(const FrmSiteSelector&) = delete;
    FrmSiteSelector& operator=(const FrmSiteSelector&) = delete;

    // The Name and CfgDir of the selected site; empty when no site is selected.
    QString InsSiteName() const;
    QString InsCfgDir() const;
    // "Load" after Open, "Cancel" after Cancel; empty until a button was pressed in this
    // run. Closing through the frame leaves it as it was.
    const QString& ButtonPressed() const { return buttonPressed_; }

    // Lists the sites of insPath afresh and shows the dialog; returns when it has been
    // hidden by Open or Cancel, or closed through its frame.
    void ShowOpen();
    void Unload();

private:
    void Form_Load();
    void RefreshSiteList();
    void SiteList_Click();
    void SiteList_DblClick();
    void CmdLoad_Click();
    void CmdCancel_Click();
    void CmdDirSelect_Click();
    void Command1_Click();
    const InsSiteInfo& SelectedSite() const;

    Ui& ui_;
    QString& insPath_;
    SiteList sites_;
    QString buttonPressed_;
    FrmFileSelector fileSelector_;
    FrmHelp help_;

    std::unique_ptr<FormDialog> window_;
    QListWidget* siteList_ = nullptr;
    QPushButton* cmdLoad_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdDirSelect_ = nullptr;
    QPushButton* command1_ = nullptr;
};

} // namespace mr640

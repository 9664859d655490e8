#include "site_selector.h"

#include "dialogs/form_dialog.h"
#include "dialogs/window_routines.h"
#include "list_widget_items.h"
#include "platform/ui.h"

#include <QListWidget>
#include <QPushButton>

namespace mr640 {

using namespace Qt::StringLiterals;

FrmSiteSelector::FrmSiteSelector(Ui& ui, QString& insPath)
    : ui_(ui), insPath_(insPath), fileSelector_(ui), help_(ui)
{
}

FrmSiteSelector::~FrmSiteSelector() = default;

void FrmSiteSelector::Unload()
{
    window_.reset();
    siteList_ = nullptr;
    cmdLoad_ = nullptr;
    cmdCancel_ = nullptr;
    cmdDirSelect_ = nullptr;
    command1_ = nullptr;
}

void FrmSiteSelector::ShowOpen()
{
    if (!window_)
        Form_Load();
    CentreWindow(*window_);
    RefreshSiteList();
    siteList_->setFocus();
    ui_.RunModal(*window_);
}

void FrmSiteSelector::Form_Load()
{
    window_ = std::make_unique<FormDialog>(u"FrmSiteSelector"_s, QSize(280, 362));
    window_->setWindowTitle(u"Import site"_s);

    siteList_ = new QListWidget(window_.get());
    siteList_->setObjectName(u"SiteList"_s);
    siteList_->setAccessibleName(u"Sites"_s);
    siteList_->setGeometry(TwipRect(60, 60, 2775, 5295));
    // Sorted by name: the file system's order means nothing to the user. Each entry
    // carries its site's position, so the selection still finds its site.
    siteList_->setSortingEnabled(true);

    auto button = [this](const char* name, const QString& caption, QRect place) {
        auto* b = new QPushButton(caption, window_.get());
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(place);
        return b;
    };
    cmdLoad_ = button("CmdLoad", u"&Open"_s, TwipRect(2940, 60, 1155, 315));
    cmdLoad_->setDefault(true);
    cmdLoad_->setEnabled(false);
    cmdCancel_ = button("CmdCancel", u"&Cancel"_s, TwipRect(2940, 480, 1155, 315));
    window_->SetCancelButton(cmdCancel_);
    cmdDirSelect_ = button("CmdDirSelect", u"&Browse..."_s, TwipRect(2940, 1080, 1155, 315));
    command1_ = button("Command1", u"&Help..."_s, TwipRect(2940, 5040, 1155, 315));

    QWidget::setTabOrder(siteList_, cmdDirSelect_);
    QWidget::setTabOrder(cmdDirSelect_, cmdCancel_);
    QWidget::setTabOrder(cmdCancel_, cmdLoad_);
    QWidget::setTabOrder(cmdLoad_, command1_);

    QObject::connect(siteList_, &QListWidget::currentRowChanged, window_.get(), [this] { SiteList_Click(); });
    QObject::connect(siteList_, &QListWidget::itemDoubleClicked, window_.get(), [this] { SiteList_DblClick(); });
    QObject::connect(cmdLoad_, &QPushButton::clicked, window_.get(), [this] { CmdLoad_Click(); });
    QObject::connect(cmdCancel_, &QPushButton::clicked, window_.get(), [this] { CmdCancel_Click(); });
    QObject::connect(cmdDirSelect_, &QPushButton::clicked, window_.get(), [this] { CmdDirSelect_Click(); });
    QObject::connect(command1_, &QPushButton::clicked, window_.get(), [this] { Command1_Click(); });
    // Closed through the frame: no site is chosen, whatever button an earlier use left.
    window_->onFrameClose = [this] { siteList_->clear(); };
}

void FrmSiteSelector::RefreshSiteList()
{
    sites_ = RegisterSites(insPath_, ui_);
    ListWidgetItems items(*siteList_);
    FillSiteList(items, sites_);
    if (siteList_->count() == 0) {
        items.SetItemData(items.AddItem(u"[No sites found]"_s), 0);
        SiteList_Click();
    } else {
        siteList_->setCurrentRow(0); // runs SiteList_Click
    }
}

void FrmSiteSelector::SiteList_Click()
{
    if (siteList_->currentRow() < 0)
        cmdLoad_->setEnabled(false);
    else if (SelectedItemData(*siteList_) > 0)
        cmdLoad_->setEnabled(true);
}

void FrmSiteSelector::SiteList_DblClick()
{
    CmdLoad_Click();
}

void FrmSiteSelector::CmdLoad_Click()
{
    if (!cmdLoad_->isEnabled())
        return;
    buttonPressed_ = u"Load"_s;
    window_->hide();
}

void FrmSiteSelector::CmdCancel_Click()
{
    buttonPressed_ = u"Cancel"_s;
    window_->hide();
}

void FrmSiteSelector::CmdDirSelect_Click()
{
    fileSelector_.ShowSelectDirectory(insPath_);
    if (fileSelector_.ButtonPressed() == u"Open") {
        insPath_ = fileSelector_.Path();
        RefreshSiteList();
    }
    fileSelector_.Unload();
}

void FrmSiteSelector::Command1_Click()
{
    help_.ShowHelp(101);
}

const InsSiteInfo& FrmSiteSelector::SelectedSite() const
{
    static const InsSiteInfo none;
    if (!siteList_)
        return none;
    const int p = SelectedItemData(*siteList_);
    return p >= 0 && p < static_cast<int>(sites_.size()) ? sites_[static_cast<std::size_t>(p)] : none;
}

QString FrmSiteSelector::InsSiteName() const
{
    return SelectedSite().Name;
}

QString FrmSiteSelector::InsCfgDir() const
{
    return SelectedSite().CfgDir;
}

} // namespace mr640

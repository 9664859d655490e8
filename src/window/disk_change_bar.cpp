#include "disk_change_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace mr640 {

using namespace Qt::StringLiterals;

DiskChangeBar::DiskChangeBar(QWidget* parent) : QFrame(parent)
{
    setObjectName(u"DiskChangeBar"_s);
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase); // stands out from the grid as a note does
    setForegroundRole(QPalette::ToolTipText);

    note_ = new QLabel(this);
    note_->setObjectName(u"LblDiskChange"_s);
    note_->setTextFormat(Qt::PlainText); // a file name is never markup
    note_->setWordWrap(true);
    reload_ = new QPushButton(u"&Reload"_s, this);
    reload_->setObjectName(u"CmdReload"_s);
    compare_ = new QPushButton(u"Co&mpare"_s, this);
    compare_->setObjectName(u"CmdCompareDisk"_s);
    save_ = new QPushButton(u"&Save"_s, this);
    save_->setObjectName(u"CmdSaveAgain"_s);
    auto* close = new QToolButton(this);
    close->setObjectName(u"CmdHideBar"_s);
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setText(u"Hide"_s);
    close->setToolTip(u"Hide this note"_s);
    close->setAutoRaise(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 3, 3);
    layout->addWidget(note_, 1);
    for (QPushButton* button : {reload_, compare_, save_})
        layout->addWidget(button);
    layout->addWidget(close);

    connect(reload_, &QPushButton::clicked, this, &DiskChangeBar::ReloadRequested);
    connect(compare_, &QPushButton::clicked, this, &DiskChangeBar::CompareRequested);
    connect(save_, &QPushButton::clicked, this, &DiskChangeBar::SaveRequested);
    connect(close, &QToolButton::clicked, this, &QWidget::hide);
    hide();
}

void DiskChangeBar::ShowNote(DiskChange change, const QString& text)
{
    note_->setText(text);
    // A file that is gone can be neither reloaded nor compared, only written again.
    const bool deleted = change == DiskChange::Deleted;
    reload_->setHidden(deleted);
    compare_->setHidden(deleted);
    save_->setVisible(deleted);
    show();
}

QString DiskChangeBar::Note() const
{
    return note_->text();
}

void DiskChangeBar::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    emit VisibilityChanged();
}

void DiskChangeBar::hideEvent(QHideEvent* event)
{
    QFrame::hideEvent(event);
    emit VisibilityChanged();
}

} // namespace mr640

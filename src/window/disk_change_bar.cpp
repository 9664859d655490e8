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
    auto* reload = new QPushButton(u"&Reload"_s, this);
    reload->setObjectName(u"CmdReload"_s);
    auto* compare = new QPushButton(u"Co&mpare"_s, this);
    compare->setObjectName(u"CmdCompareDisk"_s);
    auto* close = new QToolButton(this);
    close->setObjectName(u"CmdHideBar"_s);
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setText(u"Hide"_s);
    close->setToolTip(u"Hide this note"_s);
    close->setAutoRaise(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 3, 3);
    layout->addWidget(note_, 1);
    layout->addWidget(reload);
    layout->addWidget(compare);
    layout->addWidget(close);

    connect(reload, &QPushButton::clicked, this, &DiskChangeBar::ReloadRequested);
    connect(compare, &QPushButton::clicked, this, &DiskChangeBar::CompareRequested);
    connect(close, &QToolButton::clicked, this, &QWidget::hide);
    hide();
}

void DiskChangeBar::ShowNote(const QString& text)
{
    note_->setText(text);
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

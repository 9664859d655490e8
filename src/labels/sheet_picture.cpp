#include "sheet_picture.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace mr640 {

using namespace Qt::StringLiterals;

SheetPicture::SheetPicture(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"PicSheet"_s);
    setMinimumSize(200, 280);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(u"First page; click a label to start there"_s);
}

void SheetPicture::Show(const LabelPrint& print)
{
    // A copy of the whole print: the labels of the first page are set in the size the
    // others make them.
    print_ = std::make_unique<LabelPrint>(print);
    print_->DrawOutlines(true); // the picture always shows where the labels are
    Render();
}

void SheetPicture::Render()
{
    if (!print_)
        return;
    const LabelSheet& sheet = print_->Job().sheet;
    scale_ = std::min((width() - 2) / sheet.pageWidth, (height() - 2) / sheet.pageHeight);
    const QSize size(static_cast<int>(sheet.pageWidth * scale_),
                     static_cast<int>(sheet.pageHeight * scale_));
    origin_ = QPoint((width() - size.width()) / 2, (height() - size.height()) / 2);
    page_ = QImage(size, QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(scale_ * 1000));
    page_.setDotsPerMeterX(dotsPerMetre);
    page_.setDotsPerMeterY(dotsPerMetre);
    page_.fill(Qt::white);
    QPainter painter(&page_);
    for (int slot = 0; slot < std::min(print_->Job().first, sheet.LabelsPerPage()); ++slot) {
        const QRectF mm = sheet.Slot(slot);
        painter.fillRect(QRectF(mm.topLeft() * scale_, mm.size() * scale_),
                         QColor(0xd0, 0xd0, 0xd0));
    }
    print_->PaintPage(painter, 0);
    update();
}

int SheetPicture::SlotAt(QPoint point) const
{
    if (!print_)
        return -1;
    const LabelSheet& sheet = print_->Job().sheet;
    const QPointF mm = QPointF(point - origin_) / scale_;
    for (int slot = 0; slot < sheet.LabelsPerPage(); ++slot) {
        if (sheet.Slot(slot).contains(mm))
            return slot;
    }
    return -1;
}

QRect SheetPicture::SlotRect(int slot) const
{
    if (!print_)
        return {};
    const QRectF mm = print_->Job().sheet.Slot(slot);
    return QRectF(mm.topLeft() * scale_, mm.size() * scale_).toRect().translated(origin_);
}

void SheetPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().windowText().color());
    painter.drawRect(QRect(origin_, page_.size()).adjusted(-1, -1, 0, 0));
    painter.drawImage(origin_, page_);
}

void SheetPicture::resizeEvent(QResizeEvent*)
{
    Render();
}

void SheetPicture::mousePressEvent(QMouseEvent* event)
{
    const int slot = SlotAt(event->position().toPoint());
    if (slot >= 0 && onSlotClicked)
        onSlotClicked(slot);
}

} // namespace mr640

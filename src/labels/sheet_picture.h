#pragma once

#include "label_renderer.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

namespace mr640 {

// The picture of the first page as it will print, every slot outlined and the slots before
// the first label shaded as used. A click on a slot reports it.
class SheetPicture : public QWidget
{
public:
    explicit SheetPicture(QWidget* parent = nullptr);

    // Shows the first page of print.
    void Show(const LabelPrint& print);
    // The slot under a point of the widget; -1 when there is none.
    int SlotAt(QPoint point) const;
    // Where slot lies on the widget; empty before the first Show.
    QRect SlotRect(int slot) const;

    std::function<void(int slot)> onSlotClicked;

    QSize sizeHint() const override { return {300, 420}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Render();

    std::unique_ptr<LabelPrint> print_;
    QImage page_;
    QPoint origin_;    // the page's top-left corner on the widget
    double scale_ = 1; // pixels a mm
};

} // namespace mr640

#include "window_routines.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace mr640 {

int SelectedItemData(const QComboBox& list)
{
    return list.currentIndex() < 0 ? 0 : list.currentData().toInt();
}

int SelectedItemData(const QListWidget& list)
{
    const int row = list.currentRow();
    return row < 0 ? 0 : list.item(row)->data(Qt::UserRole).toInt();
}

void CentreWindow(QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->geometry();
    const QSize size = window.frameGeometry().size();
    auto centred = [](int space, int extent) {
        return std::max(0, static_cast<int>(std::nearbyint((space - extent) / 2.0)));
    };
    window.move(area.x() + centred(area.width(), size.width()),
                area.y() + centred(area.height(), size.height()));
}

} // namespace mr640

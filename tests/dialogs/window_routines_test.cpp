#include "dialogs/window_routines.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

TEST(SelectedItemData, IsTheSelectedEntrysValueOrZeroWithoutASelection)
{
    QComboBox combo;
    QListWidget list;
    for (int value : {10, 20, 30}) {
        combo.addItem(QString::number(value), value);
        auto* item = new QListWidgetItem(QString::number(value), &list);
        item->setData(Qt::UserRole, value);
    }
    combo.setCurrentIndex(-1);
    list.setCurrentRow(-1);
    EXPECT_EQ(SelectedItemData(combo), 0);
    EXPECT_EQ(SelectedItemData(list), 0);
    combo.setCurrentIndex(2);
    list.setCurrentRow(2);
    EXPECT_EQ(SelectedItemData(combo), 30);
    EXPECT_EQ(SelectedItemData(list), 30);
}

TEST(CentreWindow, PutsTheWindowInTheMiddleOfItsScreenAndNeverPastItsLeftOrTop)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    ASSERT_EQ(screen, QRect(0, 0, 800, 800)); // the offscreen platform's screen
    const std::pair<QSize, QPoint> cases[] = {
        {{400, 400}, {200, 200}}, // half as wide and high: a quarter in from each side
        {{403, 401}, {198, 200}}, // 198.5 rounds to the even neighbour, 199.5 too
        {{1000, 900}, {0, 0}},    // larger than the screen
    };
    for (const auto& [size, at] : cases) {
        QWidget window;
        window.move(37, 41);
        window.resize(size);
        CentreWindow(window);
        EXPECT_EQ(window.pos(), at) << size.width();
        EXPECT_EQ(window.size(), size);
    }
}

} // namespace
} // namespace mr640

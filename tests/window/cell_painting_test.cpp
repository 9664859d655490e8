// The grid's text cells paint pixel for pixel as the style paints them, whichever way the
// cell is painted.

#include "window/cell_delegates.h"

#include <QApplication>
#include <QImage>
#include <QStandardItemModel>
#include <QTableView>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

struct Cell
{
    const char* name;
    QString text;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool selected = false;
    bool current = false; // with the focus frame
    bool enabled = true;
    QBrush foreground = {};
    QBrush background = {};
};

void PrintTo(const Cell& cell, std::ostream* os)
{
    *os << cell.name;
}

class CellPainting : public ::testing::TestWithParam<Cell>
{
};

// A table of the cell in its middle, painted by delegate (the style's own when null).
QImage Painted(const Cell& cell, QAbstractItemDelegate* delegate)
{
    QStandardItemModel model(3, 3);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column)
            model.setItem(row, column, new QStandardItem(u"x"_s));
    }
    auto* item = new QStandardItem(cell.text);
    item->setTextAlignment(cell.alignment);
    item->setEnabled(cell.enabled);
    if (cell.foreground.style() != Qt::NoBrush)
        item->setForeground(cell.foreground);
    if (cell.background.style() != Qt::NoBrush)
        item->setBackground(cell.background);
    model.setItem(1, 1, item);
    QTableView view;
    if (delegate)
        view.setItemDelegate(delegate);
    view.setModel(&model);
    view.resize(400, 200);
    view.setColumnWidth(1, 120);
    const QModelIndex index = model.index(1, 1);
    if (cell.selected)
        view.selectionModel()->select(index, QItemSelectionModel::Select);
    if (cell.current) {
        view.selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        view.show();
        view.activateWindow();
        view.setFocus();
        QApplication::processEvents();
    }
    return view.grab().toImage();
}

TEST_P(CellPainting, AsTheStyle)
{
    const Cell& cell = GetParam();
    QTableView owner;
    const QImage style = Painted(cell, nullptr);
    const QImage own = Painted(cell, new TextCellDelegate(&owner));
    EXPECT_FALSE(style.isNull());
    EXPECT_EQ(own, style);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, CellPainting,
    ::testing::Values(
        Cell{"short", u"TPR 12"_s},
        Cell{"empty", QString()},
        Cell{"selected", u"TPR 12"_s, Qt::AlignLeft | Qt::AlignVCenter, true},
        Cell{"centred", u"ON"_s, Qt::AlignCenter},
        Cell{"right", u"OFF"_s, Qt::AlignRight | Qt::AlignVCenter},
        Cell{"disabled", u"TPR 12"_s, Qt::AlignLeft | Qt::AlignVCenter, false, false, false},
        Cell{"coloured", u"TPR 12"_s, Qt::AlignLeft | Qt::AlignVCenter, false, false, true,
             QBrush(Qt::red), QBrush(Qt::yellow)},
        Cell{"too long, elided", u"A relay name far too long for its cell, elided"_s},
        Cell{"two lines", u"Line one\nline two"_s},
        Cell{"current", u"TPR 12"_s, Qt::AlignLeft | Qt::AlignVCenter, true, true}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

} // namespace
} // namespace mr640

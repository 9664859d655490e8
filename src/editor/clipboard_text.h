#pragma once

#include <QString>
#include <QStringList>

#include <span>
#include <vector>

namespace mr640 {

// Cell texts row by row, as they travel through the clipboard. Rows may hold different
// numbers of cells; a row read from text holds at least one.
using CellBlock = std::vector<QStringList>;

// The cells as spreadsheets put them on the clipboard: cells separated by a tab, every row
// ended by CR LF (the last one too, as spreadsheets end it). A cell holding a tab, a CR, an
// LF or a double quote is put in double quotes, its quotes doubled.
QString CellsToText(const CellBlock& cells);

// The cells of clipboard text: rows end at CR LF or LF, and a last line end makes no extra
// row; a lone CR is part of a cell. A cell is read as quoted only when it starts with a
// double quote whose closing quote is followed by a tab, a line end or the end of the text;
// otherwise it is read as it stands. Text without a tab or a line end is one cell; empty
// text holds no cell.
CellBlock TextToCells(QStringView text);

// The same cells without a copy of each: a cell read as it stands is a view into the text,
// a quoted cell a view into unquoted, which holds what its quotes enclose. The views stay
// valid while the text and this object (moved or not) exist. The cells of every row lie in
// one list, so a block of thousands of rows takes no list of its own for each.
struct CellViews
{
    std::vector<QStringView> cells;   // row after row
    std::vector<std::size_t> rowEnds; // per row, where its cells end in cells
    std::vector<QString> unquoted;

    std::size_t RowCount() const { return rowEnds.size(); }
    std::span<const QStringView> Row(std::size_t r) const
    {
        const std::size_t begin = r == 0 ? 0 : rowEnds[r - 1];
        return std::span(cells).subspan(begin, rowEnds[r] - begin);
    }
};
CellViews TextToCellViews(QStringView text);

} // namespace mr640

// TextToCells on any bytes read as UTF-8: never more cells than the text has separators
// for, a read that CellsToText writes back to the same cells, and a paste of them that
// changes only cells of the table, never an id, and keeps every text within its limit and
// to what the site files hold.

#include "editor/cell_edits.h"
#include "editor/clean_text.h"
#include "editor/shared_routines.h"
#include "fuzz_support.h"

#include <algorithm>

using namespace mr640;
using namespace mr640::fuzz;

namespace {

void CheckPaste(const std::vector<ChannelRow>& rows, const CellViews& cells, int top, int field)
{
    const EditPlan plan = PlanPaste(rows, {top, field, top + 2, field + 1}, cells);
    for (const CellChange& c : plan.changes) {
        Require(c.row >= 0 && c.row < static_cast<int>(rows.size()) && c.field > FieldChan &&
                    c.field < FieldCount,
                "a paste changes only cells of the table and never an id");
        Require(c.before == ContentOf(rows[static_cast<std::size_t>(c.row)], c.field) &&
                    c.before != c.after,
                "a change starts from the cell's value and changes it");
        const int limit = FieldTextLimit(c.field);
        Require(limit == 0 || CharacterCount(c.after.text) <= limit,
                "a pasted text keeps within its field's limit");
        Require(limit == 0 || CleanedText(c.after.text).text == c.after.text,
                "a pasted text holds only what the site files hold");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(Bytes(data, size));
    const CellBlock cells = TextToCells(text);

    qsizetype count = 0;
    for (const QStringList& row : cells) {
        Require(!row.isEmpty(), "a row holds at least one cell");
        count += row.size();
    }
    Require(count <= text.count(u'\t') + text.count(u'\n') + 1,
            "never more cells than the text has separators for");
    Require(text.isEmpty() == cells.empty(), "only empty text holds no cell");
    Require(TextToCells(CellsToText(cells)) == cells, "cells written and read back are the same");

    static const std::vector<ChannelRow> rows = EditedRows(384);
    const int top = size == 0 ? 0 : data[0] % 8 * 50;
    CheckPaste(rows, TextToCellViews(text), top, size == 0 ? FieldRelNam : data[size - 1] % FieldCount);
    return 0;
}

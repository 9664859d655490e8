#pragma once

#include "channel_table.h"
#include "clipboard_text.h"

#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace mr640 {

// The selected cells: one rectangle, its first and last row and field included. Whole
// rows selected by their row headers start at the Chan column.
struct CellRange
{
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
};

// What an edit of many cells does: the cells it changes, and the cases the user is told
// about (a value cut, refused or left out), in table order.
struct EditPlan
{
    std::vector<CellChange> changes;
    QStringList cases;
    int unheld = 0; // characters the site files cannot hold, stored as "?"
    std::array<QString, FieldCount> lastMade; // per field, the last text a change was given
};

// The back contact a pasted text names: "Back"/"Front" in any case or their first letter,
// "1"/"0", "true"/"false", "yes"/"no", "x"/empty. std::nullopt for any other text.
std::optional<bool> BackContactFromText(QStringView text);

// Adds to plan the change of a text cell to text, cleaned as CleanedText cleans it and cut
// to the field's limit (with a case saying so). Adds nothing when the cell already holds
// the result.
void PlanText(EditPlan& plan, const std::vector<ChannelRow>& rows, int row, int field,
              QStringView text);

// Pasting block into the selection, rightwards and downwards from the selection's top row.
// A block whose first column holds channel ids (AA01) is whole rows, as Copy gives them:
// that column goes to the Chan column and is skipped, the rest starts at Relay name. Any
// other block starts at the selection's left column, or at Relay name when that is Chan.
// A single value fills a larger selection. Chan cells keep their ids, cells beyond the
// table are left out, texts are cleaned and cut to their limits, back-contact texts that
// name no contact leave their cell as it was. Changes that would not change a cell are
// left out, and only a cell that changes gets a text of its own.
EditPlan PlanPaste(const std::vector<ChannelRow>& rows, const CellRange& range,
                   const CellViews& block);

// Resetting the selected cells to their defaults (Chan cells stay as they are).
std::vector<CellChange> PlanDelete(const std::vector<ChannelRow>& rows, const CellRange& range);

// The selected cells as clipboard text, exactly the rectangle: Chan cells as their ids, the
// back contact as "Back" or "Front".
QString CopyText(const std::vector<ChannelRow>& rows, const CellRange& range);

// The cases one a line, at most the first 10, then how many more there are.
QString CaseList(const QStringList& cases);

// The message after a paste with cases or characters stored as "?"; empty when there are
// none.
QString PasteMessage(const EditPlan& plan);

} // namespace mr640

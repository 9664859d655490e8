#include "cell_edits.h"

#include "channel_ids.h"
#include "clean_text.h"
#include "shared_routines.h"

#include <algorithm>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kListedCases = 10;

int RowCount(const std::vector<ChannelRow>& rows)
{
    return static_cast<int>(rows.size());
}

QString RowId(int row)
{
    return ChannelIdFromNumber(row + 1);
}

// The part of range inside a table of rowCount rows; top > bottom when there is none.
CellRange Clamped(CellRange range, int rowCount)
{
    range.top = std::max(range.top, 0);
    range.bottom = std::min(range.bottom, rowCount - 1);
    range.left = std::max(range.left, 0);
    range.right = std::min(range.right, FieldCount - 1);
    return range;
}

// True when every row of block starts with a channel id in its four-character form and
// holds more: whole rows, as Copy gives them.
bool IsWholeRowBlock(const CellViews& block)
{
    for (std::size_t r = 0; r < block.RowCount(); ++r) {
        const std::span<const QStringView> cells = block.Row(r);
        const QStringView id = cells[0];
        if (!(cells.size() > 1 && id.size() == 4 && id[0].isLetter() && id[1].isLetter() && id[2].isDigit() &&
              id[3].isDigit() && ChannelNumberFromId(id).value_or(0) > 0))
            return false;
    }
    return true;
}

// The texts are compared before the new one is made: a paste of a whole table plans
// thousands of cells.
void AddText(EditPlan& plan, const std::vector<ChannelRow>& rows, int row, int field,
             QStringView after)
{
    QString before = CellText(rows[static_cast<std::size_t>(row)], field);
    if (before == after)
        return;
    // A column of one text over and over (state texts) shares one string.
    QString& made = plan.lastMade[static_cast<std::size_t>(field)];
    if (made != after)
        made = after.toString();
    plan.changes.push_back({row, field, std::move(before), made});
}

void AddBack(EditPlan& plan, const std::vector<ChannelRow>& rows, int row, bool after)
{
    const bool before = rows[static_cast<std::size_t>(row)].back;
    if (before != after)
        plan.changes.push_back({row, FieldBack, before, after});
}

// Adds the change of one cell to a pasted text.
void PlanCell(EditPlan& plan, const std::vector<ChannelRow>& rows, int row, int field,
              QStringView text)
{
    if (field == FieldChan)
        return;
    if (field != FieldBack) {
        PlanText(plan, rows, row, field, text);
        return;
    }
    if (const std::optional<bool> back = BackContactFromText(text))
        AddBack(plan, rows, row, *back);
    else
        plan.cases.append(u"%1 of %2 left as it was: \"%3\" is not Back or Front"_s.arg(
            FieldCaption(field), RowId(row), text));
}

} // namespace

std::optional<bool> BackContactFromText(QStringView text)
{
    static const QStringList backs = {u"back"_s, u"b"_s, u"1"_s, u"true"_s, u"yes"_s, u"x"_s};
    static const QStringList fronts = {u"front"_s, u"f"_s, u"0"_s, u"false"_s, u"no"_s, QString()};
    if (text == u"Back" || text == u"Front") // as Copy writes them
        return text == u"Back";
    const QStringView key = text.trimmed();
    auto names = [key](const QStringList& list) {
        return std::any_of(list.begin(), list.end(),
                           [key](const QString& name) { return key.compare(name, Qt::CaseInsensitive) == 0; });
    };
    if (names(backs))
        return true;
    if (names(fronts))
        return false;
    return std::nullopt;
}

void PlanText(EditPlan& plan, const std::vector<ChannelRow>& rows, int row, int field,
              QStringView text)
{
    const int limit = FieldTextLimit(field);
    // Most texts are clean already: only one that is not is copied to be cleaned.
    CleanText cleaned;
    if (!IsClean(text)) {
        cleaned = CleanedText(text);
        plan.unheld += CleanedText(text, Unheld::Question, limit).unheld;
        text = cleaned.text;
    }
    // A text no longer than the limit in code units is within it in characters too.
    const QStringView cut = text.size() <= limit ? text : LeftCharacters(text, limit);
    if (cut.size() < text.size())
        plan.cases.append(u"%1 of %2 cut to %3 characters: \"%4\""_s.arg(
            FieldCaption(field), RowId(row), QString::number(limit), cut));
    AddText(plan, rows, row, field, cut);
}

EditPlan PlanPaste(const std::vector<ChannelRow>& rows, const CellRange& selection,
                   const CellViews& block)
{
    EditPlan plan;
    const CellRange range = Clamped(selection, RowCount(rows));
    if (block.RowCount() == 0 || range.top > range.bottom)
        return plan;
    const bool oneValue = block.RowCount() == 1 && block.Row(0).size() == 1;
    if (oneValue && (range.top < range.bottom || range.left < range.right)) {
        for (int r = range.top; r <= range.bottom; ++r) {
            for (int f = range.left; f <= range.right; ++f)
                PlanCell(plan, rows, r, f, block.Row(0)[0]);
        }
        return plan;
    }
    const int blockRows = static_cast<int>(block.RowCount());
    const int pasted = std::min(blockRows, RowCount(rows) - range.top);
    const int left = IsWholeRowBlock(block) ? int(FieldChan) : std::max(range.left, int(FieldRelNam));
    plan.changes.reserve(static_cast<std::size_t>(pasted * std::max(FieldCount - left, 0)));
    for (int i = 0; i < pasted; ++i) {
        const std::span<const QStringView> cells = block.Row(static_cast<std::size_t>(i));
        const int width = std::min(static_cast<int>(cells.size()), FieldCount - left);
        for (int j = 0; j < width; ++j)
            PlanCell(plan, rows, range.top + i, left + j, cells[static_cast<std::size_t>(j)]);
    }
    if (pasted < blockRows) {
        const int leftOut = blockRows - pasted;
        const QString last = RowId(RowCount(rows) - 1);
        plan.cases.append(leftOut == 1
                              ? u"1 pasted row below channel %1 left out"_s.arg(last)
                              : u"%1 pasted rows below channel %2 left out"_s.arg(
                                    QString::number(leftOut), last));
    }
    return plan;
}

std::vector<CellChange> PlanDelete(const std::vector<ChannelRow>& rows, const CellRange& selection)
{
    EditPlan plan;
    const CellRange range = Clamped(selection, RowCount(rows));
    for (int r = range.top; r <= range.bottom; ++r) {
        const ChannelRow defaults = DefaultRow(r);
        for (int f = std::max(range.left, FieldChan + 1); f <= range.right; ++f)
            f == FieldBack ? AddBack(plan, rows, r, defaults.back)
                           : AddText(plan, rows, r, f, CellText(defaults, f));
    }
    return plan.changes;
}

QString CopyText(const std::vector<ChannelRow>& rows, const CellRange& selection)
{
    const CellRange range = Clamped(selection, RowCount(rows));
    CellBlock cells;
    for (int r = range.top; r <= range.bottom; ++r) {
        const ChannelRow& row = rows[static_cast<std::size_t>(r)];
        QStringList line;
        for (int f = range.left; f <= range.right; ++f)
            line.append(f == FieldBack ? (row.back ? u"Back"_s : u"Front"_s)
                                       : CellValue(row, f).toString());
        cells.push_back(line);
    }
    return CellsToText(cells);
}

QString CaseList(const QStringList& cases)
{
    QString list = cases.mid(0, kListedCases).join(kCrLf);
    if (cases.size() > kListedCases)
        list += kCrLf + u"and %1 more."_s.arg(cases.size() - kListedCases);
    return list;
}

QString PasteMessage(const EditPlan& plan)
{
    QStringList lines;
    if (!plan.cases.isEmpty())
        lines << u"Some pasted values were cut, refused or left out:"_s << CaseList(plan.cases);
    if (plan.unheld > 0)
        lines << UnheldReport(plan.unheld);
    return lines.join(kCrLf);
}

} // namespace mr640

#include "find_replace.h"

#include "clean_text.h"
#include "shared_routines.h"

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

Qt::CaseSensitivity Sensitivity(const FindOptions& options)
{
    return options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

QString TextOf(const std::vector<ChannelRow>& rows, CellPosition cell)
{
    return CellValue(rows[static_cast<std::size_t>(cell.row)], cell.field).toString();
}

} // namespace

bool IsSearchedField(int field)
{
    return field == FieldRelNam || field == FieldStUp || field == FieldStDn;
}

bool CellMatches(const QString& text, const QString& pattern, const FindOptions& options)
{
    if (pattern.isEmpty())
        return false;
    if (options.wholeCell)
        return text.compare(pattern, Sensitivity(options)) == 0;
    return text.contains(pattern, Sensitivity(options));
}

FindResult FindCell(const std::vector<ChannelRow>& rows, const QString& pattern,
                    const FindOptions& options, CellPosition from, bool backwards)
{
    // Cells are numbered in reading order; the search steps through them from the one
    // after from, round to from itself.
    const qsizetype count = static_cast<qsizetype>(rows.size()) * FieldCount;
    if (count == 0)
        return {};
    const qsizetype start =
        std::clamp<qsizetype>(qsizetype(from.row) * FieldCount + from.field, 0, count - 1);
    const qsizetype step = backwards ? -1 : 1;
    for (qsizetype k = 1; k <= count; ++k) {
        const qsizetype n = ((start + k * step) % count + count) % count;
        const CellPosition cell{static_cast<int>(n / FieldCount), static_cast<int>(n % FieldCount)};
        if (IsSearchedField(cell.field) && CellMatches(TextOf(rows, cell), pattern, options))
            return {cell, backwards ? n >= start : n <= start};
    }
    return {};
}

QString ReplacedText(const QString& text, const QString& pattern, const QString& replacement,
                     const FindOptions& options)
{
    if (!CellMatches(text, pattern, options))
        return text;
    if (options.wholeCell)
        return replacement;
    return QString(text).replace(pattern, replacement, Sensitivity(options));
}

EditPlan PlanReplace(const std::vector<ChannelRow>& rows, const QString& pattern,
                     const QString& replacement, const FindOptions& options, CellPosition cell)
{
    EditPlan plan;
    if (cell.row < 0 || cell.row >= static_cast<int>(rows.size()) || !IsSearchedField(cell.field))
        return plan;
    const QString text = TextOf(rows, cell);
    if (CellMatches(text, pattern, options))
        PlanText(plan, rows, cell.row, cell.field, ReplacedText(text, pattern, replacement, options));
    return plan;
}

EditPlan PlanReplaceAll(const std::vector<ChannelRow>& rows, const QString& pattern,
                        const QString& replacement, const FindOptions& options)
{
    EditPlan plan;
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int f : {FieldRelNam, FieldStUp, FieldStDn}) {
            const EditPlan one = PlanReplace(rows, pattern, replacement, options, {r, f});
            plan.changes.insert(plan.changes.end(), one.changes.begin(), one.changes.end());
            plan.cases += one.cases;
            plan.unheld += one.unheld;
        }
    }
    return plan;
}

QString ReplaceAllMessage(const EditPlan& plan)
{
    const qsizetype replaced = static_cast<qsizetype>(plan.changes.size());
    QString message = replaced == 1 ? u"1 cell replaced."_s
                                    : u"%1 cells replaced."_s.arg(replaced);
    if (!plan.cases.isEmpty())
        message += kCrLf + CaseList(plan.cases);
    if (plan.unheld > 0)
        message += kCrLf + UnheldReport(plan.unheld);
    return message;
}

} // namespace mr640

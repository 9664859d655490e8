#include "find_replace.h"

#include "clean_text.h"
#include "shared_routines.h"

#include <QStringMatcher>

#include <optional>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

Qt::CaseSensitivity Sensitivity(const FindOptions& options)
{
    return options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

QString TextOf(const std::vector<ChannelRow>& rows, CellPosition cell)
{
    return CellText(rows[static_cast<std::size_t>(cell.row)], cell.field);
}

// Replaces a pattern in texts, its matcher made once for all of them.
class Replacer
{
public:
    Replacer(const QString& pattern, const QString& replacement, const FindOptions& options)
        : pattern_(pattern), replacement_(replacement), options_(options),
          matcher_(pattern, Sensitivity(options))
    {
    }

    // The text with every match replaced, left to right, a replacement never searched
    // again; nothing when the text does not match.
    std::optional<QString> Replaced(const QString& text) const
    {
        if (pattern_.isEmpty())
            return std::nullopt;
        if (options_.wholeCell)
            return CellMatches(text, pattern_, options_) ? std::optional(replacement_) : std::nullopt;
        qsizetype at = matcher_.indexIn(text);
        if (at < 0)
            return std::nullopt;
        QString replaced;
        qsizetype from = 0;
        for (; at >= 0; at = matcher_.indexIn(text, from)) {
            replaced += QStringView(text).sliced(from, at - from);
            replaced += replacement_;
            from = at + pattern_.size();
        }
        replaced += QStringView(text).sliced(from);
        return replaced;
    }

    // Adds to plan the replacing in one cell, when it is a searched cell that matches.
    void Plan(EditPlan& plan, const std::vector<ChannelRow>& rows, CellPosition cell) const
    {
        if (cell.row < 0 || cell.row >= static_cast<int>(rows.size()) || !IsSearchedField(cell.field))
            return;
        if (const std::optional<QString> replaced = Replaced(TextOf(rows, cell)))
            PlanText(plan, rows, cell.row, cell.field, *replaced);
    }

private:
    const QString& pattern_;
    const QString& replacement_;
    const FindOptions& options_;
    QStringMatcher matcher_;
};

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

EditPlan PlanReplace(const std::vector<ChannelRow>& rows, const QString& pattern,
                     const QString& replacement, const FindOptions& options, CellPosition cell)
{
    EditPlan plan;
    Replacer(pattern, replacement, options).Plan(plan, rows, cell);
    return plan;
}

EditPlan PlanReplaceAll(const std::vector<ChannelRow>& rows, const QString& pattern,
                        const QString& replacement, const FindOptions& options)
{
    const Replacer replacer(pattern, replacement, options);
    EditPlan plan;
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int f : {FieldRelNam, FieldStUp, FieldStDn})
            replacer.Plan(plan, rows, {r, f});
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

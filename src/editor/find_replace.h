#pragma once

#include "cell_edits.h"

#include <optional>

namespace mr640 {

struct FindOptions
{
    bool matchCase = false;
    bool wholeCell = false; // the pattern must be the cell's whole text
};

struct CellPosition
{
    int row = 0;
    int field = 0;

    friend bool operator==(const CellPosition&, const CellPosition&) = default;
};

struct FindResult
{
    std::optional<CellPosition> cell; // none: no cell matches
    bool wrapped = false;             // the search went past the end (or the start) to find it
};

// Find and replace look at the relay names and the state texts.
bool IsSearchedField(int field);

// Whether the text of a cell matches pattern; an empty pattern matches nothing.
bool CellMatches(const QString& text, const QString& pattern, const FindOptions& options);

// The next matching cell after from (the previous one before it, backwards), reading the
// table row by row, left to right, and going on from the other end once: from itself is
// the last cell looked at. Start at {0, FieldChan} to search forwards from the top.
FindResult FindCell(const std::vector<ChannelRow>& rows, const QString& pattern,
                    const FindOptions& options, CellPosition from, bool backwards);

// Replacing in one cell, when it is a searched cell that matches: every occurrence of
// pattern, left to right (the whole text, with wholeCell); replacements are never searched
// again.
EditPlan PlanReplace(const std::vector<ChannelRow>& rows, const QString& pattern,
                     const QString& replacement, const FindOptions& options, CellPosition cell);

// Replacing in every matching cell, each new value worked out from the rows as they are;
// changes.size() is the number of cells replaced, cases the texts cut to their limits.
EditPlan PlanReplaceAll(const std::vector<ChannelRow>& rows, const QString& pattern,
                        const QString& replacement, const FindOptions& options);

// The message after a replace-all: how many cells were replaced, then the cut texts.
QString ReplaceAllMessage(const EditPlan& plan);

} // namespace mr640

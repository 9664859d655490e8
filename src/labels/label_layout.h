#pragma once

#include "editor/channel_table.h"
#include "label_sheets.h"

#include <QString>
#include <optional>
#include <vector>

namespace mr640 {

// What goes on the labels.
struct LabelContent
{
    int channelsPerLabel = 4; // 4: as the labels database's record; or 1
    bool stateTexts = false;  // each line ends with the state-up and state-down texts
    QString title;            // a first line (the site name); empty: none
    bool leaveOutSpares = false;
};

// One line of a label: a channel's id, relay name, "B" for a back contact (else empty)
// and, when asked for, its state texts as "UP/DN", without the spaces a dip file pads them
// with (empty when both are blank).
struct LabelLine
{
    QString id;
    QString name;
    QString contact;
    QString states;

    friend bool operator==(const LabelLine&, const LabelLine&) = default;
};

struct Label
{
    QString title;
    std::vector<LabelLine> lines;
    // Made one channel a label: its name may take a line of its own. A label of a four-channel
    // print keeps its siblings' layout even when it holds one channel.
    bool oneChannel = false;

    friend bool operator==(const Label&, const Label&) = default;
};

// How a label is named to the user: its first and last channel ids, "AA01–AA04", or one id.
QString LabelName(const Label& label);

// A spare channel: a relay name that is empty, starts with "Spare" or reads "(spare)" or
// "SP", in any case.
bool IsSpare(const ChannelRow& row);

// The rows of channels first to last (channel numbers, in either order) that the table
// holds; empty when none of them is in it.
std::vector<int> RowsInRange(const std::vector<ChannelRow>& rows, int first, int last);

// The channel numbers a range such as "AA01-BB48" (or "AA01–BB48", or one id) names;
// std::nullopt when the text is not a range of ids.
std::optional<std::pair<int, int>> ParseChannelRange(const QString& text);

// The labels for the given rows of the table, in order: channelsPerLabel rows a label
// (the last may hold fewer), spares left out first when asked.
std::vector<Label> MakeLabels(const std::vector<ChannelRow>& rows, const std::vector<int>& chosen,
                              const LabelContent& content);

// Where labels go on the sheets: from slot `first` of the first page on, every label
// `copies` times in a row.
struct SheetRun
{
    int labels = 0;
    int first = 0; // the first unused slot of the first sheet (0: the top-left label)
    int copies = 1;
    int perPage = 1;

    int Printed() const { return labels * copies; }
    int PageCount() const;
    // Printed labels on page `page` (from 0).
    int LabelsOn(int page) const;
    // The label printed k-th (k from 0, counting copies) and its page and slot.
    int LabelAt(int k) const { return k / copies; }
    int PageOf(int k) const { return (first + k) / perPage; }
    int SlotOf(int k) const { return (first + k) % perPage; }
    // The printed positions k on page `page`: [begin, end).
    std::pair<int, int> OnPage(int page) const;
    // The first slot left unused on the last sheet; 0 when that sheet is used up.
    int NextFirst() const { return (first + Printed()) % perPage; }
};

} // namespace mr640

#include "fuzz_support.h"

#include "editor/channel_ids.h"

#include <cstdio>
#include <cstdlib>

namespace mr640::fuzz {

using namespace Qt::StringLiterals;

MessageButton FuzzUi::ShowMessage(const MessageRequest& request)
{
    messages.push_back(request);
    if (request.buttons == MessageButtons::Ok)
        return MessageButton::Ok;
    ++prompts;
    if (prompts == cancelAt_) {
        cancelled = true;
        return MessageButton::Cancel;
    }
    switch (request.buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return MessageButton::Yes;
    default:
        return MessageButton::Ok;
    }
}

std::optional<ChosenFile> FuzzUi::ShowFileDialog(const FileDialogRequest&)
{
    Require(false, "a reader asked for a file");
    return std::nullopt;
}

int FuzzUi::RunModal(QDialog&)
{
    Require(false, "a reader ran a dialog");
    return 0; // QDialog::Rejected
}

void Require(bool holds, const char* promise)
{
    if (holds)
        return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

QByteArray Bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                   static_cast<qsizetype>(size));
}

std::vector<ChannelRow> EditedRows(int n)
{
    std::vector<ChannelRow> rows(static_cast<std::size_t>(n));
    FillDefaultRows(rows, 0);
    for (std::size_t r = 0; r < rows.size(); r += 7) {
        rows[r].relNam = u"kept %1"_s.arg(r);
        rows[r].back = true;
        rows[r].stUp = u"ON"_s;
    }
    return rows;
}

const ChannelRow& Default(std::size_t r)
{
    static const std::vector<ChannelRow> rows = [] {
        std::vector<ChannelRow> all(kMaxChannels);
        FillDefaultRows(all, 0);
        return all;
    }();
    return rows.at(r);
}

bool IsTableSize(std::size_t rows)
{
    return rows >= kChannelsPerUnit && rows <= kMaxChannels && rows % kChannelsPerUnit == 0;
}

} // namespace mr640::fuzz

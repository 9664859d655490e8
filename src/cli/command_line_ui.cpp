#include "command_line_ui.h"

namespace mr640 {

MessageButton CommandLineUi::ShowMessage(const MessageRequest& request)
{
    const bool question = request.buttons != MessageButtons::Ok;
    messages_.push_back({line_, request.text, question});
    if (!question)
        return MessageButton::Ok;
    asked_ = true;
    const bool yesNo =
        request.buttons == MessageButtons::YesNo || request.buttons == MessageButtons::YesNoCancel;
    if (answerYes_)
        return yesNo ? MessageButton::Yes : MessageButton::Ok;
    declined_ = true;
    return request.buttons == MessageButtons::YesNo ? MessageButton::No : MessageButton::Cancel;
}

void CommandLineUi::ShowCount(const MessageRequest& request, int count)
{
    // A window's box keeps the words it always had for every count ("1 channels
    // imported"); the command line's output agrees with its noun.
    QString text = request.text;
    if (count == 1 && text.startsWith(u"1 channels "))
        text.remove(9, 1);
    messages_.push_back({line_, text, false, true});
    count_ = count;
}

void CommandLineUi::StoredChannel(int channel)
{
    if (channel < 1)
        return;
    if (static_cast<std::size_t>(channel) > channelLines_.size())
        channelLines_.resize(static_cast<std::size_t>(channel));
    channelLines_[static_cast<std::size_t>(channel - 1)] = line_;
}

std::optional<ChosenFile> CommandLineUi::ShowFileDialog(const FileDialogRequest&)
{
    return std::nullopt;
}

int CommandLineUi::RunModal(QDialog&)
{
    return 0; // QDialog::Rejected, without a dialog ever shown
}

} // namespace mr640

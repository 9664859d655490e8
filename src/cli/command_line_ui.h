#pragma once

#include "platform/ui.h"

#include <optional>
#include <vector>

namespace mr640 {

// The person at the keyboard of a command, who is nobody: every box is kept with the line
// of the file it concerns, for the command to print. A question is answered as a person
// pressing OK or Yes would when answerYes is set, else as Cancel (No where the box has no
// Cancel). File dialogs and windows are never shown: they count as cancelled.
class CommandLineUi : public Ui
{
public:
    struct Message
    {
        int line = 0; // 0: the file as a whole
        QString text;
        bool question = false;
        bool count = false; // the count that closes a read, an import or an export
    };

    explicit CommandLineUi(bool answerYes) : answerYes_(answerYes) {}

    MessageButton ShowMessage(const MessageRequest& request) override;
    void ShowCount(const MessageRequest& request, int count) override;
    std::optional<ChosenFile> ShowFileDialog(const FileDialogRequest& request) override;
    int RunModal(QDialog& dialog) override;
    void AtLine(int line) override { line_ = line; }
    void StoredChannel(int channel) override;

    const std::vector<Message>& Messages() const { return messages_; }
    // Some question was asked; some question was answered Cancel or No.
    bool Asked() const { return asked_; }
    bool Declined() const { return declined_; }
    // The channels the last closing count counted; std::nullopt before one was shown.
    std::optional<int> Count() const { return count_; }
    int Line() const { return line_; }
    // The line each channel was stored from, by row; a row past its end, or holding 0, was
    // not stored from any line.
    const std::vector<int>& ChannelLines() const { return channelLines_; }

private:
    bool answerYes_;
    bool asked_ = false;
    bool declined_ = false;
    int line_ = 0;
    std::optional<int> count_;
    std::vector<Message> messages_;
    std::vector<int> channelLines_;
};

} // namespace mr640

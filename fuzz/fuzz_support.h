#pragma once

#include "editor/channel_table.h"
#include "platform/ui.h"

#include <QByteArray>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mr640::fuzz {

// The person at the keyboard while a reader is fuzzed. Every box offering a choice is a
// prompt; this person answers OK at each one, except Cancel at prompt cancelAt (counting
// from 1; 0: never). A box with only OK is answered OK. It never picks a file and rejects
// every dialog, since no reader should ask for either.
class FuzzUi : public Ui
{
public:
    explicit FuzzUi(int cancelAt = 0) : cancelAt_(cancelAt) {}

    MessageButton ShowMessage(const MessageRequest& request) override;
    std::optional<ChosenFile> ShowFileDialog(const FileDialogRequest& request) override;
    int RunModal(QDialog& dialog) override;

    std::vector<MessageRequest> messages;
    int prompts = 0;
    bool cancelled = false;

private:
    int cancelAt_;
};

// Stops the run with a report that libFuzzer records as a crash, with the input that
// caused it, when a promise of the reader does not hold.
void Require(bool holds, const char* promise);

// The input as bytes, without a copy.
QByteArray Bytes(const std::uint8_t* data, std::size_t size);

// A table as the editor holds it before a load: n rows, not all of them defaults, so a
// reader that changed it where it must not is seen.
std::vector<ChannelRow> EditedRows(int n);

// DefaultRow(r), made once for every row of the largest table.
const ChannelRow& Default(std::size_t r);

// The table's size rule: 384 to 3072 rows in whole units.
bool IsTableSize(std::size_t rows);

} // namespace mr640::fuzz

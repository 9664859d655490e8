#pragma once

#include "platform/ui.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace mr640::test {

// The scripted person at the keyboard. It records every message box and file dialog
// exactly as the program asked for it and answers from a script, so a test reads like a
// user's session. A box with only an OK button is answered OK without a script; a box
// that offers a choice, a file dialog or a modal dialog that has no scripted answer
// fails the test (and is answered Cancel). Answers left unused at the end fail it too.
class ScriptedUi : public Ui
{
public:
    ~ScriptedUi() override;

    // Answers the next message box that offers more than an OK button.
    ScriptedUi& Answer(MessageButton button);
    // Answers the next file dialog with this full name (its file title is the name part).
    ScriptedUi& ChooseFile(const QString& fullName);
    ScriptedUi& CancelFileDialog();
    // Plays the person at the next modal dialog; the function returns the dialog's result.
    ScriptedUi& AtModal(std::function<int(QDialog&)> play);

    const std::vector<MessageRequest>& Messages() const { return messages_; }
    QStringList MessageTexts() const;
    const std::vector<FileDialogRequest>& FileDialogs() const { return fileDialogs_; }
    // Forgets what was shown so far (the script stays).
    void ClearShown();

    MessageButton ShowMessage(const MessageRequest& request) override;
    std::optional<ChosenFile> ShowFileDialog(const FileDialogRequest& request) override;
    int RunModal(QDialog& dialog) override;

private:
    std::deque<MessageButton> answers_;
    std::deque<std::optional<QString>> files_;
    std::deque<std::function<int(QDialog&)>> modals_;
    std::vector<MessageRequest> messages_;
    std::vector<FileDialogRequest> fileDialogs_;
};

// Shorthands for the boxes the program shows most.
MessageRequest Info(const QString& text); // information icon, OK, the editor's title
MessageRequest Question(const QString& text, MessageButtons buttons); // the editor's title
MessageRequest Warning(const QString& text); // exclamation icon, OK, the editor's title
// The warning that the site could not be saved to path, for reason.
MessageRequest SaveFailure(const QString& path, const QString& reason);

} // namespace mr640::test

namespace mr640 {

inline void PrintTo(const MessageRequest& m, std::ostream* os)
{
    *os << "box \"" << m.text.toStdString() << "\" icon " << static_cast<int>(m.icon) << " buttons "
        << static_cast<int>(m.buttons) << " title \"" << m.title.toStdString() << '"';
    if (m.defaultButton)
        *os << " default " << static_cast<int>(*m.defaultButton);
}

} // namespace mr640

#include "scripted_ui.h"

#include "editor/shared_routines.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace mr640::test {

ScriptedUi::~ScriptedUi()
{
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted answers were never asked for";
    EXPECT_TRUE(files_.empty()) << files_.size() << " scripted file choices were never asked for";
    EXPECT_TRUE(modals_.empty()) << modals_.size() << " scripted dialogs were never shown";
}

ScriptedUi& ScriptedUi::Answer(MessageButton button)
{
    answers_.push_back(button);
    return *this;
}

ScriptedUi& ScriptedUi::ChooseFile(const QString& fullName)
{
    files_.push_back(fullName);
    return *this;
}

ScriptedUi& ScriptedUi::CancelFileDialog()
{
    files_.push_back(std::nullopt);
    return *this;
}

ScriptedUi& ScriptedUi::AtModal(std::function<int(QDialog&)> play)
{
    modals_.push_back(std::move(play));
    return *this;
}

QStringList ScriptedUi::MessageTexts() const
{
    QStringList texts;
    for (const MessageRequest& m : messages_)
        texts.append(m.text);
    return texts;
}

void ScriptedUi::ClearShown()
{
    messages_.clear();
    fileDialogs_.clear();
}

MessageButton ScriptedUi::ShowMessage(const MessageRequest& request)
{
    messages_.push_back(request);
    if (request.buttons == MessageButtons::Ok)
        return MessageButton::Ok;
    if (answers_.empty()) {
        ADD_FAILURE() << "unscripted question: " << request.text.toStdString();
        return MessageButton::Cancel;
    }
    const MessageButton answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::optional<ChosenFile> ScriptedUi::ShowFileDialog(const FileDialogRequest& request)
{
    fileDialogs_.push_back(request);
    if (files_.empty()) {
        ADD_FAILURE() << "unscripted file dialog: " << request.title.toStdString();
        return std::nullopt;
    }
    const std::optional<QString> name = files_.front();
    files_.pop_front();
    if (!name)
        return std::nullopt;
    return ChosenFile{*name, QFileInfo(*name).fileName()};
}

int ScriptedUi::RunModal(QDialog& dialog)
{
    if (modals_.empty()) {
        ADD_FAILURE() << "unscripted modal dialog";
        return 0;
    }
    auto play = std::move(modals_.front());
    modals_.pop_front();
    return play(dialog);
}

MessageRequest Info(const QString& text)
{
    return {text, MessageIcon::Information, MessageButtons::Ok, QString(kAppTitle)};
}

MessageRequest Question(const QString& text, MessageButtons buttons)
{
    return {text, MessageIcon::Question, buttons, QString(kAppTitle)};
}

MessageRequest Warning(const QString& text)
{
    return {text, MessageIcon::Exclamation, MessageButtons::Ok, QString(kAppTitle)};
}

MessageRequest SaveFailure(const QString& path, const QString& reason)
{
    return Warning(QStringLiteral("Error occurred while saving.\r\n") + path + QStringLiteral("\r\n") + reason);
}

} // namespace mr640::test

#include "qt_ui.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include <variant>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

QMessageBox::Icon IconOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::NewSiteUpdateCancel:
        return QMessageBox::Cancel; // with the two buttons of their own
    case MessageButtons::RecoverDiscardLater:
    case MessageButtons::RecoverCompareDiscardLater:
        return QMessageBox::NoButton; // buttons of their own only
    case MessageButtons::EjectClose:
        return QMessageBox::Close; // with Eject of its own
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton StandardButtonOf(std::optional<MessageButton> button)
{
    if (!button)
        return QMessageBox::NoButton;
    switch (*button) {
    case MessageButton::Ok:
        return QMessageBox::Ok;
    case MessageButton::Cancel:
        return QMessageBox::Cancel;
    case MessageButton::Yes:
        return QMessageBox::Yes;
    case MessageButton::No:
        return QMessageBox::No;
    default:
        return QMessageBox::NoButton; // a button of the box's own
    }
}

MessageButton ButtonOf(int pressed, MessageButtons buttons)
{
    switch (pressed) {
    case QMessageBox::Ok:
        return MessageButton::Ok;
    case QMessageBox::Yes:
        return MessageButton::Yes;
    case QMessageBox::No:
        return MessageButton::No;
    case QMessageBox::Cancel:
        return MessageButton::Cancel;
    default:
        // Closed without a button: the escape answer of the box.
        return buttons == MessageButtons::Ok ? MessageButton::Ok
               : buttons == MessageButtons::YesNo ? MessageButton::No
                                                  : MessageButton::Cancel;
    }
}

// Buttons of a box that Qt has no standard button for, and the answer each gives. The
// first is the default; one with the reject role is the answer of closing the box.
struct OwnButton
{
    QString text;
    MessageButton answer;
    QMessageBox::ButtonRole role = QMessageBox::AcceptRole;
};

QList<OwnButton> OwnButtonsOf(MessageButtons buttons)
{
    const OwnButton recover{u"&Recover"_s, MessageButton::Recover};
    const OwnButton compare{u"&Compare"_s, MessageButton::Compare, QMessageBox::ActionRole};
    const OwnButton discard{u"&Discard"_s, MessageButton::Discard, QMessageBox::DestructiveRole};
    const OwnButton later{u"&Later"_s, MessageButton::Later, QMessageBox::RejectRole};
    switch (buttons) {
    case MessageButtons::NewSiteUpdateCancel:
        return {{u"&New site"_s, MessageButton::NewSite}, {u"&Update"_s, MessageButton::Update}};
    case MessageButtons::RecoverDiscardLater:
        return {recover, discard, later};
    case MessageButtons::RecoverCompareDiscardLater:
        return {recover, compare, discard, later};
    case MessageButtons::EjectClose:
        return {{u"&Eject"_s, MessageButton::Eject}};
    default:
        return {};
    }
}

// A plain-text box over parent; the answer is the Qt button pressed, or the answer of an
// own button.
std::variant<int, MessageButton> ShowBox(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                         QMessageBox::StandardButtons buttons, const QString& title,
                                         const QList<OwnButton>& own = {},
                                         QMessageBox::StandardButton standardDefault = QMessageBox::NoButton)
{
    QMessageBox box(parent);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(icon);
    QList<QPushButton*> added;
    for (const OwnButton& button : own) {
        added.append(box.addButton(button.text, button.role));
        added.back()->setObjectName(QString(button.text).remove(u'&'));
        if (button.role == QMessageBox::RejectRole)
            box.setEscapeButton(added.back());
    }
    box.setStandardButtons(buttons);
    if (!added.isEmpty())
        box.setDefaultButton(added.front());
    else if (standardDefault != QMessageBox::NoButton)
        box.setDefaultButton(standardDefault);
    box.setWindowTitle(title);
    box.setObjectName(u"MessageBox"_s);
    const int pressed = box.exec();
    const qsizetype clicked = added.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    if (clicked >= 0)
        return own[clicked].answer;
    return pressed;
}

// Qt's own dialog accepts a name in a folder that does not exist. Asked for an existing
// path, this one refuses such a name as the platform's dialog does: it names the folder
// and stays open with the name as typed.
class FileDialog : public QFileDialog
{
public:
    FileDialog(QWidget* parent, const QString& title, const QString& directory, bool pathMustExist)
        : QFileDialog(parent, title, directory), pathMustExist_(pathMustExist)
    {
    }

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (pathMustExist_ && !files.isEmpty()) {
            const QFileInfo chosen(files.constFirst());
            const QString folder = chosen.absolutePath();
            if (!chosen.isDir() && !QFileInfo(folder).isDir()) {
                ShowBox(this, u"The folder "_s + folder + u" does not exist.\r\nCheck the folder name and try again."_s,
                        QMessageBox::Warning, QMessageBox::Ok, windowTitle());
                return;
            }
        }
        if (!endings_.isEmpty() && !files.isEmpty() && !EndsInOneOf(files.constFirst(), endings_)) {
            QStringList shown;
            for (const QString& ending : endings_)
                shown.append(u'.' + ending);
            ShowBox(this, u"The name "_s + QFileInfo(files.constFirst()).fileName() + u" ends in no file type this program writes."_s +
                              u"\r\nType a name that ends in "_s + shown.join(u" or "_s) + u"."_s,
                    QMessageBox::Warning, QMessageBox::Ok, windowTitle());
            return;
        }
        QFileDialog::accept();
    }

    void SetEndings(const QStringList& endings) { endings_ = endings; }

private:
    bool pathMustExist_;
    QStringList endings_;
};

} // namespace

QStringList NameFiltersOf(const QString& filter)
{
    // Each description already names its patterns, as Qt's name filters expect.
    const QStringList parts = filter.split(u'|');
    QStringList names;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        names.append(parts[i]);
    return names;
}

QString SuffixOfNameFilter(const QString& nameFilter)
{
    static const QRegularExpression pattern(u"\\(\\*\\.([^ ;)*]+)"_s);
    return pattern.match(nameFilter).captured(1);
}

MessageButton QtUi::ShowMessage(const MessageRequest& request)
{
    const std::variant<int, MessageButton> pressed =
        ShowBox(parent_, request.text, IconOf(request.icon), ButtonsOf(request.buttons),
                request.title.isEmpty() ? u"MR640Config"_s : request.title, OwnButtonsOf(request.buttons),
                StandardButtonOf(request.defaultButton));
    if (const auto* own = std::get_if<MessageButton>(&pressed))
        return *own;
    return ButtonOf(std::get<int>(pressed), request.buttons);
}

std::optional<ChosenFile> QtUi::ShowFileDialog(const FileDialogRequest& request)
{
    FileDialog dialog(parent_, request.title, request.initialDirectory,
                      request.flags & FileDialogFlag::PathMustExist);
    dialog.setObjectName(u"Cdlg"_s);
    dialog.SetEndings(request.endings);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const bool saving = request.kind == FileDialogKind::Save;
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode((request.flags & FileDialogFlag::FileMustExist) ? QFileDialog::ExistingFile
                                                                       : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite,
                     !(request.flags & FileDialogFlag::OverwritePrompt));
    dialog.setOption(QFileDialog::ReadOnly, false);

    const QStringList filters = NameFiltersOf(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.defaultExtension.isEmpty()) {
        dialog.setDefaultSuffix(request.defaultExtension.mid(request.defaultExtension.startsWith(u'.') ? 1 : 0));
        // The default extension follows the filter the user picks.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
            const QString suffix = SuffixOfNameFilter(f);
            if (!suffix.isEmpty())
                dialog.setDefaultSuffix(suffix);
        });
    }
    const QString name = request.fileName.value_or(lastFileName_);
    if (!name.isEmpty())
        dialog.selectFile(name);

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString fullName = dialog.selectedFiles().constFirst();
    const QString title = QFileInfo(fullName).fileName();
    lastFileName_ = title;
    return ChosenFile{fullName, title};
}

int QtUi::RunModal(QDialog& dialog)
{
    return dialog.exec();
}

} // namespace mr640

#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QDialog;

namespace mr640 {

// Everything the person at the keyboard answers goes through this interface, so the
// program's windows and commands can be driven by a script in tests.

enum class MessageIcon { None, Information, Question, Exclamation, Critical };

// NewSiteUpdateCancel: "New site", "Update" and Cancel, for a CSV opened over a site.
// RecoverDiscardLater: "Recover", "Discard" and "Later" (also closing the box), for the
// changes a program that stopped left; RecoverCompareDiscardLater adds "Compare".
// EjectClose: "Eject" and Close (answered as Cancel), for a card that was written.
enum class MessageButtons {
    Ok,
    OkCancel,
    YesNoCancel,
    YesNo,
    NewSiteUpdateCancel,
    RecoverDiscardLater,
    RecoverCompareDiscardLater,
    EjectClose
};

enum class MessageButton { Ok, Cancel, Yes, No, NewSite, Update, Recover, Compare, Discard, Later, Eject };

struct MessageRequest
{
    QString text;  // always shown as plain text, never as markup
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    QString title; // empty: the box carries the application name "MR640Config"
    // The button Enter presses, one of the box's; not set: the box's first.
    std::optional<MessageButton> defaultButton = std::nullopt;

    friend bool operator==(const MessageRequest&, const MessageRequest&) = default;
};

enum class FileDialogKind { Open, Save };

// Flag bits of the file dialog, with the meanings the commands rely on.
namespace FileDialogFlag {
inline constexpr int OverwritePrompt = 0x2; // ask before replacing an existing file
inline constexpr int HideReadOnly = 0x4;    // no read-only check box
inline constexpr int PathMustExist = 0x800;
inline constexpr int FileMustExist = 0x1000;
} // namespace FileDialogFlag

struct FileDialogRequest
{
    FileDialogKind kind = FileDialogKind::Open;
    QString title;
    // Description and pattern pairs separated by "|":
    // "MR640 dip files (*.dip)|*.dip|CSV files (*.csv)|*.csv".
    QString filter;
    int filterIndex = 0;      // 1 = first pair; 0 = not set
    QString defaultExtension; // ".dip"; empty = not set
    int flags = 0;
    QString initialDirectory;
    std::optional<QString> fileName; // not set: the dialog offers the name of its last use
    // The endings a chosen name must have, in any case ("dip", "csv"); the dialog refuses
    // any other name and stays open. Empty: any name.
    QStringList endings;

    friend bool operator==(const FileDialogRequest&, const FileDialogRequest&) = default;
};

// True when a file name is longer than an ending and a dot and ends in one of endings
// ("dip"), in any case: the file type the user means.
inline bool EndsInOneOf(const QString& fullName, const QStringList& endings)
{
    for (const QString& ending : endings) {
        if (fullName.size() > ending.size() + 1 && fullName.endsWith(ending, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

struct ChosenFile
{
    QString fullName;  // the whole path
    QString fileTitle; // the file name without its directory
};

class Ui
{
public:
    virtual ~Ui() = default;

    // Shows a modal message box and returns the button pressed. Closing the box
    // without a button counts as Cancel where there is one, else as the only button.
    virtual MessageButton ShowMessage(const MessageRequest& request) = 0;

    // Shows a modal file dialog; std::nullopt when the user cancelled it.
    virtual std::optional<ChosenFile> ShowFileDialog(const FileDialogRequest& request) = 0;

    // Runs a dialog modally and returns its result code.
    virtual int RunModal(QDialog& dialog) = 0;

    // A reader is at this line of the file it reads (the CSV file's line a record starts
    // on, the dip record, from 1; 0 for the file as a whole): the boxes that follow concern
    // it. A window shows the line in the box's own text where it matters; a command line
    // names it before each.
    virtual void AtLine(int line) { static_cast<void>(line); }
    // The reader stored the record of the line it is at as channel (from 1), so that a
    // command line can name the line a channel's problem comes from.
    virtual void StoredChannel(int channel) { static_cast<void>(channel); }

    // Shows the count that closes a read, an import or an export ("384 channels loaded"), of
    // count channels: a box like any other in a window; a command line prints it as the
    // command's output rather than as a problem.
    virtual void ShowCount(const MessageRequest& request, int count)
    {
        static_cast<void>(count);
        ShowMessage(request);
    }
};

} // namespace mr640

#pragma once

#include <QString>
#include <QStringList>

namespace mr640 {

class Ui;

// The title of the main window and of its own message boxes.
inline constexpr QLatin1StringView kAppTitle{"MR640 configuration editor"};

// The line break inside message texts and the files' lines.
inline constexpr QLatin1StringView kCrLf{"\r\n"};

// An error report: a fixed sentence, a line break and the error's description.
QString ErrorReport(const QString& sentence, const QString& description);

// Shows text with the information icon, an OK button and the application title.
void ShowInfo(Ui& ui, const QString& text);

// Shows text as ShowInfo does, with the warning icon: a refusal or a failure.
void ShowWarning(Ui& ui, const QString& text);

// Shows, as ShowInfo does, text: the count of count channels that closes a read, an import
// or an export (Ui::ShowCount).
void ShowCount(Ui& ui, int count, const QString& text);

// The number and the noun that agrees with it: "1 channel", "2 channels".
QString Counted(qsizetype n, const QString& one, const QString& many);

// The fields of line between the delimiters, blanks kept, empty fields counted; always at
// least one field. Element 0 of the result is unused, fields are elements 1 to n.
QStringList SplitFields(QStringView line, QChar delimiter);

// The lower-case drive letter and ":" a path starts with, from its first character
// only; the empty text when it does not start with a letter.
QString DriveOfPath(QStringView path);

// The text without its leading and trailing space characters (other blanks stay).
QString TrimSpaces(const QString& text);

// The text before the first "." of a file name ("north" for north.old.dip).
QString FileStem(const QString& fileName);

// The text up to and including the last "/" of path; empty when there is none.
QString DirectoryOf(const QString& path);

// The number of characters in text: a pair of UTF-16 surrogates counts as one.
qsizetype CharacterCount(QStringView text);

// The first limit characters of text; a character outside the Basic Multilingual Plane is
// never split into half a surrogate pair.
QStringView LeftCharacters(QStringView text, qsizetype limit);

} // namespace mr640

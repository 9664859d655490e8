#pragma once

#include <QString>

#include <limits>

namespace mr640 {

// A relay name or state text as the table keeps it, wherever it came from (a paste, a CSV
// file, an import): what the site files can hold, and nothing the screen shows otherwise.
struct CleanText
{
    QString text;
    int unheld = 0; // characters Windows-1252 cannot hold, each now a "?"
};

// True for U+0000 to U+001F and U+007F.
bool IsControlCharacter(char32_t c);

// What becomes of a character Windows-1252 cannot hold: the "?" the files will hold, or
// nothing (where the user is typing and can choose another).
enum class Unheld { Question, Drop };

// Every control character becomes one space, a CR LF pair one space too; every character
// Windows-1252 cannot hold becomes "?" (or is dropped) and is counted. A surrogate pair is
// one character. Only the first limit characters of the result are made and counted.
CleanText CleanedText(QStringView text, Unheld unheld = Unheld::Question,
                      qsizetype limit = std::numeric_limits<qsizetype>::max());

// True when CleanedText would give text back as it is: no control character and none that
// Windows-1252 cannot hold.
bool IsClean(QStringView text);

// The line a command adds to its report when it replaced characters by "?":
// "2 characters the site file cannot hold were replaced by ?"; empty for none.
QString UnheldReport(int count);

} // namespace mr640

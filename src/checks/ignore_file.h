#pragma once

#include "problem.h"

#include <QSet>
#include <QString>
#include <vector>

namespace mr640 {

// The file beside a site that keeps the problems its users chose to ignore: NAME.dip.ignore
// beside NAME.dip.
QString IgnoreFilePath(const QString& sitePath);

// The problems a site ignores, one a line: a rule id and the problem's channel ids separated
// by spaces ("duplicate-name AA17 AB02"). A hand-edited text is read as it comes and never
// refused: blank lines, comments (from a '#' to the line's end), unknown rules and extra
// spaces are kept as they are written; ids match in any case and order.
class IgnoreList
{
public:
    IgnoreList() = default;
    explicit IgnoreList(QStringView text);

    bool Ignores(const Problem& problem) const
    {
        // Most sites ignore nothing: no key is made then.
        return !keys_.isEmpty() && keys_.contains(KeyOf(problem));
    }
    // Adds a line for the problem, unless it is ignored already.
    void Add(const Problem& problem);
    // Removes every line that ignores the problem.
    void Remove(const Problem& problem);
    // The lines as read, with the added ones after them and without the removed ones; each
    // ends in a line feed.
    QString Text() const;

private:
    struct Line
    {
        QString text;
        QString key; // the problem it ignores; empty for a blank line or a comment
    };
    static QString KeyOf(const Problem& problem);

    std::vector<Line> lines_;
    QSet<QString> keys_;
};

// Reads the ignore file at path. A missing file ignores nothing; so does one that cannot be
// read, with the reason in *error (else *error is left alone).
IgnoreList ReadIgnoreFile(const QString& path, QString* error);

// Writes the list through the program's atomic save; false with the reason in *error.
bool WriteIgnoreFile(const QString& path, const IgnoreList& list, QString* error);

} // namespace mr640

#pragma once

#include "author.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace mr640 {

// What "Keep history of this folder" did.
struct LibraryMade
{
    QString folder;       // the library's folder: the repository's work tree
    bool created = false; // the folder became a new repository
    QStringList recorded; // the sites recorded, their paths in the library
    QStringList problems; // "north.dip: REASON" for each site that could not be recorded
};

// The .gitattributes a library gets: sites are never converted at line ends, and git
// compares and merges dip files through the command line ("mr640config show --csv" as the
// text converter of diff=mr640config; merge=mr640config for the field merge driver).
QByteArray LibraryAttributes();

// Keeps the history of the sites in folder: makes the folder a git repository unless a
// work tree already holds it, writes .gitattributes there unless the folder has one, and
// records each site file in the folder (not its subfolders) that differs from its last
// version, each as a version of its own: "New site, 384 channels" for a site not yet
// recorded. A site that cannot be recorded is listed in problems; the others still are.
// Throws HistoryError (naming the folder) when the repository cannot be made or used.
LibraryMade KeepHistory(const QString& folder, const Author& author);

} // namespace mr640

#pragma once

#include "editor/channel_table.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>
#include <vector>

namespace mr640 {

class SiteWindow;
class Ui;
struct ChosenFile;
struct DirectorySettings;
struct SiteComparison;

// Compare with: the site on screen against the site a dip or CSV file holds, read as Open
// reads it but into rows of its own, so the site on screen never changes. What differs goes
// out through Compared to be shown, and again after every change of the table (an edit, an
// undo, New, Open, a resize...) against the same rows of the file, read once, until Forget.
// Owned by the window; what it is handed outlives it.
class CompareCommand : public QObject
{
    Q_OBJECT

public:
    CompareCommand(const ChannelTable& table, Ui& ui, const DirectorySettings& directories,
                   SiteWindow& window);

    // Asks for a dip or CSV file and compares the site on screen with it.
    void CompareWithFile();
    // The same with a file already chosen. A file that was refused, could not be read or
    // whose reading the person stopped is reported and compared with nothing. Either way,
    // or when the dialog is cancelled, the comparison before is over: Ended follows.
    void CompareWith(const ChosenFile& chosen);
    // The comparison is no longer shown: the table's changes are not compared any more.
    void Forget();
    // The site on screen against rows read elsewhere (a version of the site), as against a
    // file's: the first comparison is the caller's to show, the ones after every change of
    // the table go out through Recompared until Forget.
    SiteComparison Follow(std::vector<ChannelRow> rows);

signals:
    // A new comparison: the site on screen, screenRows rows, (the left side) against the
    // file named fileName.
    void Compared(const SiteComparison& comparison, int screenRows, const QString& fileName);
    // The same comparison after the table changed: once for the changes of one pass of the
    // event loop (a paste of 3072 rows is one).
    void Recompared(const SiteComparison& comparison, int screenRows);
    // A new comparison was cancelled or failed: the one before no longer stands.
    void Ended();

private:
    SiteComparison Compare() const;
    void Recompare();
    void End();

    // The file's side of the comparison as it was read.
    struct FileSide
    {
        std::vector<ChannelRow> rows;
        bool stateTexts = true; // a CSV file carries none
        QString fileName;
    };

    const ChannelTable& table_;
    Ui& ui_;
    const DirectorySettings& directories_;
    SiteWindow& window_;
    std::optional<FileSide> file_; // while a comparison is shown
    QTimer recompare_;             // once per pass of the event loop
};

} // namespace mr640

#pragma once

#include <QObject>
#include <QString>

namespace mr640 {

class ChannelTable;
class SiteWindow;
class Ui;
struct ChosenFile;
struct DirectorySettings;
struct SiteComparison;

// Compare with: the site on screen against the site a dip or CSV file holds, read as Open
// reads it but into rows of its own, so the site on screen never changes. What differs goes
// out through Compared to be shown. Owned by the window; what it is handed outlives it.
class CompareCommand : public QObject
{
    Q_OBJECT

public:
    CompareCommand(const ChannelTable& table, Ui& ui, const DirectorySettings& directories,
                   SiteWindow& window);

    // Asks for a dip or CSV file and compares the site on screen with it.
    void CompareWithFile();
    // The same with a file already chosen. A file that was refused, could not be read or
    // whose reading the person stopped is reported and compared with nothing.
    void CompareWith(const ChosenFile& chosen);

signals:
    // The site on screen, screenRows rows, (the left side) against the file named fileName.
    void Compared(const SiteComparison& comparison, int screenRows, const QString& fileName);

private:
    const ChannelTable& table_;
    Ui& ui_;
    const DirectorySettings& directories_;
    SiteWindow& window_;
};

} // namespace mr640

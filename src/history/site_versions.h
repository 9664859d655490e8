#pragma once

#include "site_history.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace mr640 {

class ChannelTable;
class SettingsStore;
class SiteFile;
class SiteWindow;
class Ui;
struct ChannelRow;

// Whether Export marks the version it sends to the card.
enum class ExportMark
{
    None,    // the site is in no library, or what goes out is not its last version
    Version, // it is the site's last recorded version
};

// The versions of the site on screen in its library, as the window works with them: each
// save records one, Export to card marks the version it sent, "Keep history of this
// folder" makes the site's folder a library, and the History window reads them, compares
// them, puts one back on screen and marks one as issued. A version that cannot be recorded
// never fails a save: the save is done and a warning says why. The engineer who records is
// the one the settings name, asked once when none is. Keeps one SiteHistory, of the site
// last asked about. Owned by the window; what it is handed outlives it.
class SiteVersions : public QObject
{
    Q_OBJECT

public:
    SiteVersions(ChannelTable& table, Ui& ui, SettingsStore& settings, const SiteFile& siteFile,
                 SiteWindow& window, QWidget& dialogParent);
    ~SiteVersions() override;

    // bytes were just written to the site file at path (the site's own file or a CSV copy):
    // recorded as a version when a library holds path, with the description asked for by
    // SaveWithDescription and as "Restored the version of ..." when they are the version
    // OpenVersion put on screen.
    void Saved(const QString& path, const QByteArray& bytes);
    // "Save with a description...": asks for a line and saves through save with it.
    void SaveWithDescription(const std::function<bool()>& save);

    // Before Export to card: when the site's library does not hold what the screen shows,
    // asks "Save NAME and record this version before exporting it?"; Yes saves through
    // save. Nothing when the export is to stop (Cancel, or the save did not complete).
    std::optional<ExportMark> BeforeExport(const std::function<bool()>& save);
    // After the card check passed: notes on the version that it went to cardPath.
    void Exported(ExportMark mark, const QByteArray& bytes, const QString& cardPath);

    // The site has a file and no library holds its folder.
    bool MayKeepHistory();
    // "Keep history of this folder...": after a confirmation, makes the site's folder a
    // library, records its sites and says what it did.
    void KeepHistoryOfFolder();

    // What the site on screen is called in its history: its file's name, else its own.
    QString SiteName() const;
    // The history of the site on screen. Throws HistoryError naming the site when it has
    // no file, no library holds it or its library cannot be opened.
    SiteHistory& History();
    // The site's rows in version; throws HistoryError.
    std::vector<ChannelRow> RowsOf(const SiteVersion& version);
    // "Open this version": after the save question, the version on screen as a modified
    // site of the same file.
    void OpenVersion(const SiteVersion& version);
    // "Mark as issued...": asks for a line and tags version with it.
    void MarkIssued(const SiteVersion& version);

    // The engineer of the settings, git's offered first, asked for once when they name
    // none; path is in the library the engineer records in. Throws HistoryError when the
    // person gives none.
    Author Engineer(const QString& path);
    // The library took versions from elsewhere (the team's): the history shown is old.
    void LibraryChanged();

signals:
    // A version was recorded or marked, or a library made: the history shown is old.
    void Changed();

private:
    // The history of the site file at path, kept while path is the one asked about;
    // nullptr when no library holds it. Throws HistoryError for one that cannot be opened.
    SiteHistory* HistoryOf(const QString& path);
    // The library holding path has bytes as the site's version in HEAD.
    bool IsLastVersion(const QString& path, const QByteArray& bytes);

    ChannelTable& table_;
    Ui& ui_;
    SettingsStore& settings_;
    const SiteFile& siteFile_;
    SiteWindow& window_;
    QWidget& dialogParent_;

    std::optional<SiteHistory> history_;
    QString description_; // for the next save
    // The version OpenVersion put on screen: a save of the site file with these bytes
    // records its restoring.
    struct Restored
    {
        QString path;
        QByteArray bytes;
        QDateTime when;
    };
    std::optional<Restored> restored_;
};

} // namespace mr640

#pragma once

#include <QObject>
#include <QStringList>

#include <vector>

class QAction;
class QMenu;

namespace mr640 {

class FrmDips;
class SettingsStore;
class Ui;

// The File menu's list of the last eight site files (dip and CSV) opened or saved, newest
// first, as entries MnuRecent1 to MnuRecent8 at the end of the menu. The list lives in the
// settings store's group "RecentSites" and is written there whenever it changes. Choosing
// an entry opens its file as Open does, after the save question; a file that no longer
// exists is reported and taken off the list.
class RecentSites : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxEntries = 8;

    // Adds the entries to menu; owned by window.
    RecentSites(FrmDips& window, QMenu& menu, SettingsStore& settings, Ui& ui);

    const QStringList& Paths() const { return paths_; }

private:
    void Add(const QString& path);
    void Open(int index);
    void Store();
    void ShowEntries();

    FrmDips& window_;
    SettingsStore& settings_;
    Ui& ui_;
    QStringList paths_;
    std::vector<QAction*> entries_;
};

} // namespace mr640

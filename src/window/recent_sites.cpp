#include "recent_sites.h"

#include "main_window.h"
#include "platform/settings_store.h"
#include "editor/shared_routines.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

const QString kGroup = u"RecentSites"_s;

QString Key(int index)
{
    return u"file%1"_s.arg(index + 1);
}

// The path as the menu shows it: the home folder as "~", an "&" not taken as a mnemonic.
QString Shown(const QString& path)
{
    QString shown = QDir::toNativeSeparators(path);
    const QString home = QDir::homePath() + u'/';
    if (shown.startsWith(home))
        shown.replace(0, home.size() - 1, u"~"_s);
    return shown.replace(u'&', u"&&"_s);
}

} // namespace

RecentSites::RecentSites(FrmDips& window, QMenu& menu, SettingsStore& settings, Ui& ui)
    : QObject(&window), window_(window), settings_(settings), ui_(ui)
{
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString path = settings_.Get(kGroup, Key(i)).value_or(QString());
        if (!path.isEmpty() && !paths_.contains(path))
            paths_.append(path);
    }
    menu.addSeparator()->setObjectName(u"MnuRecentSep"_s);
    for (int i = 0; i < kMaxEntries; ++i) {
        QAction* entry = menu.addAction(QString());
        entry->setObjectName(u"MnuRecent%1"_s.arg(i + 1));
        connect(entry, &QAction::triggered, this, [this, i] { Open(i); });
        entries_.push_back(entry);
    }
    ShowEntries();
    connect(&window_, &FrmDips::SiteFileUsed, this, &RecentSites::Add);
}

void RecentSites::Add(const QString& path)
{
    paths_.removeAll(path);
    paths_.prepend(path);
    while (paths_.size() > kMaxEntries)
        paths_.removeLast();
    Store();
}

void RecentSites::Open(int index)
{
    if (index >= paths_.size())
        return;
    const QString path = paths_[index];
    if (!QFileInfo(path).isFile()) {
        paths_.removeAt(index);
        Store();
        ShowInfo(ui_, u"This file no longer exists:"_s + kCrLf + path + kCrLf +
                          u"It has been taken off the list of recent sites."_s);
        return;
    }
    window_.OpenSiteFile(path);
}

void RecentSites::Store()
{
    for (int i = 0; i < kMaxEntries; ++i) {
        if (i < paths_.size())
            settings_.Save(kGroup, Key(i), paths_[i]);
        else
            settings_.Remove(kGroup, Key(i));
    }
    ShowEntries();
}

void RecentSites::ShowEntries()
{
    for (int i = 0; i < kMaxEntries; ++i) {
        QAction* entry = entries_[static_cast<std::size_t>(i)];
        const bool used = i < paths_.size();
        entry->setVisible(used);
        entry->setText(used ? u"&%1 %2"_s.arg(i + 1).arg(Shown(paths_[i])) : QString());
        entry->setData(used ? paths_[i] : QString());
    }
}

} // namespace mr640

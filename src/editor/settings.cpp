#include "settings.h"

#include "platform/settings_store.h"

#include <cmath>

#include <QCoreApplication>
#include <QDir>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

const QString kDirectories = u"Directories"_s;
const QString kFormSize = u"FormSize"_s;

float StoredNumber(const SettingsStore& store, const QString& key, float fallback)
{
    bool ok = false;
    const float value = store.Get(kFormSize, key).value_or(QString()).trimmed().toFloat(&ok);
    return ok ? value : fallback;
}

QString NumberText(float value)
{
    // Whole numbers as plain digits ("9375", never "1e+06"); others as the shortest text
    // that reads back as the same single-precision value.
    if (std::trunc(value) == value && std::fabs(value) < 1e15f)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

QString DefaultSiteDirectory()
{
    return QDir::homePath() + u'/';
}

DirectorySettings LoadDirectories(const SettingsStore& store)
{
    DirectorySettings d;
    d.filePath = store.Get(kDirectories, u"filePath"_s).value_or(DefaultSiteDirectory());
    d.cfPath = store.Get(kDirectories, u"cfPath"_s).value_or(DefaultSiteDirectory());
    d.insPath = store.Get(kDirectories, u"insPath"_s).value_or(QCoreApplication::applicationDirPath());
    return d;
}

void SaveDirectories(SettingsStore& store, const DirectorySettings& directories)
{
    store.Save(kDirectories, u"filePath"_s, directories.filePath);
    store.Save(kDirectories, u"cfPath"_s, directories.cfPath);
    store.Save(kDirectories, u"insPath"_s, directories.insPath);
}

WindowPlacement LoadWindowPlacement(const SettingsStore& store)
{
    const WindowPlacement defaults;
    return {StoredNumber(store, u"top"_s, defaults.top), StoredNumber(store, u"left"_s, defaults.left),
            StoredNumber(store, u"height"_s, defaults.height)};
}

void SaveWindowPlacement(SettingsStore& store, const WindowPlacement& placement)
{
    store.Save(kFormSize, u"top"_s, NumberText(placement.top));
    store.Save(kFormSize, u"left"_s, NumberText(placement.left));
    store.Save(kFormSize, u"height"_s, NumberText(placement.height));
}

} // namespace mr640

#include "settings_store.h"

#include <QEvent>
#include <QStringList>

namespace mr640 {

using namespace Qt::StringLiterals;

SettingsStore::SettingsStore()
    : settings_(QSettings::IniFormat, QSettings::UserScope, u"MR640Config"_s, u"MR640Config"_s)
{
}

SettingsStore::DeferredSync::DeferredSync(QSettings& settings) : settings_(settings)
{
    constexpr int kDelayMs = 500;
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, [this] { settings_.sync(); });
    settings_.installEventFilter(this);
}

bool SettingsStore::DeferredSync::eventFilter(QObject*, QEvent* event)
{
    if (event->type() != QEvent::UpdateRequest)
        return false;
    if (!timer_.isActive())
        timer_.start();
    return true;
}

std::optional<QString> SettingsStore::Get(const QString& section, const QString& key) const
{
    const QString name = section + u'/' + key;
    if (!settings_.contains(name))
        return std::nullopt;
    const QVariant value = settings_.value(name);
    // An unquoted text with commas, typed into the file by hand, reads as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

void SettingsStore::Save(const QString& section, const QString& key, const QString& value)
{
    settings_.setValue(section + u'/' + key, value);
}

void SettingsStore::Remove(const QString& section, const QString& key)
{
    settings_.remove(section + u'/' + key);
}

QStringList SettingsStore::Keys(const QString& section) const
{
    // QSettings lists the keys of its current group only; the store stays at the top.
    settings_.beginGroup(section);
    const QStringList keys = settings_.childKeys();
    settings_.endGroup();
    return keys;
}

bool SettingsStore::Flush()
{
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

} // namespace mr640

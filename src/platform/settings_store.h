#pragma once

#include <QSettings>
#include <QString>

#include <optional>

namespace mr640 {

// The per-user settings store: ~/.config/MR640Config/MR640Config.ini, values kept as
// texts by section and key.
class SettingsStore
{
public:
    SettingsStore();

    // The stored text, or std::nullopt when the entry is absent (a stored empty text is
    // returned as such).
    std::optional<QString> Get(const QString& section, const QString& key) const;
    void Save(const QString& section, const QString& key, const QString& value);
    void Remove(const QString& section, const QString& key);
    // Writes what was saved to the file; false when the store could not be written.
    bool Flush();
    QString FileName() const { return settings_.fileName(); }

private:
    QSettings settings_;
};

} // namespace mr640

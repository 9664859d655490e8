#pragma once

#include <QSettings>
#include <QString>
#include <QTimer>
#include <QStringList>

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
    // The keys of a section, in the store's order.
    QStringList Keys(const QString& section) const;
    // Writes what was saved to the file; false when the store could not be written.
    bool Flush();
    QString FileName() const { return settings_.fileName(); }

private:
    // QSettings writes its file at the next turn of the event loop after a change, and the
    // write waits for the disk. This holds that write back a moment, so the changes of one
    // command are written together, after the window has shown its result.
    class DeferredSync : public QObject
    {
    public:
        explicit DeferredSync(QSettings& settings);
        bool eventFilter(QObject* watched, QEvent* event) override;

    private:
        QSettings& settings_;
        QTimer timer_;
    };

    mutable QSettings settings_; // Keys() visits a group and comes back
    DeferredSync sync_{settings_};
};

} // namespace mr640

#pragma once

#include <QString>

namespace mr640 {

class SettingsStore;

// The engineer who records versions: the author and committer of each.
struct Author
{
    QString name;
    QString email;

    friend bool operator==(const Author&, const Author&) = default;
};

// git's user.name and user.email as they apply to the library holding path (its
// repository's configuration, then the user's and the system's; the user's and the
// system's alone when no repository holds it). Either may be empty: the default the window
// offers when it asks for the engineer once.
Author GitAuthor(const QString& path);

// The engineer the settings name (section "Author", keys "Name" and "Email"), the
// fromSettings of ResolveAuthor; either is empty where the settings keep none.
Author SettingsAuthor(const SettingsStore& settings);

// The author of versions recorded in the library holding path: each of fromSettings's
// name and e-mail where set, else git's. Throws HistoryError naming what is missing
// ("no author e-mail: ...").
Author ResolveAuthor(const Author& fromSettings, const QString& path);

} // namespace mr640

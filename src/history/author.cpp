#include "author.h"

#include "library.h"
#include "platform/settings_store.h"

#include <QStringList>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

QString ConfigText(git_config* config, const char* name)
{
    git::Buf value;
    return git_config_get_string_buf(&value.buf, config, name) == 0 ? git::Text(value.buf.ptr)
                                                                    : QString();
}

} // namespace

Author GitAuthor(const QString& path)
{
    git::Start();
    git::Config config;
    if (const std::unique_ptr<Library> library = OpenLibrary(path)) {
        config = git::Take<git::Config>(git_repository_config_snapshot, library->get());
    } else {
        const auto defaults = git::Take<git::Config>(git_config_open_default);
        config = git::Take<git::Config>(git_config_snapshot, defaults.get());
    }
    return {ConfigText(config.get(), "user.name"), ConfigText(config.get(), "user.email")};
}

Author SettingsAuthor(const SettingsStore& settings)
{
    return {settings.Get(u"Author"_s, u"Name"_s).value_or(QString()),
            settings.Get(u"Author"_s, u"Email"_s).value_or(QString())};
}

Author ResolveAuthor(const Author& fromSettings, const QString& path)
{
    const auto unset = [](const QString& text) { return text.trimmed().isEmpty(); };
    Author author = fromSettings;
    if (unset(author.name) || unset(author.email)) {
        const Author git = GitAuthor(path);
        if (unset(author.name))
            author.name = git.name;
        if (unset(author.email))
            author.email = git.email;
    }
    QStringList missing;
    QStringList keys;
    if (unset(author.name)) {
        missing.append(u"name"_s);
        keys.append(u"user.name"_s);
    }
    if (unset(author.email)) {
        missing.append(u"e-mail"_s);
        keys.append(u"user.email"_s);
    }
    if (!missing.isEmpty()) {
        throw HistoryError(u"no author %1: give it in the settings or set git's %2"_s.arg(
            missing.join(u" and "_s), keys.join(u" and "_s)));
    }
    return author;
}

} // namespace mr640

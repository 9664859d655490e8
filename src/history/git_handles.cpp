#include "git_handles.h"

namespace mr640::git {

using namespace Qt::StringLiterals;

void Start()
{
    // libgit2 counts its starts; one for the program's lifetime, never shut down, as the
    // handles of a window may live until the end.
    static const int started = [] {
        const int count = git_libgit2_init();
        // As for git, GIT_CONFIG_NOSYSTEM leaves the system's configuration unread.
        const QByteArray noSystem = qgetenv("GIT_CONFIG_NOSYSTEM").toLower();
        if (!noSystem.isEmpty() && noSystem != "0" && noSystem != "false" && noSystem != "no" &&
            noSystem != "off")
            git_libgit2_opts(GIT_OPT_SET_SEARCH_PATH, GIT_CONFIG_LEVEL_SYSTEM, "");
        return count;
    }();
    static_cast<void>(started);
}

int Check(int result)
{
    if (result >= 0)
        return result;
    const git_error* last = git_error_last();
    const QString message = last && last->message ? Text(last->message) : u"error %1"_s.arg(result);
    const int kind = last ? last->klass : GIT_ERROR_NONE;
    if (result == GIT_ELOCKED)
        throw HistoryError(u"the repository is locked by another git program (%1)"_s.arg(message));
    if (result == GIT_ENOTFOUND && kind == GIT_ERROR_ODB)
        throw HistoryError(u"the repository is missing objects (%1)"_s.arg(message));
    if (kind == GIT_ERROR_ODB || kind == GIT_ERROR_ZLIB || kind == GIT_ERROR_OBJECT)
        throw HistoryError(u"the repository is damaged (%1)"_s.arg(message));
    throw HistoryError(message);
}

QString Hex(const git_oid& id)
{
    char hex[GIT_OID_HEXSZ + 1];
    git_oid_tostr(hex, sizeof hex, &id);
    return QString::fromLatin1(hex);
}

git_oid Oid(const QString& hex)
{
    git_oid id;
    Check(git_oid_fromstr(&id, hex.toLatin1().constData()));
    return id;
}

QString ShortHex(const git_oid& id)
{
    return Hex(id).left(7);
}

} // namespace mr640::git

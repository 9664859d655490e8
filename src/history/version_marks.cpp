// Marks on versions: annotated tags for issued versions, git note lines for exports to
// cards.

#include "library.h"
#include "version_summary.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <map>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

constexpr char kIssuedTags[] = "refs/tags/issued/";

QString FirstLine(const char* text)
{
    return git::Text(text).section(u'\n', 0, 0).trimmed();
}

// The marks of the versions asked about, by commit id.
using MarksById = std::map<QString, std::vector<VersionMark>>;

// What a walk over the tags or the notes adds marks to. An error is kept to be thrown once
// libgit2's C frames are left.
struct MarkWalk
{
    git_repository* repository;
    MarksById marks;
    std::optional<HistoryError> error;
};

int AddTag(const char* name, git_oid* id, void* payload)
{
    MarkWalk& walk = *static_cast<MarkWalk*>(payload);
    git_object* raw = nullptr;
    if (git_object_lookup(&raw, walk.repository, id, GIT_OBJECT_ANY) < 0)
        return 0; // a tag whose object is gone marks nothing
    const git::Object named(raw);
    git_object* peeled = nullptr;
    if (git_object_peel(&peeled, named.get(), GIT_OBJECT_COMMIT) < 0)
        return 0;
    const git::Object commit(peeled);
    const auto found = walk.marks.find(git::Hex(*git_object_id(commit.get())));
    if (found == walk.marks.end())
        return 0;
    VersionMark mark;
    mark.name = git::Text(name).mid(std::strlen("refs/tags/"));
    mark.kind = VersionMark::Kind::Tag;
    if (git_object_type(named.get()) == GIT_OBJECT_TAG) {
        const auto* tag = reinterpret_cast<const git_tag*>(named.get());
        mark.text = FirstLine(git_tag_message(tag));
        if (const git_signature* tagger = git_tag_tagger(tag))
            mark.when = TimeOf(tagger->when);
        if (std::strncmp(name, kIssuedTags, std::strlen(kIssuedTags)) == 0)
            mark.kind = VersionMark::Kind::Issued;
    }
    found->second.push_back(std::move(mark));
    return 0;
}

// "Exported to card at PATH on 2026-12-01 14:02": the card's line as a mark with its time.
VersionMark MarkOfNoteLine(const QString& line)
{
    static const QRegularExpression exported(
        u"^(Exported to card at .*) on (\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d)$"_s);
    if (const QRegularExpressionMatch match = exported.match(line); match.hasMatch()) {
        const QDateTime when = QDateTime::fromString(match.captured(2), u"yyyy-MM-dd HH:mm"_s);
        if (when.isValid())
            return {VersionMark::Kind::Exported, match.captured(1), when, {}};
    }
    return {VersionMark::Kind::Note, line, {}, {}};
}

int AddNote(const git_oid* blob, const git_oid* annotated, void* payload)
{
    MarkWalk& walk = *static_cast<MarkWalk*>(payload);
    const auto found = walk.marks.find(git::Hex(*annotated));
    if (found == walk.marks.end())
        return 0;
    try {
        const QString text = QString::fromUtf8(BlobBytes(walk.repository, *blob));
        for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
            found->second.push_back(MarkOfNoteLine(line.trimmed()));
    } catch (const HistoryError& error) {
        walk.error = error;
        return GIT_EUSER;
    }
    return 0;
}

// The file's name without its ending, as a tag's name can hold it: other characters become
// "-"; "site" when nothing is left.
QString TagStem(const QString& pathInLibrary)
{
    QString stem = QFileInfo(pathInLibrary).completeBaseName();
    for (QChar& c : stem) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u'-' || c == u'_';
        if (!plain)
            c = u'-';
    }
    return stem.isEmpty() ? u"site"_s : stem;
}

} // namespace

QString MarkText(const VersionMark& mark)
{
    const QString text = mark.text.isEmpty() ? QString() : u": "_s + mark.text;
    switch (mark.kind) {
    case VersionMark::Kind::Issued:
        return u"Issued ("_s + mark.name + u')' + text;
    case VersionMark::Kind::Exported:
        return mark.text + u" on "_s + VersionTimeText(mark.when);
    case VersionMark::Kind::Tag:
        return u"Tag "_s + mark.name + text;
    case VersionMark::Kind::Note:
        break;
    }
    return mark.text;
}

QString MarksText(const SiteVersion& version)
{
    QStringList marks;
    if (version.removed)
        marks.append(u"Removed the site"_s);
    for (const VersionMark& mark : version.marks)
        marks.append(MarkText(mark));
    return marks.join(u"; "_s);
}

void AttachMarks(git_repository* repository, std::vector<SiteVersion>& versions)
{
    MarkWalk walk{repository, {}, {}};
    for (const SiteVersion& version : versions)
        walk.marks[version.id];
    git::Check(git_tag_foreach(repository, AddTag, &walk));
    const int noted = git_note_foreach(repository, nullptr, AddNote, &walk);
    if (walk.error)
        throw *walk.error;
    if (noted != GIT_ENOTFOUND) // no note was ever made
        git::Check(noted);
    for (SiteVersion& version : versions) {
        std::vector<VersionMark>& mine = walk.marks[version.id];
        std::stable_sort(mine.begin(), mine.end(), [](const VersionMark& a, const VersionMark& b) {
            return a.kind == VersionMark::Kind::Issued && b.kind != VersionMark::Kind::Issued;
        });
        version.marks = std::move(mine);
    }
}

QString SiteHistory::MarkIssued(const QString& revision, const QString& text, const Author& author)
{
    return AboutSite(sitePath_, revision, [&] {
        git_repository* repository = library_->get();
        const git_oid id = git::Oid(At(revision).id); // a version that holds the site
        const auto commit =
            git::Take<git::Object>(git_object_lookup, repository, &id, GIT_OBJECT_COMMIT);
        const QString prefix = u"issued/"_s + TagStem(pathInLibrary_) + u'/';
        QString name;
        for (int n = 1; name.isEmpty(); ++n) {
            const QString candidate = prefix + QString::number(n);
            git_oid existing;
            if (git_reference_name_to_id(&existing, repository,
                                         ("refs/tags/"_ba + candidate.toUtf8()).constData()) < 0)
                name = candidate;
        }
        const QString line = text.simplified().isEmpty() ? u"Issued"_s : text.simplified();
        git_oid tag;
        git::Check(git_tag_create(&tag, repository, name.toUtf8().constData(), commit.get(),
                                  SignatureOf(author).get(), (line + u'\n').toUtf8().constData(),
                                  0));
        return name;
    });
}

QString SiteHistory::MarkExported(const QByteArray& exported, const QString& cardPath,
                                  const Author& author, const QDateTime& when)
{
    return AboutSite(sitePath_, {}, [&] {
        git_repository* repository = library_->get();
        const SiteVersion last = Versions(1).front();
        if (last.removed || At(last.id).bytes != exported) {
            throw HistoryError(
                u"what went to the card is not the site's last recorded version (%1)"_s.arg(
                    last.shortId));
        }
        const git_oid id = git::Oid(last.id);
        QByteArray note;
        git_note* raw = nullptr;
        const int read = git_note_read(&raw, repository, nullptr, &id);
        if (read != GIT_ENOTFOUND) {
            git::Check(read);
            const git::Note existing(raw);
            note = git_note_message(existing.get());
            if (!note.isEmpty() && !note.endsWith('\n'))
                note += '\n';
        }
        note += (u"Exported to card at "_s + cardPath + u" on "_s + VersionTimeText(when) + u'\n')
                    .toUtf8();
        const git::Signature signature = SignatureOf(author);
        git_oid made;
        git::Check(git_note_create(&made, repository, nullptr, signature.get(), signature.get(),
                                   &id, note.constData(), 1));
        return last.id;
    });
}

} // namespace mr640

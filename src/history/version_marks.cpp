// Marks on versions: annotated tags for issued versions, git note lines for exports to
// cards.

#include "library.h"
#include "version_summary.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

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

struct TagWalk
{
    git_repository* repository;
    MarksById* marks;
};

int AddTag(const char* name, git_oid* id, void* payload)
{
    const TagWalk& walk = *static_cast<TagWalk*>(payload);
    git_object* raw = nullptr;
    if (git_object_lookup(&raw, walk.repository, id, GIT_OBJECT_ANY) < 0)
        return 0; // a tag whose object is gone marks nothing
    const git::Object named(raw);
    git_object* peeled = nullptr;
    if (git_object_peel(&peeled, named.get(), GIT_OBJECT_COMMIT) < 0)
        return 0;
    const git::Object commit(peeled);
    const auto found = walk.marks->find(git::Hex(*git_object_id(commit.get())));
    if (found == walk.marks->end())
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

struct NoteWalk
{
    git_repository* repository;
    MarksById* marks;
};

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
    const NoteWalk& walk = *static_cast<NoteWalk*>(payload);
    const auto found = walk.marks->find(git::Hex(*annotated));
    if (found == walk.marks->end())
        return 0;
    const QString text = QString::fromUtf8(BlobBytes(walk.repository, *blob));
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
        found->second.push_back(MarkOfNoteLine(line.trimmed()));
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

void AttachMarks(git_repository* repository, std::vector<SiteVersion>& versions)
{
    MarksById marks;
    for (const SiteVersion& version : versions)
        marks[version.id];
    TagWalk tags{repository, &marks};
    git::Check(git_tag_foreach(repository, AddTag, &tags));
    NoteWalk notes{repository, &marks};
    const int noted = git_note_foreach(repository, nullptr, AddNote, &notes);
    if (noted != GIT_ENOTFOUND) // no note was ever made
        git::Check(noted);
    for (SiteVersion& version : versions) {
        std::vector<VersionMark>& mine = marks[version.id];
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
        const git::Commit commit = VersionNamed(repository, revision);
        const auto tree = git::Take<git::Tree>(git_commit_tree, commit.get());
        if (!EntryAt(tree.get(), QFile::encodeName(pathInLibrary_))) {
            throw HistoryError(u"the site did not exist in that version (%1)"_s.arg(
                git::ShortHex(*git_commit_id(commit.get()))));
        }
        const QString prefix = u"issued/"_s + TagStem(pathInLibrary_) + u'/';
        QString name;
        for (int n = 1; name.isEmpty(); ++n) {
            const QString candidate = prefix + QString::number(n);
            git_oid existing;
            if (git_reference_name_to_id(&existing, repository,
                                         ("refs/tags/"_ba + candidate.toUtf8()).constData()) < 0)
                name = candidate;
        }
        const auto tagger = SignatureOf(author);
        const QString line = text.simplified().isEmpty() ? u"Issued"_s : text.simplified();
        git_oid tag;
        git::Check(git_tag_create(&tag, repository, name.toUtf8().constData(),
                                  reinterpret_cast<const git_object*>(commit.get()), tagger.get(),
                                  (line + u'\n').toUtf8().constData(), 0));
        return name;
    });
}

QString SiteHistory::MarkExported(const QByteArray& exported, const QString& cardPath,
                                  const Author& author, const QDateTime& when)
{
    return AboutSite(sitePath_, {}, [&] {
        git_repository* repository = library_->get();
        const SiteVersion last = Versions(1).front();
        git_oid lastId;
        git::Check(git_oid_fromstr(&lastId, last.id.toLatin1().constData()));
        git_oid sent;
        git::Check(git_odb_hash(&sent, exported.constData(), static_cast<size_t>(exported.size()),
                                GIT_OBJECT_BLOB));
        const auto commit = git::Take<git::Commit>(git_commit_lookup, repository, &lastId);
        const auto tree = git::Take<git::Tree>(git_commit_tree, commit.get());
        const std::optional<FileEntry> entry =
            EntryAt(tree.get(), QFile::encodeName(pathInLibrary_));
        if (!entry || !git_oid_equal(&entry->id, &sent)) {
            throw HistoryError(
                u"what went to the card is not the site's last recorded version (%1)"_s.arg(
                    last.shortId));
        }
        QByteArray note;
        git_note* raw = nullptr;
        const int read = git_note_read(&raw, repository, nullptr, &lastId);
        if (read != GIT_ENOTFOUND) {
            git::Check(read);
            const git::Note existing(raw);
            note = git_note_message(existing.get());
            if (!note.isEmpty() && !note.endsWith('\n'))
                note += '\n';
        }
        note += (u"Exported to card at "_s + cardPath + u" on "_s + VersionTimeText(when) + u'\n')
                    .toUtf8();
        const auto signature = SignatureOf(author);
        git_oid made;
        git::Check(git_note_create(&made, repository, nullptr, signature.get(), signature.get(),
                                   &lastId, note.constData(), 1));
        return last.id;
    });
}

} // namespace mr640

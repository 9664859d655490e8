#include "site_history.h"

#include "files/file_format.h"
#include "library.h"
#include "version_summary.h"

#include <QFile>

namespace mr640 {

using namespace Qt::StringLiterals;

SiteHistory::SiteHistory(std::unique_ptr<Library> library, QString sitePath, QString pathInLibrary)
    : library_(std::move(library)), sitePath_(std::move(sitePath)),
      pathInLibrary_(std::move(pathInLibrary))
{
}

SiteHistory::SiteHistory(SiteHistory&&) noexcept = default;
SiteHistory& SiteHistory::operator=(SiteHistory&&) noexcept = default;
SiteHistory::~SiteHistory() = default;

std::optional<SiteHistory> SiteHistory::Find(const QString& sitePath)
{
    return AboutSite(sitePath, {}, [&]() -> std::optional<SiteHistory> {
        std::unique_ptr<Library> library = OpenLibrary(sitePath);
        if (!library)
            return std::nullopt;
        QString inside = PlaceInLibrary(*library, sitePath);
        return SiteHistory(std::move(library), sitePath, std::move(inside));
    });
}

SiteHistory SiteHistory::Open(const QString& sitePath)
{
    std::optional<SiteHistory> history = Find(sitePath);
    if (!history) {
        HistoryError error(u"the site is in no site library: no git repository holds its folder"_s);
        error.About(sitePath, {});
        throw error;
    }
    return std::move(*history);
}

QString SiteHistory::LibraryFolder() const
{
    return library_->folder;
}

RecordOutcome SiteHistory::Record(const QByteArray& bytes, const Author& author,
                                  const RecordOptions& options)
{
    return AboutSite(sitePath_, {}, [&] {
        git_repository* repository = library_->get();
        const QByteArray path = QFile::encodeName(pathInLibrary_);
        const FileFormat format = FileFormatOf(sitePath_);
        const BranchTip tip = CurrentBranch(repository);
        const std::optional<FileEntry> previous =
            tip.tree ? EntryAt(tip.tree.get(), path) : std::nullopt;
        // The version this history recorded last is at hand; any other is read.
        std::optional<RecordedSite>& last = library_->lastRecorded;
        if (!previous) {
            last.reset();
        } else if (!last || !git_oid_equal(&last->blob, &previous->id)) {
            const QByteArray before = BlobBytes(repository, previous->id);
            last = RecordedSite{previous->id, before, ReadSiteBytes(before, format)};
        }
        if (last && last->bytes == bytes)
            return RecordOutcome{};

        std::optional<std::vector<ChannelRow>> rows = ReadSiteBytes(bytes, format);
        if (!rows)
            throw HistoryError(u"the file holds no site this program reads"_s);
        RecordOutcome outcome{true, {}, {}};
        if (options.restoredFrom)
            outcome.summary = RestoredSummary(*options.restoredFrom);
        else if (last && last->rows) // a previous version no reader takes counts as none
            outcome.summary = ChangeSummary(*last->rows, *rows);
        else
            outcome.summary = NewSiteSummary(*rows);
        QString message = outcome.summary + u'\n';
        if (const QString description = options.description.trimmed(); !description.isEmpty())
            message += u'\n' + description + u'\n';
        const CommittedFile committed = CommitFile(*library_, tip, path, bytes, author, message);
        outcome.id = git::Hex(committed.commit);
        last = RecordedSite{committed.blob, bytes, std::move(rows)};
        return outcome;
    });
}

std::optional<SiteRevision> SplitSiteRevision(const QString& argument)
{
    for (qsizetype at = argument.indexOf(u'@'); at >= 0; at = argument.indexOf(u'@', at + 1)) {
        const QString site = argument.left(at);
        if (FileFormatOf(site) != FileFormat::None)
            return SiteRevision{site, argument.mid(at + 1)};
    }
    return std::nullopt;
}

} // namespace mr640

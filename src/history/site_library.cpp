#include "site_library.h"

#include "files/file_format.h"
#include "library.h"
#include "platform/save_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace mr640 {

using namespace Qt::StringLiterals;

QByteArray LibraryAttributes()
{
    return "# Sites of MR640Config: kept byte for byte, compared and merged field by field.\n"
           "*.dip -text diff=mr640config merge=mr640config\n"
           "*.csv -text\n"_ba;
}

LibraryMade KeepHistory(const QString& folder, const Author& author)
{
    return AboutSite(folder, {}, [&] {
        LibraryMade made;
        std::unique_ptr<Library> library = OpenLibrary(folder);
        if (!library) {
            git::Start();
            git::Take<git::Repository>(git_repository_init, QFile::encodeName(folder).constData(),
                                       0u);
            library = OpenLibrary(folder);
            made.created = true;
        }
        made.folder = library->folder;

        const QString attributes = QDir(folder).filePath(u".gitattributes"_s);
        if (!QFileInfo::exists(attributes)) {
            const BranchTip tip = CurrentBranch(library->get()); // a detached HEAD writes nothing
            QString error;
            if (!SaveFileAtomically(attributes, LibraryAttributes(), &error))
                throw HistoryError(u"%1 could not be written: %2"_s.arg(attributes, error));
            try {
                CommitFile(*library, tip, QFile::encodeName(PlaceInLibrary(*library, attributes)),
                           LibraryAttributes(), author,
                           u"Keep the history of the sites in this folder\n"_s);
            } catch (const HistoryError&) {
                QFile::remove(attributes);
                throw;
            }
        }

        const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
        for (const QFileInfo& file : files) {
            if (FileFormatOf(file.fileName()) == FileFormat::None)
                continue;
            try {
                QFile site(file.filePath());
                if (!site.open(QIODevice::ReadOnly))
                    throw HistoryError(site.errorString());
                const QByteArray bytes = site.readAll();
                SiteHistory history = SiteHistory::Open(file.filePath());
                if (history.Record(bytes, author).recorded)
                    made.recorded.append(history.PathInLibrary());
            } catch (const HistoryError& error) {
                made.problems.append(file.fileName() + u": "_s + error.Reason());
            }
        }
        return made;
    });
}

} // namespace mr640

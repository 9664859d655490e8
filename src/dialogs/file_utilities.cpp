#include "file_utilities.h"

#include "editor/shared_routines.h"
#include "platform/ui.h"

#include <QDir>
#include <QFile>

#include <filesystem>
#include <system_error>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

std::filesystem::path NativePath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString NameOf(const std::filesystem::directory_entry& entry)
{
    return QFile::decodeName(QByteArray::fromStdString(entry.path().filename().native()));
}

// A missing path, or one that runs through a plain file, simply holds nothing.
bool HoldsNothing(const std::error_code& error)
{
    return error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory;
}

void ReportListingError(Ui& ui, const QString& path, const std::error_code& error)
{
    ui.ShowMessage({u"Error while getting subdirectories."_s + kCrLf + path + kCrLf
                        + QString::fromStdString(error.message()),
                    MessageIcon::Exclamation, MessageButtons::Ok, QString()});
}

} // namespace

QStringList GetSubDirectories(const QString& path, Ui& ui)
{
    QStringList names{QString()};
    const QString folder = path + u"/"_s;
    // Qt's listing cannot tell a directory that fails to open from an empty one, nor say
    // why; the standard library's can.
    std::error_code error;
    std::filesystem::directory_iterator entries(NativePath(folder), error);
    if (error) {
        if (!HoldsNothing(error))
            ReportListingError(ui, path, error);
        return names;
    }
    // Every entry is tested, "." and ".." included (a listing delivers them first), so
    // the current directory ends where the whole sequence of tests leaves it.
    IsDirectory(folder + u"."_s);
    IsDirectory(folder + u".."_s);
    for (const std::filesystem::directory_iterator end; entries != end; entries.increment(error)) {
        const QString name = NameOf(*entries);
        if (!name.startsWith(u'.') && IsDirectory(folder + name))
            names.append(name);
    }
    if (error)
        ReportListingError(ui, path, error);
    return names;
}

bool IsDirectory(const QString& path)
{
    return !path.isEmpty() && QDir::setCurrent(path);
}

void DeleteFileQuietly(const QString& path)
{
    QFile::remove(path);
}

} // namespace mr640

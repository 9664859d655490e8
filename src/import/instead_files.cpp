#include "instead_files.h"

#include "editor/shared_routines.h"
#include "file_exists.h"
#include "platform/ui.h"
#include "platform/windows1252.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <array>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// What follows the site name in a site record: runs of texts, each run followed by a
// block of numbers of the given size.
struct SiteRecordRun
{
    int texts;
    int blockSize;
};
constexpr std::array<SiteRecordRun, 5> kRestOfSiteRecord{{{4, 6}, {2, 8}, {2, 8}, {1, 16}, {1, 0}}};

// What an allocation record holds besides the name and the contact flag: two texts
// between them and a 16-bit value after the flag.
constexpr int kUnusedTextsBeforeContact = 2;
constexpr int kUnusedValueSize = 2;

// Reads the items of a record file front to back. The files come from outside, so a
// count or a length is never trusted: memory grows only with the bytes that actually
// arrive, and the first item that runs past the end ends the reading.
class RecordReader
{
public:
    explicit RecordReader(QIODevice& device) : device_(device) {}

    // True once the data ended or failed: nothing more will be read.
    bool Stopped() const { return ended_ || failed_; }
    bool Failed() const { return failed_; }
    QString ErrorString() const { return device_.errorString(); }

    void Skip(qint64 size)
    {
        std::array<char, 1024> scratch;
        while (size > 0 && Read(scratch.data(), std::min<qint64>(size, scratch.size())))
            size -= std::min<qint64>(size, scratch.size());
    }

    std::int16_t ReadInt16()
    {
        char bytes[2];
        return Read(bytes, 2) ? qFromLittleEndian<std::int16_t>(bytes) : 0;
    }

    QString ReadText()
    {
        const qint64 length = ReadLength();
        QByteArray bytes;
        std::array<char, 1024> chunk;
        while (bytes.size() < length) {
            const qint64 part = std::min<qint64>(length - bytes.size(), chunk.size());
            if (!Read(chunk.data(), part))
                return {};
            bytes.append(chunk.data(), part);
        }
        return FromWindows1252(bytes);
    }

    void SkipText() { Skip(ReadLength()); }

private:
    qint64 ReadLength()
    {
        char bytes[2];
        return Read(bytes, 2) ? qFromLittleEndian<std::uint16_t>(bytes) : 0;
    }

    // All size bytes, or false; goes on after a short read until the data ends.
    bool Read(char* into, qint64 size)
    {
        qint64 total = 0;
        while (!Stopped() && total < size) {
            const qint64 got = device_.read(into + total, size - total);
            if (got < 0)
                failed_ = true;
            else if (got == 0)
                ended_ = true;
            else
                total += got;
        }
        return total == size;
    }

    QIODevice& device_;
    bool ended_ = false;
    bool failed_ = false;
};

bool Succeeded(const RecordReader& reader, QString* error)
{
    if (!reader.Failed())
        return true;
    if (error)
        *error = reader.ErrorString();
    return false;
}

void ReportLoadError(Ui& ui, const QString& sentence, MessageIcon icon, const QString& path,
                     const QString& description)
{
    ui.ShowMessage(
        {ErrorReport(sentence, path + kCrLf + description), icon, MessageButtons::Ok, QString()});
}

} // namespace

bool ReadSiteInfo(QIODevice& device, InsSiteInfo& site, QString* error)
{
    RecordReader reader(device);
    reader.Skip(kSiteInfoHeaderSize);
    if (reader.Failed())
        return Succeeded(reader, error);
    site = InsSiteInfo();
    site.Name = reader.ReadText();
    for (const SiteRecordRun& run : kRestOfSiteRecord) {
        for (int i = 0; i < run.texts; ++i)
            reader.SkipText();
        reader.Skip(run.blockSize);
    }
    return Succeeded(reader, error);
}

void LoadSiteInfo(const QString& siteDir, InsSiteInfo& site, Ui& ui)
{
    const QString path = siteDir + u"/SiteInfo.cfg"_s;
    if (!FileExists(path))
        return;
    QFile file(path);
    QString error;
    if (file.open(QIODevice::ReadOnly) && ReadSiteInfo(file, site, &error)) {
        file.close();
        site.CfgDir = siteDir;
        return;
    }
    if (error.isEmpty())
        error = file.errorString();
    file.close();
    ReportLoadError(ui, u"Could not load site info file."_s, MessageIcon::Exclamation, path, error);
}

bool ReadDigitalChannels(QIODevice& device, std::vector<InsDChannel>& allocations, QString* error)
{
    allocations.clear();
    RecordReader reader(device);
    reader.Skip(kDChannelHeaderSize);
    const std::int16_t count = reader.ReadInt16();
    // The count is 16-bit, so even a file that holds far fewer records costs at most
    // 32767 empty records, none of them holding text.
    allocations.resize(static_cast<std::size_t>(std::max<std::int16_t>(count, 0)));
    for (InsDChannel& allocation : allocations) {
        if (reader.Stopped())
            break;
        allocation.Name = reader.ReadText();
        for (int i = 0; i < kUnusedTextsBeforeContact; ++i)
            reader.SkipText();
        allocation.BackContact = reader.ReadInt16();
        reader.Skip(kUnusedValueSize);
    }
    return Succeeded(reader, error);
}

std::vector<InsDChannel> LoadDigitalChannels(const QString& siteDir, Ui& ui)
{
    std::vector<InsDChannel> allocations;
    const QString path = siteDir + u"/DChannel.cfg"_s;
    if (!FileExists(path))
        return allocations;
    QFile file(path);
    QString error;
    if (file.open(QIODevice::ReadOnly) && ReadDigitalChannels(file, allocations, &error))
        return allocations;
    if (error.isEmpty())
        error = file.errorString();
    file.close();
    ReportLoadError(ui, u"Could not load digital channel allocations file."_s,
                    MessageIcon::Information, path, error);
    return allocations;
}

} // namespace mr640

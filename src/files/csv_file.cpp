#include "csv_file.h"

#include "editor/channel_count.h"
#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "platform/save_file.h"
#include "platform/ui.h"
#include "platform/windows1252.h"

#include <QFile>

#include <algorithm>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

constexpr int kNameWidth = 16;
constexpr qsizetype kShownLineLength = 64;
constexpr qint64 kChunkSize = 64 * 1024;

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// Serves the lines of a device one at a time, without their line ends. CR LF, a lone
// CR and a lone LF each end a line; a last line without a line end still counts, but a
// line end at the very end of the data opens no empty line after it. The device is read
// in chunks, so only the line being assembled is held, however long the data.
class LineReader
{
public:
    enum class Next { Line, End, Error };

    explicit LineReader(QIODevice& device) : device_(device) {}

    Next Read(QByteArray& line)
    {
        line.clear();
        for (;;) {
            if (pos_ == buffer_.size()) {
                const Next refilled = Refill();
                if (refilled == Next::Error)
                    return Next::Error;
                if (refilled == Next::End)
                    return line.isEmpty() ? Next::End : Next::Line;
            }
            // The LF of a CR LF may arrive in the chunk after its CR.
            if (lfMayFollow_) {
                lfMayFollow_ = false;
                if (buffer_[pos_] == '\n') {
                    ++pos_;
                    continue;
                }
            }
            const char* begin = buffer_.constData() + pos_;
            const char* end = buffer_.constData() + buffer_.size();
            const char* stop = std::find_if(begin, end, [](char c) { return c == '\r' || c == '\n'; });
            line.append(begin, stop - begin);
            pos_ += stop - begin;
            if (stop != end) {
                lfMayFollow_ = *stop == '\r';
                ++pos_;
                return Next::Line;
            }
        }
    }

private:
    Next Refill()
    {
        buffer_.resize(kChunkSize);
        const qint64 got = device_.read(buffer_.data(), kChunkSize);
        buffer_.resize(std::max<qint64>(got, 0));
        pos_ = 0;
        if (got < 0)
            return Next::Error;
        return got == 0 ? Next::End : Next::Line;
    }

    QIODevice& device_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool lfMayFollow_ = false;
};

CsvVerdict Ask(Ui& ui, const QString& text, CsvVerdict onOk)
{
    // The prompts carry no title of their own: the box shows the application name.
    const MessageButton answer =
        ui.ShowMessage({text, MessageIcon::Question, MessageButtons::OkCancel, QString()});
    return answer == MessageButton::Ok ? onOk : CsvVerdict::Abort;
}

QString Quoted(QStringView text)
{
    return u'"' + text.toString() + u'"';
}

// Character by character, so the text keeps its length ("ß" stays one character).
QString UpperCased(QStringView text)
{
    QString upper;
    upper.reserve(text.size());
    for (QChar c : text)
        upper.append(c.toUpper());
    return upper;
}

// The relay name a line stores: trimmed, and every way of writing "spare" becomes the
// program's own spare name for the channel.
QString StoredName(const QString& field, int channel)
{
    const QString name = TrimSpaces(field);
    const QString upper = UpperCased(name);
    if (UpperCased(LeftCharacters(name, 5)) == u"SPARE"_s || upper == u"(SPARE)"_s || upper == u"SP"_s)
        return u"Spare "_s + ChannelIdFromNumber(channel);
    return name;
}

int RowCount(const std::vector<ChannelRow>& rows)
{
    return static_cast<int>(rows.size());
}

bool IsBackContact(const QStringList& fields)
{
    if (fields.size() < 4 || fields[3].isEmpty())
        return false;
    const QChar first = fields[3][0];
    return first == u'B' || first == u'b';
}

// Grows rows to hold channel by the table's own size rule, added rows getting their
// defaults; rows never grow beyond the maximum, so the channel may still lie beyond them.
void GrowFor(std::vector<ChannelRow>& rows, int channel, Ui& ui)
{
    ChannelTable sizing;
    sizing.ReplaceRows(std::move(rows));
    SetChannelCount(sizing, channel, FillAddedRows, ui);
    rows = sizing.Rows();
}

} // namespace

QByteArray EncodeCsv(const std::vector<ChannelRow>& rows)
{
    QString text;
    text.reserve(static_cast<qsizetype>(rows.size()) * 32);
    for (const ChannelRow& row : rows) {
        text += row.Chan;
        text += u',';
        text += LeftCharacters(row.relNam, kNameWidth);
        text += u',';
        text += row.back ? u"Back"_s : u"Front"_s;
        text += kCrLf;
    }
    return ToWindows1252(text);
}

bool WriteCsvFile(const QString& path, const ChannelTable& table, QString* error)
{
    QString reason;
    if (SaveFileAtomically(path, EncodeCsv(table.Rows()), &reason))
        return true;
    SetError(error, reason);
    return false;
}

CsvVerdict ParseCsvLine(const QString& line, const QStringList& fields, int& channel, int expected,
                        Ui& ui)
{
    if (fields.size() < 3) { // element 0 is unused
        return Ask(ui,
                   u"Not enough fields found in line:-"_s + kCrLf
                       + Quoted(LeftCharacters(line, kShownLineLength)) + kCrLf
                       + u"Continue loading?"_s,
                   CsvVerdict::Continue);
    }
    const std::optional<int> number = ChannelNumberFromId(fields[1]);
    if (!number)
        return CsvVerdict::Overflow;
    channel = *number;
    if (channel == 0) {
        return Ask(ui,
                   u"Invalid channel number found on line. "_s + kCrLf + Quoted(line) + kCrLf
                       + u"Continue loading?"_s,
                   CsvVerdict::Continue);
    }
    if (channel == expected)
        return CsvVerdict::Ok;
    return Ask(ui,
               u"Unexpected channel number."_s + kCrLf
                   + u"Expected %1 (%2), got %3 (%4)"_s.arg(ChannelIdFromNumber(expected))
                         .arg(expected)
                         .arg(ChannelIdFromNumber(channel))
                         .arg(channel)
                   + kCrLf + u"Continue loading?"_s,
               CsvVerdict::Ok);
}

CsvReadOutcome ReadCsv(QIODevice& device, ChannelTable& table, Ui& ui, QString* error)
{
    // The load works on a copy and hands it back on every way out, so the rows stored
    // so far are kept and the view refreshes once, not once per line.
    std::vector<ChannelRow> rows = table.Rows();
    const auto fail = [&](const QString& description) {
        table.ReplaceRows(std::move(rows));
        SetError(error, description);
        return CsvReadOutcome::Failed;
    };

    LineReader reader(device);
    QByteArray bytes;
    int expected = 1;
    int last = 0;
    int channel = 0;
    for (;;) {
        const LineReader::Next next = reader.Read(bytes);
        if (next == LineReader::Next::Error)
            return fail(device.errorString());
        if (next == LineReader::Next::End)
            break;
        const QString line = FromWindows1252(bytes);
        const QStringList fields = SplitFields(line, u',');
        const CsvVerdict verdict = ParseCsvLine(line, fields, channel, expected, ui);
        if (verdict == CsvVerdict::Overflow)
            return fail(OverflowDescription());
        if (verdict == CsvVerdict::Abort)
            break;
        if (verdict == CsvVerdict::Ok) {
            if (channel > RowCount(rows))
                GrowFor(rows, channel, ui);
            if (channel > RowCount(rows)) {
                ShowInfo(ui, u"This copy of MR640Config can handle a maximum of %1 channels."_s.arg(RowCount(rows)));
                break;
            }
            // A channel below 1, taken at the sequence prompt, has no row to go to.
            if (channel < 1)
                return fail(u"Channel %1 has no row in the table."_s.arg(channel));
            last = channel;
            ChannelRow& row = rows[static_cast<std::size_t>(last - 1)];
            row.relNam = StoredName(fields[2], last);
            row.back = IsBackContact(fields);
        }
        expected = last + 1;
    }
    table.ReplaceRows(std::move(rows));
    ShowInfo(ui, u"%1 channels imported"_s.arg(last));
    return CsvReadOutcome::Completed;
}

CsvReadOutcome ReadCsvFile(const QString& path, ChannelTable& table, Ui& ui, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, file.errorString());
        return CsvReadOutcome::Failed;
    }
    return ReadCsv(file, table, ui, error);
}

} // namespace mr640

#include "csv_file.h"

#include "editor/channel_count.h"
#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "platform/save_file.h"
#include "platform/ui.h"
#include "platform/windows1252.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

constexpr int kNameWidth = 16;
constexpr qsizetype kShownLineLength = 64;
constexpr qint64 kChunkSize = 4096;

void SetError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// Reads the device to its end into bytes; on a read error answers false with bytes cut
// after the last line end before it, so the line the error broke is not read. A device
// that knows its size is read in one piece.
bool ReadToEnd(QIODevice& device, QByteArray& bytes)
{
    const qint64 chunk = std::max<qint64>(device.size() - device.pos() + 1, kChunkSize);
    for (;;) {
        const qsizetype had = bytes.size();
        bytes.resize(had + chunk);
        const qint64 got = device.read(bytes.data() + had, chunk);
        bytes.resize(had + std::max<qint64>(got, 0));
        if (got == 0)
            return true;
        if (got < 0) {
            const auto lineEnd = std::find_if(bytes.crbegin(), bytes.crend(),
                                              [](char c) { return c == '\r' || c == '\n'; });
            bytes.truncate(bytes.crend() - lineEnd);
            return false;
        }
    }
}

// The file's text. Spreadsheets on Linux save UTF-8, with or without a byte order mark;
// valid UTF-8 that holds a character beyond ASCII is hardly ever meant as Windows-1252,
// so such a file is read as UTF-8 and every other file as Windows-1252.
QString DecodeCsv(QByteArrayView bytes)
{
    constexpr QByteArrayView byteOrderMark("\xEF\xBB\xBF");
    if (bytes.startsWith(byteOrderMark))
        return QString::fromUtf8(bytes.sliced(byteOrderMark.size()));
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char b) { return static_cast<unsigned char>(b) < 0x80; });
    if (!ascii) {
        // Stateless: a sequence cut off by the end of the file is an error too.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(bytes);
        if (!utf8.hasError())
            return text;
    }
    return FromWindows1252(bytes);
}

// The next line of text from pos, without its line end. CR LF, a lone CR and a lone LF
// each end a line; a last line without a line end still counts, but a line end at the
// very end of the text opens no empty line after it.
bool NextLine(QStringView text, qsizetype& pos, QStringView& line)
{
    if (pos >= text.size())
        return false;
    const auto begin = text.begin() + pos;
    const auto stop = std::find_if(begin, text.end(), [](QChar c) { return c == u'\r' || c == u'\n'; });
    line = QStringView(begin, stop);
    pos = stop - text.begin();
    if (stop != text.end())
        pos += *stop == u'\r' && stop + 1 != text.end() && stop[1] == u'\n' ? 2 : 1;
    return true;
}

// The fields of a line as SplitFields gives them, except that a field that starts with a
// double quote and whose closing quote is followed by a comma or the line end is one
// quoted field, as spreadsheets write it: commas inside it belong to it and a doubled
// quote is one quote. A line without quotes splits exactly as SplitFields splits it.
QStringList SplitCsvFields(QStringView line)
{
    QStringList fields{QString()};
    qsizetype pos = 0;
    for (;;) {
        if (pos < line.size() && line[pos] == u'"') {
            QString value;
            qsizetype i = pos + 1;
            for (; i < line.size(); ++i) {
                if (line[i] == u'"') {
                    if (i + 1 < line.size() && line[i + 1] == u'"')
                        ++i;
                    else
                        break;
                }
                value += line[i];
            }
            const bool closed = i < line.size();
            if (closed && i + 1 == line.size()) {
                fields.append(value);
                return fields;
            }
            if (closed && line[i + 1] == u',') {
                fields.append(value);
                pos = i + 2;
                continue;
            }
        }
        const qsizetype comma = line.indexOf(u',', pos);
        if (comma < 0) {
            fields.append(line.mid(pos).toString());
            return fields;
        }
        fields.append(line.mid(pos, comma - pos).toString());
        pos = comma + 1;
    }
}

// A relay name holding a comma or a double quote is one quoted field, its quotes doubled.
QString CsvField(QStringView name)
{
    if (!name.contains(u',') && !name.contains(u'"'))
        return name.toString();
    QString quoted = name.toString();
    quoted.replace(u'"', u"\"\""_s);
    return u'"' + quoted + u'"';
}

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

// Whether text, upper-cased character by character, is upper: "ß" stays one character.
bool UpperCasedIs(QStringView text, QStringView upper)
{
    return text.size() == upper.size() &&
           std::equal(text.begin(), text.end(), upper.begin(), [](QChar c, QChar u) { return c.toUpper() == u; });
}

// The relay name a line stores: trimmed, and every way of writing "spare" becomes the
// program's own spare name for the channel (the default name of its row).
QString StoredName(const QString& field, int channel)
{
    const QString name = TrimSpaces(field);
    if (UpperCasedIs(QStringView(name).first(std::min<qsizetype>(name.size(), 5)), u"SPARE") ||
        UpperCasedIs(name, u"(SPARE)") || UpperCasedIs(name, u"SP"))
        return DefaultRow(channel - 1).relNam;
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
void GrowFor(std::vector<ChannelRow>& rows, int channel)
{
    const int size = std::max(ChannelCountFor(channel), RowCount(rows));
    rows.reserve(static_cast<std::size_t>(size));
    for (int r = RowCount(rows); r < size; ++r)
        rows.push_back(DefaultRow(r));
}

} // namespace

QByteArray EncodeCsv(const std::vector<ChannelRow>& rows)
{
    QString text;
    text.reserve(static_cast<qsizetype>(rows.size()) * 32);
    for (const ChannelRow& row : rows) {
        text += row.Chan;
        text += u',';
        text += CsvField(LeftCharacters(row.relNam, kNameWidth));
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

    QByteArray bytes;
    const bool readToEnd = ReadToEnd(device, bytes);
    const QString readError = readToEnd ? QString() : device.errorString();
    const QString text = DecodeCsv(bytes);
    bytes.clear();

    qsizetype pos = 0;
    QStringView view;
    int expected = 1;
    int last = 0;
    int channel = 0;
    int lineNumber = 0;
    bool stopped = false; // by Cancel at a prompt or by the channel maximum
    while (!stopped && NextLine(text, pos, view)) {
        ui.AtLine(++lineNumber);
        const QString line = view.toString();
        const QStringList fields = SplitCsvFields(line);
        const CsvVerdict verdict = ParseCsvLine(line, fields, channel, expected, ui);
        if (verdict == CsvVerdict::Overflow)
            return fail(OverflowDescription());
        stopped = verdict == CsvVerdict::Abort;
        if (verdict == CsvVerdict::Ok) {
            if (channel > RowCount(rows))
                GrowFor(rows, channel);
            if (channel > RowCount(rows)) {
                ShowInfo(ui, u"This copy of MR640Config can handle a maximum of %1 channels."_s.arg(RowCount(rows)));
                stopped = true;
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
    // A read error counts only when the load got as far as the lines it cut off.
    if (!stopped && !readToEnd)
        return fail(readError);
    ui.AtLine(0);
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

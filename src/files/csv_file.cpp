#include "csv_file.h"

#include "editor/channel_count.h"
#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/clean_text.h"
#include "editor/shared_routines.h"
#include "platform/save_file.h"
#include "platform/ui.h"
#include "platform/windows1252.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

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

// The length of bytes up to and including their last line end; 0 when there is none.
qsizetype AfterLastLineEnd(QByteArrayView bytes)
{
    const auto lineEnd = std::find_if(bytes.crbegin(), bytes.crend(), [](char c) { return c == '\r' || c == '\n'; });
    return bytes.crend() - lineEnd;
}

// Reads the device to its end into bytes; on a read error answers false with bytes cut
// after the last line end before it, so the line the error broke is not read. A device
// that knows its size is read in one piece.
bool ReadToEnd(QIODevice& device, QByteArray& bytes)
{
    const qint64 chunk = std::max<qint64>(device.size() - device.pos() + 1, kChunkSize);
    // Room for the read that finds the end, so the bytes are not moved for it.
    bytes.reserve(bytes.size() + chunk + kChunkSize);
    for (;;) {
        const qsizetype had = bytes.size();
        bytes.resize(had + chunk);
        const qint64 got = device.read(bytes.data() + had, chunk);
        bytes.resize(had + std::max<qint64>(got, 0));
        if (got == 0)
            return true;
        if (got < 0) {
            bytes.truncate(AfterLastLineEnd(bytes));
            return false;
        }
    }
}

// Serves the bytes of a device one at a time, a chunk at a time, up to a limit; bytes
// taken back are served again first.
class ByteReader
{
public:
    ByteReader(QIODevice& device, qint64 limit) : device_(&device), left_(limit) {}
    // Serves bytes held whole, from start.
    ByteReader(QByteArray bytes, qsizetype start) : chunk_(std::move(bytes)), pos_(start) {}

    int Peek()
    {
        if (!back_.isEmpty())
            return static_cast<unsigned char>(back_.back());
        if (pos_ == chunk_.size() && !Fill())
            return -1;
        // The LF of a CR LF that TakeLine left at the end of the last chunk.
        if (std::exchange(lfMayFollow_, false) && chunk_.at(pos_) == '\n') {
            ++pos_;
            return Peek();
        }
        return static_cast<unsigned char>(chunk_.at(pos_));
    }

    int Get()
    {
        const int b = Peek();
        if (b >= 0 && !back_.isEmpty())
            back_.chop(1);
        else if (b >= 0)
            ++pos_;
        return b;
    }

    // Takes the bytes from the reading position up to the first comma, CR or LF, as far
    // as the chunk in hand goes: none when the next byte is one of those, when the data
    // has ended, or while bytes taken back wait to be served again.
    QByteArrayView TakePlainRun()
    {
        if (!back_.isEmpty() || Peek() < 0)
            return {};
        const char* begin = chunk_.constData() + pos_;
        const char* end = chunk_.constData() + chunk_.size();
        const char* stop =
            std::find_if(begin, end, [](char c) { return c == ',' || c == '\r' || c == '\n'; });
        pos_ += stop - begin;
        return QByteArrayView(begin, stop);
    }

    // The bytes from the reading position to the end of the chunk in hand; none while bytes
    // taken back wait to be served again.
    QByteArrayView RestOfChunk()
    {
        if (!back_.isEmpty() || Peek() < 0)
            return {};
        return QByteArrayView(chunk_).sliced(pos_);
    }

    // Takes line, which RestOfChunk starts with, and the line end after it. The chunk stays
    // in hand, so views into it hold until the next byte is asked for.
    void TakeLine(QByteArrayView line)
    {
        pos_ += line.size() + 1;
        if (chunk_.at(pos_ - 1) != '\r')
            return;
        if (pos_ < chunk_.size())
            pos_ += chunk_.at(pos_) == '\n' ? 1 : 0;
        else
            lfMayFollow_ = true;
    }

    // Serves bytes, which were the last ones taken, again.
    void TakeBack(QByteArrayView bytes)
    {
        for (qsizetype i = bytes.size(); i > 0; --i)
            back_.append(bytes[i - 1]);
    }

private:
    bool Fill()
    {
        if (!device_)
            return false;
        const qint64 want = std::min<qint64>(kChunkSize, left_);
        chunk_.resize(want);
        const qint64 got = want > 0 ? device_->read(chunk_.data(), want) : 0;
        chunk_.resize(std::max<qint64>(got, 0));
        pos_ = 0;
        left_ -= chunk_.size();
        return !chunk_.isEmpty();
    }

    QIODevice* device_ = nullptr;
    qint64 left_ = 0;
    QByteArray chunk_;
    qsizetype pos_ = 0;
    QByteArray back_; // in reverse order
    bool lfMayFollow_ = false;
};

// Tells, a chunk at a time, whether bytes are valid UTF-8 holding a character beyond
// ASCII, and whether they start with the UTF-8 byte order mark.
class EncodingProbe
{
public:
    void Feed(QByteArrayView bytes)
    {
        if (fed_ == 0 && bytes.startsWith(kByteOrderMark))
            byteOrderMark_ = true;
        fed_ += bytes.size();
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (!valid_)
                return;
            // Runs of plain ASCII, most of any file, are passed over eight bytes at a time.
            if (need_ == 0) {
                std::uint64_t eight = 0;
                while (i + 8 <= bytes.size() &&
                       (std::memcpy(&eight, bytes.data() + i, 8), (eight & 0x8080808080808080) == 0))
                    i += 8;
                if (i == bytes.size())
                    return;
            }
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (need_ > 0) {
                valid_ = b >= low_ && b <= high_;
                --need_;
                low_ = 0x80;
                high_ = 0xBF;
                continue;
            }
            if (b < 0x80)
                continue;
            beyondAscii_ = true;
            // The lead byte fixes how many bytes follow and the range of the first one,
            // which keeps out overlong forms, surrogates and values beyond U+10FFFF.
            low_ = 0x80;
            high_ = 0xBF;
            if (b >= 0xC2 && b <= 0xDF) {
                need_ = 1;
            } else if (b >= 0xE0 && b <= 0xEF) {
                need_ = 2;
                low_ = b == 0xE0 ? 0xA0 : 0x80;
                high_ = b == 0xED ? 0x9F : 0xBF;
            } else if (b >= 0xF0 && b <= 0xF4) {
                need_ = 3;
                low_ = b == 0xF0 ? 0x90 : 0x80;
                high_ = b == 0xF4 ? 0x8F : 0xBF;
            } else {
                valid_ = false;
            }
        }
    }

    bool ByteOrderMark() const { return byteOrderMark_; }
    // Spreadsheets on Linux save UTF-8, with or without a byte order mark; valid UTF-8 that
    // holds a character beyond ASCII is hardly ever meant as Windows-1252.
    bool Utf8() const { return byteOrderMark_ || (beyondAscii_ && valid_ && need_ == 0); }

private:
    static constexpr QByteArrayView kByteOrderMark{"\xEF\xBB\xBF"};
    qint64 fed_ = 0;
    bool byteOrderMark_ = false;
    bool beyondAscii_ = false;
    bool valid_ = true;
    int need_ = 0;
    unsigned char low_ = 0x80;
    unsigned char high_ = 0xBF;
};

bool IsBlankByte(int b)
{
    return b <= 0x20 || b == 0x7F;
}

// The first bytes of a field, never more than a bound, whatever its length; a UTF-8
// sequence is never split. more: bytes that are not blank follow what is kept.
struct FieldBytes
{
    QByteArray kept;
    bool more = false;

    void Add(int b, qsizetype bound)
    {
        const bool continuation = (b & 0xC0) == 0x80;
        if (kept.size() < bound || (continuation && kept.size() < bound + 3))
            kept.append(static_cast<char>(b));
        else if (!IsBlankByte(b))
            more = true;
    }

    // The same for each of bytes: those within the bound in one append.
    void Add(QByteArrayView bytes, qsizetype bound)
    {
        const qsizetype fits = std::clamp<qsizetype>(bound - kept.size(), 0, bytes.size());
        kept.append(bytes.first(fits));
        for (char b : bytes.sliced(fits))
            Add(static_cast<unsigned char>(b), bound);
    }
};

// One line of the file as far as its fields can be used: the first bytes of the line for
// the prompts, the first bytes of fields 1 to 3, and how many fields it has. A line of
// any length is read through without being held whole. The views lie in the reader's
// chunk or in the record's own bytes, and hold until the next line is read.
struct CsvRecord
{
    QByteArrayView shown;
    bool shownMore = false; // the line goes on beyond what shown holds
    std::array<QByteArrayView, 3> fields;
    bool nameMore = false; // the name field goes on beyond fields[1]
    int fieldCount = 0;
    int lineBreaks = 0; // inside its quoted fields: the file's lines it takes are one more

    // Where a line read byte by byte keeps its bytes.
    FieldBytes shownBytes;
    std::array<FieldBytes, 3> fieldBytes;
};

constexpr qsizetype kShownBytes = 4096;
constexpr qsizetype kFieldBytes = 1024;
// A quoted field is read as one (line ends and commas inside it included) only when its
// closing quote comes within this many bytes, followed by a comma or a line end.
constexpr qsizetype kQuotedBytes = 65536;

// The line ends in bytes: CR LF, a lone CR and a lone LF each one.
int LineBreaks(QByteArrayView bytes)
{
    int breaks = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        breaks += bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'));
    return breaks;
}

// The field from the reader's position, up to the comma or line end that ends it, into
// field (may be null: a field after the third) and shown; the line ends of a quoted field
// are added to lineBreaks.
void ReadField(ByteReader& reader, FieldBytes* field, FieldBytes& shown, bool skipBlanks, int& lineBreaks)
{
    const auto add = [&](int b) {
        shown.Add(b, kShownBytes);
        if (field && !(skipBlanks && field->kept.isEmpty() && IsBlankByte(b)))
            field->Add(b, kFieldBytes);
    };
    if (reader.Peek() == '"') {
        reader.Get();
        QByteArray taken; // every byte after the opening quote, to give back if not quoted
        QByteArray value;
        for (;;) {
            const int b = reader.Get();
            if (b < 0 || taken.size() >= kQuotedBytes) {
                if (b >= 0)
                    taken.append(static_cast<char>(b));
                break;
            }
            taken.append(static_cast<char>(b));
            if (b != '"') {
                value.append(static_cast<char>(b));
                continue;
            }
            if (reader.Peek() == '"') {
                taken.append(static_cast<char>(reader.Get()));
                value.append('"');
                continue;
            }
            const int next = reader.Peek();
            if (next == ',' || next == '\r' || next == '\n' || next < 0) {
                shown.Add('"', kShownBytes);
                for (char t : taken)
                    shown.Add(static_cast<unsigned char>(t), kShownBytes);
                for (char v : value) {
                    if (field && !(skipBlanks && field->kept.isEmpty() &&
                                   IsBlankByte(static_cast<unsigned char>(v))))
                        field->Add(static_cast<unsigned char>(v), kFieldBytes);
                }
                lineBreaks += LineBreaks(value);
                return;
            }
            break;
        }
        // Not a quoted field: it is read as it stands, its quote included.
        reader.TakeBack(taken);
        add('"');
    }
    for (int b = reader.Peek(); b >= 0 && b != ',' && b != '\r' && b != '\n'; b = reader.Peek()) {
        QByteArrayView run = reader.TakePlainRun();
        if (run.isEmpty()) { // a byte taken back
            add(reader.Get());
            continue;
        }
        shown.Add(run, kShownBytes);
        if (!field)
            continue;
        if (skipBlanks && field->kept.isEmpty()) {
            while (!run.isEmpty() && IsBlankByte(static_cast<unsigned char>(run.front())))
                run = run.sliced(1);
        }
        field->Add(run, kFieldBytes);
    }
}

// Whether a byte ends a field or a line, or starts a quoted field.
constexpr bool IsMark(char c)
{
    return c == '\r' || c == '\n' || c == ',' || c == '"';
}

// The position of the first mark in bytes from from, or limit when there is none before it.
// Eight bytes are looked at in one step: a byte of a word is zero where it matched.
qsizetype NextMark(QByteArrayView bytes, qsizetype from, qsizetype limit)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighs = 0x8080808080808080;
    // The lowest byte this marks is the first zero byte of x; those above it may be wrong.
    const auto zeroBytes = [](std::uint64_t x) { return (x - kOnes) & ~x & kHighs; };
    for (; from + 8 <= limit; from += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + from, sizeof word);
        const std::uint64_t found = zeroBytes(word ^ (kOnes * '\r')) | zeroBytes(word ^ (kOnes * '\n')) |
                                    zeroBytes(word ^ (kOnes * ',')) | zeroBytes(word ^ (kOnes * '"'));
        if (found != 0) {
            const int bit = std::endian::native == std::endian::little ? std::countr_zero(found)
                                                                        : std::countl_zero(found);
            return from + bit / 8;
        }
    }
    while (from < limit && !IsMark(bytes[from]))
        ++from;
    return from;
}

// The next line into record when it lies whole in the reader's chunk, holds no double
// quote and is no longer than a field's bound, as most lines are: split where it lies.
bool ReadPlainLine(ByteReader& reader, CsvRecord& record)
{
    const QByteArrayView rest = reader.RestOfChunk();
    const qsizetype limit = std::min(rest.size(), kFieldBytes + 1);
    std::array<qsizetype, 3> commas{};
    int fields = 1;
    qsizetype end = 0;
    for (;; ++end) {
        end = NextMark(rest, end, limit);
        if (end == limit || rest[end] == '"')
            return false;
        if (rest[end] != ',')
            break;
        if (fields <= 3)
            commas[static_cast<std::size_t>(fields - 1)] = end;
        ++fields;
    }
    const QByteArrayView line = rest.first(end);
    record.shown = line;
    record.shownMore = false;
    record.nameMore = false;
    record.fieldCount = fields;
    qsizetype start = 0;
    for (int f = 0; f < 3; ++f) {
        const qsizetype stop = f + 1 < fields ? commas[static_cast<std::size_t>(f)] : end;
        record.fields[static_cast<std::size_t>(f)] = f < fields ? line.sliced(start, stop - start) : QByteArrayView();
        start = stop + 1;
    }
    QByteArrayView& name = record.fields[1];
    while (!name.isEmpty() && IsBlankByte(static_cast<unsigned char>(name.front())))
        name = name.sliced(1);
    reader.TakeLine(line);
    return true;
}

// The next line into record; false when the data has ended. CR LF, a lone CR and a lone LF
// each end a line; a last line without a line end still counts.
bool ReadRecord(ByteReader& reader, CsvRecord& record)
{
    record.lineBreaks = 0;
    if (ReadPlainLine(reader, record))
        return true;
    // Emptied, not replaced: the buffers of one line serve the next.
    for (FieldBytes* bytes : {&record.shownBytes, &record.fieldBytes[0], &record.fieldBytes[1], &record.fieldBytes[2]}) {
        bytes->kept.resize(0);
        bytes->more = false;
    }
    record.fieldCount = 0;
    if (reader.Peek() < 0)
        return false;
    for (;;) {
        FieldBytes* field = record.fieldCount < 3 ? &record.fieldBytes[static_cast<std::size_t>(record.fieldCount)] : nullptr;
        ReadField(reader, field, record.shownBytes, record.fieldCount == 1, record.lineBreaks);
        ++record.fieldCount;
        const int separator = reader.Get();
        if (separator == ',') {
            record.shownBytes.Add(',', kShownBytes);
            continue;
        }
        if (separator == '\r' && reader.Peek() == '\n')
            reader.Get();
        break;
    }
    record.shown = record.shownBytes.kept;
    record.shownMore = record.shownBytes.more;
    for (std::size_t f = 0; f < record.fields.size(); ++f)
        record.fields[f] = record.fieldBytes[f].kept;
    record.nameMore = record.fieldBytes[1].more;
    return true;
}

// A relay name holding a comma, a double quote or a control character (a name from an old
// dip file may) is one quoted field, its quotes doubled, so that it reads back whole.
bool NeedsQuotes(char32_t c)
{
    return c == u',' || c == u'"' || IsControlCharacter(c);
}

// True when a name is written as it is, without quotes.
bool IsPlainField(QStringView name)
{
    return std::none_of(name.begin(), name.end(), [](QChar c) { return NeedsQuotes(c.unicode()); });
}

QString CsvField(QStringView name)
{
    if (IsPlainField(name))
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
           std::equal(text.begin(), text.end(), upper.begin(), [](QChar c, QChar u) {
               const char16_t code = c.unicode();
               return (code < 0x80 ? QChar(code >= u'a' && code <= u'z' ? code - 0x20 : code) : c.toUpper()) == u;
           });
}

// What the names a load stores needed, for its report.
struct NameCounts
{
    int unheld = 0; // characters stored as "?"
    int cut = 0;    // names cut to the grid's 16 characters
};

QString Decoded(QByteArrayView bytes, bool utf8)
{
    return utf8 ? QString::fromUtf8(bytes) : FromWindows1252(bytes);
}

// The relay name a line stores from the bytes of its second field (leading blanks already
// left out; more: the field goes on beyond them): cleaned, trimmed, every way of writing
// "spare" made the program's own spare name for the channel, and cut to 16 characters as
// the grid and the dip file hold it.
QString StoredName(QByteArrayView bytes, bool more, bool utf8, int channel, NameCounts& counts)
{
    // With more to come, the spaces that end what was kept lie inside the name.
    if (!more) {
        while (bytes.endsWith(' '))
            bytes.chop(1);
    }
    // A name read whole in printable ASCII, as most are, is clean, trimmed already and has
    // a character a byte. Other names are cleaned only when they need it.
    const bool plain = !more && std::all_of(bytes.begin(), bytes.end(), [](char c) { return c >= ' ' && c <= '~'; });
    QString name = plain ? QString::fromLatin1(bytes) : Decoded(bytes, utf8);
    const bool isClean = plain || IsClean(name);
    int unheld = 0;
    if (!isClean) {
        unheld = CleanedText(name, Unheld::Question, kNameWidth).unheld;
        name = CleanedText(name).text;
    }
    if (!more && !plain)
        name = TrimSpaces(name);
    if (UpperCasedIs(QStringView(name).first(std::min<qsizetype>(name.size(), 5)), u"SPARE") ||
        (!more && (UpperCasedIs(name, u"(SPARE)") || UpperCasedIs(name, u"SP"))))
        return DefaultRow(channel - 1).relNam;
    counts.unheld += unheld;
    if (!more && (plain ? name.size() : CharacterCount(name)) <= kNameWidth)
        return name;
    ++counts.cut;
    return LeftCharacters(name, kNameWidth).toString();
}

int RowCount(const std::vector<ChannelRow>& rows)
{
    return static_cast<int>(rows.size());
}

bool IsBackContact(const CsvRecord& record)
{
    const QByteArrayView contact = record.fields[2];
    return record.fieldCount >= 3 && !contact.isEmpty() && (contact[0] == 'B' || contact[0] == 'b');
}

QString Plural(int n, const QString& one, const QString& many)
{
    return n == 1 ? one : many.arg(n);
}

// The count message of a load, with a line for each thing the user should know of.
QString LoadReport(int last, const NameCounts& counts, std::optional<int> kept)
{
    QStringList lines{u"%1 channels imported"_s.arg(last)};
    if (counts.unheld > 0)
        lines << UnheldReport(counts.unheld);
    if (counts.cut > 0)
        lines << Plural(counts.cut, u"1 name longer than 16 characters was cut"_s,
                        u"%1 names longer than 16 characters were cut"_s);
    if (kept && *kept > 0)
        lines << Plural(*kept, u"1 row kept its earlier content"_s, u"%1 rows kept their earlier content"_s);
    return lines.join(kCrLf);
}

// Grows rows to hold channel by the table's own size rule, added rows getting their
// defaults; rows never grow beyond the maximum, so the channel may still lie beyond them.
void GrowFor(std::vector<ChannelRow>& rows, int channel)
{
    AppendDefaultRows(rows, std::max(ChannelCountFor(channel), RowCount(rows)));
}

// Writes the first 16 characters of a name at at, and moves at past them, when they are
// printable ASCII without a comma or a quote, as nearly every name is; otherwise answers
// false and leaves at where it was.
bool WritePlainName(QStringView name, char*& at)
{
    const qsizetype n = std::min<qsizetype>(name.size(), kNameWidth);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = name.utf16()[i];
        if (c < u' ' || c > u'~' || c == u',' || c == u'"')
            return false;
        at[i] = static_cast<char>(c);
    }
    at += n;
    return true;
}

} // namespace

QByteArray EncodeCsv(const std::vector<ChannelRow>& rows)
{
    // Each text is encoded straight into the file's bytes, sized for lines as they nearly
    // always are: an id of four characters and a name without quotes. A line that could
    // take more (a name quoted with every quote doubled, a longer id) makes room for itself
    // first. Sized for the most every line could take, the buffer would be three times the
    // file, and a buffer that large is fresh memory from the system at every save.
    constexpr qsizetype kPlainLine = 4 + 1 + kNameWidth + std::size(",Front\r\n");
    constexpr qsizetype kMostOfLine = 1 + 2 + 2 * kNameWidth + std::size(",Front\r\n");
    const auto count = static_cast<qsizetype>(rows.size());
    QByteArray bytes(count * kPlainLine + 4 + kMostOfLine, Qt::Uninitialized);
    char* at = bytes.data();
    for (qsizetype r = 0; r < count; ++r) {
        const ChannelRow& row = rows[static_cast<std::size_t>(r)];
        const qsizetype used = at - bytes.constData();
        if (const qsizetype most = row.Chan.size() + kMostOfLine; bytes.size() - used < most) {
            bytes.resize(used + most + (count - r) * kPlainLine);
            at = bytes.data() + used;
        }
        at += WriteWindows1252(row.Chan, at);
        *at++ = ',';
        if (!WritePlainName(row.relNam, at)) {
            const QStringView name = LeftCharacters(row.relNam, kNameWidth);
            at += WriteWindows1252(IsPlainField(name) ? name : QStringView(CsvField(name)), at);
        }
        const std::string_view end = row.back ? ",Back\r\n" : ",Front\r\n";
        at = std::copy(end.begin(), end.end(), at);
    }
    bytes.truncate(at - bytes.data());
    return bytes;
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

namespace {

// The number a line's first field names, as ChannelNumberFromId reads it.
std::optional<int> IdNumber(QByteArrayView id, bool utf8)
{
    // An id in ASCII reads the same in either encoding, and is read without a string.
    if (std::all_of(id.begin(), id.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return ChannelNumberFromId(QLatin1StringView(id));
    return ChannelNumberFromId(Decoded(id, utf8));
}

// ParseCsvLine on the line, with the texts its questions show.
CsvVerdict CheckLine(const CsvRecord& record, bool utf8, int& channel, int expected, Ui& ui)
{
    QStringList fields{QString()};
    for (int f = 0; f < std::min(record.fieldCount, 3); ++f)
        fields.append(Decoded(record.fields[static_cast<std::size_t>(f)], utf8));
    // The line is shown only by the questions about too few fields and about a field
    // that names no channel; for every other line its text is not made. A line too long
    // to show whole is shown as far as the program read it.
    const bool shown = fields.size() < 3 || ChannelNumberFromId(fields[1]) == std::optional<int>(0);
    const QString line =
        shown ? Decoded(record.shown, utf8) + (record.shownMore ? u"..."_s : QString()) : QString();
    return ParseCsvLine(line, fields, channel, expected, ui);
}

// Reads the lines the reader serves into the table. readError: the device failed after
// the last line served. utf8: how the file's text is read.
CsvReadOutcome ReadRecords(ByteReader& reader, bool utf8, const std::optional<QString>& readError,
                           ChannelTable& table, Ui& ui, QString* error, CsvUpdate update)
{
    // The load works on a copy and hands it back on every way out, so the rows stored
    // so far are kept and the view refreshes once, not once per line.
    std::vector<ChannelRow> rows = table.Rows();
    const auto fail = [&](const QString& description) {
        table.ReplaceRows(std::move(rows));
        SetError(error, description);
        return CsvReadOutcome::Failed;
    };
    const int earlierRows = RowCount(rows);
    std::vector<bool> stored(static_cast<std::size_t>(earlierRows));
    NameCounts counts;

    CsvRecord record;
    int expected = 1;
    int last = 0;
    int channel = 0;
    int lineNumber = 1; // the file's line the next record starts on
    bool stopped = false; // by Cancel at a prompt or by the channel maximum
    while (!stopped && ReadRecord(reader, record)) {
        ui.AtLine(lineNumber);
        lineNumber += 1 + record.lineBreaks;
        // A line naming the channel expected next, as nearly every line does, is stored
        // without the questions' texts being made.
        const std::optional<int> number =
            record.fieldCount >= 2 ? IdNumber(record.fields[0], utf8) : std::nullopt;
        CsvVerdict verdict = CsvVerdict::Ok;
        if (number && *number == expected)
            channel = expected;
        else
            verdict = CheckLine(record, utf8, channel, expected, ui);
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
            row.relNam = StoredName(record.fields[1], record.nameMore, utf8, last, counts);
            row.back = IsBackContact(record);
            ui.StoredChannel(last);
            if (last <= earlierRows)
                stored[static_cast<std::size_t>(last - 1)] = true;
        }
        expected = last + 1;
    }
    // A read error counts only when the load got as far as the lines it cut off.
    if (!stopped && readError)
        return fail(*readError);
    ui.AtLine(0);
    table.ReplaceRows(std::move(rows));
    std::optional<int> kept;
    if (update == CsvUpdate::ReportKeptRows)
        kept = static_cast<int>(std::count(stored.begin(), stored.end(), false));
    ShowCount(ui, last, LoadReport(last, counts, kept));
    return CsvReadOutcome::Completed;
}

constexpr qint64 kByteOrderMarkSize = 3;
// Files up to this size are read whole.
constexpr qint64 kWholeFileBytes = 1 << 20;

// The length of the name field bytes start with as EncodeCsv writes one, and in *size the
// bytes of the name it holds; -1 when no such field is there. A name without a comma, a
// quote or a control character is plain; any other is quoted, its quotes doubled.
qsizetype WrittenNameField(QByteArrayView bytes, qsizetype* size)
{
    *size = 0;
    const auto needsQuotes = [](char b) { return NeedsQuotes(static_cast<unsigned char>(b)); };
    if (!bytes.startsWith('"')) {
        const auto end = std::find_if(bytes.begin(), bytes.end(), needsQuotes);
        *size = end - bytes.begin();
        return end == bytes.end() || *end == ',' ? *size : -1;
    }
    bool needed = false;
    for (qsizetype at = 1; at < bytes.size(); ++at, ++*size) {
        if (bytes[at] == '"' && (at + 1 == bytes.size() || bytes[at + 1] != '"'))
            return needed ? at + 1 : -1;
        needed = needed || needsQuotes(bytes[at]);
        at += bytes[at] == '"' ? 1 : 0; // a doubled quote
    }
    return -1;
}

// Whether bytes are laid out exactly as EncodeCsv writes a table: a multiple of 384 lines,
// line n holding the id of channel n, a name of at most 16 bytes and "Front" or "Back", every line
// ending in CR LF.
bool IsLaidOutAsWritten(QByteArrayView bytes)
{
    int lines = 0;
    while (!bytes.isEmpty()) {
        const QByteArray id = ChannelIdFromNumber(++lines).toLatin1() + ',';
        if (lines > kMaxChannels || !bytes.startsWith(id))
            return false;
        bytes = bytes.sliced(id.size());
        qsizetype nameSize = 0;
        const qsizetype name = WrittenNameField(bytes, &nameSize);
        if (name < 0 || nameSize > kNameWidth)
            return false;
        bytes = bytes.sliced(name);
        if (bytes.startsWith(",Front\r\n"))
            bytes = bytes.sliced(8);
        else if (bytes.startsWith(",Back\r\n"))
            bytes = bytes.sliced(7);
        else
            return false;
    }
    return lines > 0 && lines % kChannelsPerUnit == 0;
}

} // namespace

CsvReadOutcome ReadCsv(QIODevice& device, ChannelTable& table, Ui& ui, QString* error, CsvUpdate update)
{
    QByteArray bytes;
    const bool readToEnd = ReadToEnd(device, bytes);
    EncodingProbe probe;
    probe.Feed(bytes);
    // Valid UTF-8 beyond ASCII is a spreadsheet's UTF-8, except in a file laid out exactly as
    // this program writes one: that is Windows-1252 whose bytes happen to be valid UTF-8
    // ("Â½" is C2 BD). A spreadsheet's file gives itself away by LF line ends (Linux), a byte
    // order mark, quotes around every text, a last line without its line end, a part of a
    // site, or a 16-character name in more than 16 bytes. A whole site saved again with CR
    // LF and none of those reads as this program's, so that a file it wrote always reads
    // back as written.
    const bool utf8 = probe.Utf8() && !IsLaidOutAsWritten(bytes);
    ByteReader reader(std::move(bytes), probe.ByteOrderMark() ? kByteOrderMarkSize : 0);
    return ReadRecords(reader, utf8, readToEnd ? std::nullopt : std::optional(device.errorString()),
                       table, ui, error, update);
}

CsvReadOutcome ReadCsvFile(const QString& path, ChannelTable& table, Ui& ui, QString* error, CsvUpdate update)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, file.errorString());
        return CsvReadOutcome::Failed;
    }
    // A channel file is some tens of kilobytes, read in one piece. A pipe cannot be read
    // twice, nor asked its size: it is read whole too.
    if (file.isSequential() || file.size() <= kWholeFileBytes)
        return ReadCsv(file, table, ui, error, update);
    // A larger file is read twice, a chunk at a time: once to learn how its text is written,
    // once for its lines. A file of any size, or a line of any length, is never held whole.
    // This program never writes a file that large (3072 lines of at most 47 bytes), so
    // valid UTF-8 beyond ASCII is UTF-8 here.
    EncodingProbe probe;
    QByteArray chunk(kChunkSize, Qt::Uninitialized);
    qint64 total = 0;
    qint64 lastLineEnd = 0;
    std::optional<QString> readError;
    for (;;) {
        const qint64 got = file.read(chunk.data(), kChunkSize);
        if (got < 0)
            readError = file.errorString();
        if (got <= 0)
            break;
        const QByteArrayView read(chunk.constData(), got);
        probe.Feed(read);
        if (const qsizetype end = AfterLastLineEnd(read); end > 0)
            lastLineEnd = total + end;
        total += got;
    }
    // After a read error the lines up to the last line end before it are read, as when
    // the device is read whole.
    const qint64 limit = readError ? lastLineEnd : total;
    const qint64 start = probe.ByteOrderMark() ? kByteOrderMarkSize : 0;
    if (!file.seek(std::min(start, limit))) {
        SetError(error, file.errorString());
        return CsvReadOutcome::Failed;
    }
    ByteReader reader(file, std::max<qint64>(limit - start, 0));
    return ReadRecords(reader, probe.Utf8(), readError, table, ui, error, update);
}

} // namespace mr640

#include "journal_records.h"

#include "site_compare.h"

#include <QtEndian>

#include <algorithm>
#include <limits>

namespace mr640 {

namespace {

enum Kind : char { kBase = 'B', kStep = 'S', kTyping = 'T' };
constexpr qint64 kNoTime = std::numeric_limits<qint64>::min();

// Little-endian numbers and UTF-16 texts with their length, appended without a stream:
// a paste of a whole table is encoded on the UI thread.
template <typename T>
void Put(QByteArray& bytes, T value)
{
    const T little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&little), sizeof little);
}

void PutText(QByteArray& bytes, const QString& text)
{
    Put(bytes, static_cast<quint32>(text.size()));
    const qsizetype at = bytes.size();
    bytes.resize(at + text.size() * 2);
    // constData, not utf16: that would copy a literal's text into the QString, which the
    // writer's thread shares with the UI thread's edit history.
    qToLittleEndian<quint16>(text.constData(), text.size(), bytes.data() + at);
}

QByteArray Start(Kind kind, qint64 time)
{
    QByteArray record(1, kind);
    Put(record, time);
    return record;
}

// Reads what Put wrote; once past the end, every read answers zero and ok() turns false.
class Reader
{
public:
    explicit Reader(QByteArrayView bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    bool AtEnd() const { return at_ == bytes_.size(); }

    template <typename T>
    T Get()
    {
        if (!Has(sizeof(T)))
            return 0;
        const T value = qFromLittleEndian<T>(bytes_.data() + at_);
        at_ += sizeof(T);
        return value;
    }
    QByteArray Bytes()
    {
        const quint32 size = Get<quint32>();
        if (!Has(size))
            return {};
        const QByteArray bytes = bytes_.sliced(at_, size).toByteArray();
        at_ += size;
        return bytes;
    }
    QString Text()
    {
        const qsizetype size = Get<quint32>();
        if (!Has(size * 2))
            return {};
        QString text(size, Qt::Uninitialized);
        qFromLittleEndian<quint16>(bytes_.data() + at_, size, text.data());
        at_ += size * 2;
        return text;
    }

private:
    bool Has(qsizetype n)
    {
        ok_ = ok_ && n <= bytes_.size() - at_;
        return ok_;
    }

    QByteArrayView bytes_;
    qsizetype at_ = 0;
    bool ok_ = true;
};

bool IsEditable(int field)
{
    return field == FieldRelNam || field == FieldBack || field == FieldStUp || field == FieldStDn;
}

struct Typing
{
    int row = -1;
    int field = 0;
    QString text;
};

// Applies one step or typing record to the site; false when it cannot be read.
bool Replay(QByteArrayView record, RecoveredSite& site, int& unsaved, Typing& typing)
{
    Reader in(record);
    const auto kind = static_cast<char>(in.Get<quint8>());
    const qint64 time = in.Get<qint64>();
    const auto rows = static_cast<qint64>(site.rows.size());
    if (kind == kStep) {
        const quint32 count = in.Get<quint32>();
        while (in.ok() && !in.AtEnd()) {
            const quint32 row = in.Get<quint32>();
            const quint8 field = in.Get<quint8>();
            if (row >= rows || !IsEditable(field))
                return false;
            ChannelRow& target = site.rows[row];
            if (field == FieldBack)
                target.back = in.Get<quint8>() != 0;
            else
                SetCellContent(target, field, in.Text());
            if (typing.row == static_cast<int>(row) && typing.field == field)
                typing.row = -1; // what was typed there is stored
        }
        unsaved = static_cast<int>(count);
    } else if (kind == kTyping) {
        typing.row = in.Get<qint32>();
        typing.field = in.Get<quint8>();
        typing.text = in.Text();
        if (typing.row >= rows || (typing.row >= 0 && (!IsEditable(typing.field) || typing.field == FieldBack)))
            return false;
    } else {
        return false;
    }
    if (!in.ok() || !in.AtEnd())
        return false;
    site.last = QDateTime::fromMSecsSinceEpoch(time);
    return true;
}

} // namespace

QByteArray BaseRecord(qint64 time, const JournalSite& site, bool modified, const std::vector<ChannelRow>& rows)
{
    QByteArray record = Start(kBase, time);
    Put<quint8>(record, modified);
    PutText(record, site.file);
    PutText(record, site.name);
    Put(record, site.saved.size);
    Put(record, site.saved.modified.isValid() ? site.saved.modified.toMSecsSinceEpoch() : kNoTime);
    Put(record, static_cast<quint32>(site.saved.hash.size()));
    record.append(site.saved.hash);
    Put(record, static_cast<quint32>(rows.size()));
    for (const ChannelRow& row : rows) {
        PutText(record, row.Chan);
        PutText(record, row.relNam);
        Put<quint8>(record, row.back);
        PutText(record, row.stUp);
        PutText(record, row.stDn);
    }
    return record;
}

void AppendCells(QByteArray& cells, const std::vector<CellChange>& changes, bool useAfter)
{
    // An undo unmakes the changes last first, as the table does.
    const auto put = [&cells, useAfter](const CellChange& change) {
        const CellContent& content = useAfter ? change.after : change.before;
        Put(cells, static_cast<quint32>(change.row));
        Put(cells, static_cast<quint8>(change.field));
        if (change.field == FieldBack)
            Put<quint8>(cells, content.back);
        else
            PutText(cells, content.text);
    };
    if (useAfter)
        std::for_each(changes.begin(), changes.end(), put);
    else
        std::for_each(changes.rbegin(), changes.rend(), put);
}

QByteArray StepRecord(qint64 time, int unsaved, const QByteArray& cells)
{
    QByteArray record = Start(kStep, time);
    Put(record, static_cast<quint32>(unsaved));
    return record + cells;
}

QByteArray TypingRecord(qint64 time, int row, int field, const QString& text)
{
    QByteArray record = Start(kTyping, time);
    Put(record, static_cast<qint32>(row));
    Put(record, static_cast<quint8>(field));
    PutText(record, text);
    return record;
}

std::vector<CellChange> RecoveredSite::Changes() const
{
    std::vector<CellChange> changes;
    for (const FieldDifference& difference : CompareSites(base, rows).differences) {
        const auto row = static_cast<std::size_t>(difference.row);
        changes.push_back({difference.row, difference.field, ContentOf(base[row], difference.field),
                           ContentOf(rows[row], difference.field)});
    }
    return changes;
}

std::optional<RecoveredSite> ReplayJournal(const std::vector<QByteArray>& records)
{
    if (records.empty())
        return std::nullopt;
    Reader in(records.front());
    RecoveredSite site;
    const auto kind = static_cast<char>(in.Get<quint8>());
    site.last = QDateTime::fromMSecsSinceEpoch(in.Get<qint64>());
    site.baseModified = in.Get<quint8>() != 0;
    site.site.file = in.Text();
    site.site.name = in.Text();
    site.site.saved.size = in.Get<qint64>();
    if (const qint64 modified = in.Get<qint64>(); modified != kNoTime)
        site.site.saved.modified = QDateTime::fromMSecsSinceEpoch(modified);
    site.site.saved.hash = in.Bytes();
    const quint32 rows = in.Get<quint32>();
    while (in.ok() && site.base.size() < rows) {
        ChannelRow row;
        row.Chan = in.Text();
        row.relNam = in.Text();
        row.back = in.Get<quint8>() != 0;
        row.stUp = in.Text();
        row.stDn = in.Text();
        site.base.push_back(std::move(row));
    }
    if (kind != kBase || !in.ok() || !in.AtEnd())
        return std::nullopt;

    site.rows = site.base;
    int unsaved = site.baseModified ? 1 : 0;
    Typing typing;
    for (std::size_t r = 1; r < records.size(); ++r) {
        if (!Replay(records[r], site, unsaved, typing)) {
            site.unreadable = static_cast<int>(records.size() - r);
            break;
        }
    }
    site.changes = unsaved;
    if (typing.row >= 0) {
        ChannelRow& row = site.rows[static_cast<std::size_t>(typing.row)];
        const QString text = typing.text.left(FieldTextLimit(typing.field));
        if (CellText(row, typing.field) != text) {
            SetCellContent(row, typing.field, text);
            ++site.changes;
        }
    }
    return site;
}

} // namespace mr640

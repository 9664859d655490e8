#include "channel_table.h"

#include "channel_ids.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

ChannelRow MakeDefaultRow(int r)
{
    const QString id = ChannelIdFromNumber(r + 1);
    return {id, u"Spare "_s + id, false, u"UP"_s, u"DN"_s};
}

// Every reader, New and each resize fill rows with their defaults. Made once, with texts
// that point into one block of characters, a row's defaults are copied without allocating
// or counting references, and never formatted again.
const std::vector<ChannelRow>& AllDefaultRows()
{
    struct Defaults
    {
        std::u16string characters; // every spare name, one after another
        std::vector<ChannelRow> rows;
    };
    static const Defaults defaults = [] {
        Defaults d;
        // Each spare name is "Spare " followed by the id, so the id is the name's tail;
        // every id has four characters, so every name ten.
        constexpr std::u16string_view spare = u"Spare ";
        constexpr std::size_t kNameLength = spare.size() + 4;
        d.characters.reserve(kMaxChannels * kNameLength);
        for (int r = 0; r < kMaxChannels; ++r) {
            const QString id = ChannelIdFromNumber(r + 1);
            d.characters.append(spare);
            d.characters.append(reinterpret_cast<const char16_t*>(id.utf16()), static_cast<std::size_t>(id.size()));
        }
        d.rows.reserve(kMaxChannels);
        const QString up = u"UP"_s;
        const QString down = u"DN"_s;
        for (std::size_t r = 0; r < kMaxChannels; ++r) {
            const auto* name = reinterpret_cast<const QChar*>(d.characters.data() + r * kNameLength);
            d.rows.push_back({QString::fromRawData(name + spare.size(), 4),
                              QString::fromRawData(name, kNameLength), false, up, down});
        }
        return d;
    }();
    return defaults.rows;
}

} // namespace

ChannelRow DefaultRow(int r)
{
    return r >= 0 && r < kMaxChannels ? AllDefaultRows()[static_cast<std::size_t>(r)] : MakeDefaultRow(r);
}

std::vector<ChannelRow> DefaultRows(int n)
{
    std::vector<ChannelRow> rows;
    AppendDefaultRows(rows, n);
    return rows;
}

void AppendDefaultRows(std::vector<ChannelRow>& rows, int n)
{
    const std::vector<ChannelRow>& all = AllDefaultRows();
    const auto from = static_cast<int>(rows.size());
    const int made = std::min(n, kMaxChannels);
    if (from < made)
        rows.insert(rows.end(), all.begin() + from, all.begin() + made);
    for (int r = static_cast<int>(rows.size()); r < n; ++r)
        rows.push_back(MakeDefaultRow(r));
}

void FillDefaultRows(std::vector<ChannelRow>& rows, int start)
{
    for (int r = std::max(start, 0); r < static_cast<int>(rows.size()); ++r)
        rows[static_cast<std::size_t>(r)] = DefaultRow(r);
}

QString FieldCaption(int field)
{
    switch (field) {
    case FieldChan:
        return u"Chan"_s;
    case FieldRelNam:
        return u"Relay name"_s;
    case FieldBack:
        return u"Back contact"_s;
    case FieldStUp:
        return u"State up"_s;
    case FieldStDn:
        return u"State down"_s;
    default:
        return {};
    }
}

int FieldTextLimit(int field)
{
    switch (field) {
    case FieldRelNam:
        return kRelayNameChars;
    case FieldStUp:
    case FieldStDn:
        return kStateTextChars;
    default:
        return 0;
    }
}

namespace {

// The text member of a row that holds a field; none for the back contact.
QString ChannelRow::*TextMember(int field)
{
    switch (field) {
    case FieldChan:
        return &ChannelRow::Chan;
    case FieldRelNam:
        return &ChannelRow::relNam;
    case FieldStUp:
        return &ChannelRow::stUp;
    case FieldStDn:
        return &ChannelRow::stDn;
    default:
        return nullptr;
    }
}

} // namespace

QVariant CellValue(const ChannelRow& row, int field)
{
    if (field == FieldBack)
        return row.back;
    QString ChannelRow::*text = TextMember(field);
    return text ? QVariant(row.*text) : QVariant();
}

QString CellText(const ChannelRow& row, int field)
{
    QString ChannelRow::*text = TextMember(field);
    return text ? row.*text : QString();
}

void SetCellValue(ChannelRow& row, int field, const QVariant& value)
{
    if (field == FieldBack)
        row.back = value.toBool();
    else if (QString ChannelRow::*text = TextMember(field))
        row.*text = value.toString();
}

CellContent ContentOf(const ChannelRow& row, int field)
{
    if (field == FieldBack)
        return row.back;
    return CellText(row, field);
}

void SetCellContent(ChannelRow& row, int field, const CellContent& content)
{
    if (field == FieldBack)
        row.back = content.back;
    else if (QString ChannelRow::*text = TextMember(field))
        row.*text = content.text;
}

ChannelTable::ChannelTable(QObject* parent) : QAbstractTableModel(parent) {}

int ChannelTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ChannelTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : FieldCount;
}

QVariant ChannelTable::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const ChannelRow& row = Row(index.row());
    if (index.column() == FieldBack) {
        if (role == Qt::CheckStateRole)
            return row.back ? Qt::Checked : Qt::Unchecked;
        if (role == Qt::EditRole)
            return row.back;
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return CellValue(row, index.column());
}

bool ChannelTable::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    const int field = index.column();
    CellContent after;
    if (field == FieldBack && (role == Qt::CheckStateRole || role == Qt::EditRole))
        after = role == Qt::CheckStateRole ? value.value<Qt::CheckState>() == Qt::Checked : value.toBool();
    else if (field != FieldChan && field != FieldBack && role == Qt::EditRole)
        after = value.toString();
    else
        return false;
    const CellChange change{index.row(), field, ContentOf(Row(index.row()), field), after};
    if (change.before == change.after)
        return true;
    if (editHandler_)
        editHandler_(change);
    else
        ApplyChanges({change}, true);
    return true;
}

QVariant ChannelTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return FieldCaption(section);
}

Qt::ItemFlags ChannelTable::flags(const QModelIndex& index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    switch (index.column()) {
    case FieldChan:
        // Read-only; selectable so that whole rows highlight whole (the grid never makes
        // it current).
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    case FieldBack:
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    default:
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    }
}

void ChannelTable::ReplaceRows(std::vector<ChannelRow> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void ChannelTable::Resize(int n)
{
    const int old = rowCount();
    n = std::max(n, 0);
    if (n > old) {
        beginInsertRows({}, old, n - 1);
        rows_.resize(static_cast<std::size_t>(n));
        endInsertRows();
    } else if (n < old) {
        beginRemoveRows({}, n, old - 1);
        rows_.resize(static_cast<std::size_t>(n));
        endRemoveRows();
    }
}

void ChannelTable::FillDefaultRows(int start)
{
    mr640::FillDefaultRows(rows_, start);
    if (rows_.empty())
        return;
    // A start past the end fills nothing and still refreshes the last row.
    const int top = std::clamp(start, 0, rowCount() - 1);
    emit dataChanged(index(top, 0), index(rowCount() - 1, FieldCount - 1));
}

void ChannelTable::ApplyChanges(const std::vector<CellChange>& changes, bool useAfter)
{
    int top = rowCount(), left = FieldCount, bottom = -1, right = -1;
    auto apply = [&](const CellChange& c) {
        if (c.row < 0 || c.row >= rowCount() || c.field < 0 || c.field >= FieldCount)
            return;
        SetCellContent(rows_[static_cast<std::size_t>(c.row)], c.field, useAfter ? c.after : c.before);
        top = std::min(top, c.row);
        bottom = std::max(bottom, c.row);
        left = std::min(left, c.field);
        right = std::max(right, c.field);
    };
    if (useAfter)
        std::for_each(changes.begin(), changes.end(), apply);
    else
        std::for_each(changes.rbegin(), changes.rend(), apply);
    if (bottom >= 0)
        emit dataChanged(index(top, left), index(bottom, right));
}

} // namespace mr640

#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QVariant>

#include <concepts>
#include <functional>
#include <vector>

namespace mr640 {

// One digital input of the logger. The field order is the grid's column order and the
// field index every reader and writer uses.
struct ChannelRow
{
    QString Chan;   // channel id, written only when the row gets its defaults
    QString relNam; // relay name
    bool back = false; // true: the relay's back contact is wired to the input
    QString stUp;
    QString stDn;

    friend bool operator==(const ChannelRow&, const ChannelRow&) = default;
};

enum ChannelField { FieldChan = 0, FieldRelNam, FieldBack, FieldStUp, FieldStDn, FieldCount };

// The most characters a relay name and a state text hold.
inline constexpr int kRelayNameChars = 16;
inline constexpr int kStateTextChars = 3;

// The most characters a field holds; 0 where the field has no text limit.
int FieldTextLimit(int field);

// The column caption of a field ("Relay name").
QString FieldCaption(int field);

// A cell's value as the table's EditRole gives it: the text, or for the back contact a bool.
QVariant CellValue(const ChannelRow& row, int field);
// The text of a cell; empty for the back contact.
QString CellText(const ChannelRow& row, int field);
void SetCellValue(ChannelRow& row, int field, const QVariant& value);

// What a cell holds, as an edit sets it: a text cell's text, or whether the back contact is
// wired. Plain members, not a variant: a paste of a whole table makes thousands of these.
struct CellContent
{
    QString text;
    bool back = false;

    CellContent() = default;
    CellContent(QString cellText) : text(std::move(cellText)) {}
    // Only a bool itself: a pointer or a number is no back contact.
    template <std::same_as<bool> Bool>
    CellContent(Bool isBack) : back(isBack) {}

    friend bool operator==(const CellContent&, const CellContent&) = default;
};

CellContent ContentOf(const ChannelRow& row, int field);
void SetCellContent(ChannelRow& row, int field, const CellContent& content);

// One cell's change, kept to be made and unmade: an edit, paste, delete or replace is a
// list of these.
struct CellChange
{
    int row = 0;
    int field = 0;
    CellContent before;
    CellContent after;

    friend bool operator==(const CellChange&, const CellChange&) = default;
};

// The defaults of row r: id of channel r + 1, "Spare " + id, front contact, "UP", "DN".
ChannelRow DefaultRow(int r);

// The first n rows of a table, with their defaults.
std::vector<ChannelRow> DefaultRows(int n);

// Adds rows, with their defaults, until there are n.
void AppendDefaultRows(std::vector<ChannelRow>& rows, int n);

// Gives rows start .. end their defaults.
void FillDefaultRows(std::vector<ChannelRow>& rows, int start);

// The channel table of the site being edited, shown and edited through a table view.
// Row r is channel r + 1. Bulk changes (resize, fill, replace) raise one notification
// each, so the view refreshes once.
class ChannelTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ChannelTable(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const std::vector<ChannelRow>& Rows() const { return rows_; }
    const ChannelRow& Row(int r) const { return rows_.at(static_cast<std::size_t>(r)); }

    // Replaces every row in one step.
    void ReplaceRows(std::vector<ChannelRow> rows);
    // Sets the row count: rows from n on are dropped, added rows are empty until filled.
    void Resize(int n);
    // Gives rows start .. row count - 1 their defaults; refreshes the view once, also
    // when no row was filled.
    void FillDefaultRows(int start);
    // Writes the after values of changes (or, with useAfter false, their before values in
    // reverse order) and refreshes the view once over the rectangle they span, as undo and
    // redo make them.
    void ApplyChanges(const std::vector<CellChange>& changes, bool useAfter);

    // Sends the user's edits through the view (setData) to handler instead of writing them,
    // so that it can make each one an undoable step; without a handler setData writes.
    void SetEditHandler(std::function<void(const CellChange&)> handler) { editHandler_ = std::move(handler); }

private:
    std::vector<ChannelRow> rows_;
    std::function<void(const CellChange&)> editHandler_;
};

} // namespace mr640

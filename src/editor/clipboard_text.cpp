#include "clipboard_text.h"

#include <algorithm>
#include <utility>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

QString Quoted(const QString& cell)
{
    static const QString specials = u"\t\r\n\""_s;
    if (std::none_of(cell.begin(), cell.end(), [](QChar c) { return specials.contains(c); }))
        return cell;
    QString quoted = cell;
    quoted.replace(u'"', u"\"\""_s);
    return u'"' + quoted + u'"';
}

// Reads a text through cells, one at a time.
class CellReader
{
public:
    // Quoted cells' contents go to unquoted.
    CellReader(QStringView text, std::vector<QString>& unquoted) : text_(text), unquoted_(unquoted) {}

    bool AtEnd() const { return pos_ >= text_.size(); }

    // The cell starting at the reading position; afterwards the position is past the
    // tab or the line end that ended it. rowEnded tells which.
    QStringView Next(bool& rowEnded)
    {
        QString quoted;
        QStringView cell;
        if (ReadQuoted(quoted)) {
            unquoted_.push_back(std::move(quoted));
            cell = unquoted_.back();
        } else {
            cell = ReadPlain();
        }
        rowEnded = SkipSeparator();
        return cell;
    }

private:
    // The length of the line end at i: 2 for CR LF, 1 for LF, 0 for none.
    qsizetype LineEndAt(qsizetype i) const
    {
        if (i < text_.size() && text_[i] == u'\n')
            return 1;
        if (i + 1 < text_.size() && text_[i] == u'\r' && text_[i + 1] == u'\n')
            return 2;
        return 0;
    }

    bool EndsCellAt(qsizetype i) const
    {
        return i >= text_.size() || text_[i] == u'\t' || LineEndAt(i) > 0;
    }

    // A quoted cell from the position, or false with the position unchanged when the
    // cell is not one.
    bool ReadQuoted(QString& cell)
    {
        if (AtEnd() || text_[pos_] != u'"')
            return false;
        QString content;
        for (qsizetype i = pos_ + 1; i < text_.size(); ++i) {
            if (text_[i] != u'"') {
                content += text_[i];
            } else if (i + 1 < text_.size() && text_[i + 1] == u'"') {
                content += u'"';
                ++i;
            } else if (EndsCellAt(i + 1)) {
                cell = content;
                pos_ = i + 1;
                return true;
            } else {
                return false;
            }
        }
        return false;
    }

    QStringView ReadPlain()
    {
        const qsizetype start = pos_;
        for (;; ++pos_) {
            // No character above CR ends a cell: the run of them is passed over first.
            while (pos_ < text_.size() && text_[pos_].unicode() > u'\r')
                ++pos_;
            if (EndsCellAt(pos_))
                break;
        }
        return text_.sliced(start, pos_ - start);
    }

    bool SkipSeparator()
    {
        if (AtEnd())
            return true;
        if (text_[pos_] == u'\t') {
            ++pos_;
            return false;
        }
        pos_ += LineEndAt(pos_);
        return true;
    }

    QStringView text_;
    std::vector<QString>& unquoted_;
    qsizetype pos_ = 0;
};

} // namespace

QString CellsToText(const CellBlock& cells)
{
    QString text;
    for (const QStringList& row : cells) {
        QStringList quoted;
        for (const QString& cell : row)
            quoted.append(Quoted(cell));
        text += quoted.join(u'\t') + u"\r\n"_s;
    }
    return text;
}

CellViews TextToCellViews(QStringView text)
{
    CellViews views;
    CellReader reader(text, views.unquoted);
    while (!reader.AtEnd()) {
        bool rowEnded = false;
        views.cells.push_back(reader.Next(rowEnded));
        if (rowEnded)
            views.rowEnds.push_back(views.cells.size());
    }
    // A tab at the very end leaves an empty last cell.
    const std::size_t ended = views.rowEnds.empty() ? 0 : views.rowEnds.back();
    if (ended < views.cells.size()) {
        views.cells.emplace_back();
        views.rowEnds.push_back(views.cells.size());
    }
    return views;
}

CellBlock TextToCells(QStringView text)
{
    CellBlock cells;
    const CellViews views = TextToCellViews(text);
    for (std::size_t r = 0; r < views.RowCount(); ++r) {
        const std::span<const QStringView> cellsOfRow = views.Row(r);
        QStringList row;
        row.reserve(static_cast<qsizetype>(cellsOfRow.size()));
        for (QStringView cell : cellsOfRow)
            row.append(cell.toString());
        cells.push_back(std::move(row));
    }
    return cells;
}

} // namespace mr640

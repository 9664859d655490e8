#pragma once

#include "editor/channel_table.h"

#include <QModelIndex>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <ostream>

// Lets test failures show Qt texts, cells and rows as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '{';
    for (const QString& s : list)
        *os << ' ' << '"' << s.toStdString() << '"';
    *os << " }";
}

inline void PrintTo(const QModelIndex& index, std::ostream* os)
{
    if (index.isValid())
        *os << "cell (row " << index.row() << ", column " << index.column() << ')';
    else
        *os << "no cell";
}

inline void PrintTo(const QPoint& point, std::ostream* os)
{
    *os << '(' << point.x() << ", " << point.y() << ')';
}

namespace mr640 {

inline void PrintTo(const ChannelRow& row, std::ostream* os)
{
    *os << '{' << row.Chan.toStdString() << " \"" << row.relNam.toStdString() << "\" "
        << (row.back ? "Back" : "Front") << " \"" << row.stUp.toStdString() << "\" \"" << row.stDn.toStdString()
        << "\"}";
}

inline void PrintTo(const CellContent& content, std::ostream* os)
{
    *os << '"' << content.text.toStdString() << "\" " << (content.back ? "Back" : "Front");
}

} // namespace mr640

#include "plain_model.h"

namespace mr640::bench {

using namespace Qt::StringLiterals;

// Texts like a site's, made here so the bare program needs nothing but Qt.
PlainModel::PlainModel()
{
    for (int r = 0; r < 384; ++r) {
        const QString id = QString(QChar(u'A')) + QChar(char16_t(u'A' + r / 48)) +
                           u"%1"_s.arg(r % 48 + 1, 2, 10, QChar(u'0'));
        cells_.push_back({id, u"%1 TPR %2"_s.arg(r / 48 + 1).arg(r % 48 + 1),
                          r % 3 == 0 ? u"Back"_s : u"Front"_s, u"UP"_s, u"DN"_s});
    }
}

int PlainModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(cells_.size());
}

int PlainModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 5;
}

QVariant PlainModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    return cells_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
}

} // namespace mr640::bench

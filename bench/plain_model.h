#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <vector>

namespace mr640::bench {

// 384 rows of five texts, nothing more: what a bare window shows.
class PlainModel : public QAbstractTableModel
{
public:
    PlainModel();
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<std::array<QString, 5>> cells_;
};

} // namespace mr640::bench

#pragma once

#include <QTableView>

namespace mr640 {

// The grid SGGrid1: the channel table's view and editor. Its columns are set up with
// their widths, which the user may resize, and the 16-character limit on relay names.
class ChannelGrid : public QTableView
{
    Q_OBJECT

public:
    explicit ChannelGrid(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    // Stores the text being typed in a cell into the table and closes the editor.
    void EndEdit();

    static constexpr int kRelayNameLimit = 16;
};

} // namespace mr640

#include "edit_history.h"

#include "editor/channel_ids.h"

#include <QItemSelectionModel>
#include <QTableView>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// Where the user was: the current cell and the selected rectangles, as plain numbers so
// that they outlive any change of the model.
struct Place
{
    int row = -1;
    int column = -1;
    std::vector<QRect> selection; // x = column, y = row

    static Place Of(const QTableView& view)
    {
        Place place;
        place.row = view.currentIndex().row();
        place.column = view.currentIndex().column();
        if (const QItemSelectionModel* model = view.selectionModel())
            for (const QItemSelectionRange& range : model->selection())
                place.selection.emplace_back(QPoint(range.left(), range.top()),
                                             QPoint(range.right(), range.bottom()));
        return place;
    }

    void RestoreIn(QTableView& view) const
    {
        QAbstractItemModel* model = view.model();
        QItemSelectionModel* selectionModel = view.selectionModel();
        if (!model || !selectionModel)
            return;
        QItemSelection selected;
        for (const QRect& r : selection)
            selected.select(model->index(r.top(), r.left()), model->index(r.bottom(), r.right()));
        const QModelIndex current = model->index(row, column);
        selectionModel->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
        selectionModel->select(selected, QItemSelectionModel::ClearAndSelect);
        if (current.isValid())
            view.scrollTo(current);
    }
};

class CellsCommand : public QUndoCommand
{
public:
    CellsCommand(EditHistory& history, ChannelTable& table, QTableView& view, const QString& text,
                 std::vector<CellChange> changes)
        : QUndoCommand(text), history_(history), table_(table), view_(view), changes_(std::make_shared<const std::vector<CellChange>>(std::move(changes))),
          place_(Place::Of(view))
    {
    }

    void redo() override
    {
        emit history_.CellsSetting(changes_, done_ ? StepKind::Redone : StepKind::Done);
        table_.ApplyChanges(*changes_, true);
        // The first doing happens where the user is; only a redo moves there.
        if (done_)
            place_.RestoreIn(view_);
        done_ = true;
    }

    void undo() override
    {
        emit history_.CellsSetting(changes_, StepKind::Undone);
        table_.ApplyChanges(*changes_, false);
        place_.RestoreIn(view_);
    }

private:
    EditHistory& history_;
    ChannelTable& table_;
    QTableView& view_;
    SharedChanges changes_;
    Place place_;
    bool done_ = false;
};

} // namespace

EditHistory::EditHistory(ChannelTable& table, QTableView& view, QObject* parent)
    : QObject(parent), table_(table), view_(view)
{
    table_.SetEditHandler([this](const CellChange& change) {
        const QString id = ChannelIdFromNumber(change.row + 1);
        Record(change.field == FieldBack ? u"Back Contact of "_s + id : u"Typing in "_s + id, {change});
    });
    connect(&stack_, &QUndoStack::indexChanged, this, [this] {
        if (!starting_)
            emit Stepped(stack_.isClean());
    });
}

EditHistory::~EditHistory()
{
    table_.SetEditHandler({});
}

void EditHistory::Record(const QString& text, std::vector<CellChange> changes)
{
    if (!changes.empty())
        stack_.push(new CellsCommand(*this, table_, view_, text, std::move(changes)));
}

void EditHistory::Start(bool saved)
{
    starting_ = true;
    stack_.clear();
    if (!saved)
        stack_.resetClean();
    starting_ = false;
    emit Restarted(saved);
}

void EditHistory::MarkSaved()
{
    stack_.setClean();
    emit Restarted(true);
}

} // namespace mr640

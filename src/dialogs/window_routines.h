#pragma once

class QComboBox;
class QListWidget;
class QWidget;

namespace mr640 {

// The integer attached to the selected entry of a list; 0 when none is selected.
int SelectedItemData(const QComboBox& list);
int SelectedItemData(const QListWidget& list);

// Moves the window to the middle of its screen (rounded half to even); a window larger
// than the screen goes to its left or top edge. Its size does not change.
void CentreWindow(QWidget& window);

} // namespace mr640

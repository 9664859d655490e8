#pragma once

#include <QString>

class QMimeData;

namespace mr640 {

class FrmDips;

// Lets window take a .dip or .csv file dropped on it: the file opens as Open opens it,
// after the save question, once the drop has ended. Anything else is refused while it is
// dragged over the window, so the cursor shows it, and changes nothing.
void AcceptSiteDrops(FrmDips& window);

// The site file a drag carries: exactly one local file whose name selects a format;
// empty for anything else.
QString DraggedSiteFile(const QMimeData& data);

} // namespace mr640

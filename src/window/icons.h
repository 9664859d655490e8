#pragma once

#include <QIcon>
#include <QString>

namespace mr640 {

// The picture of the toolbar button with this key ("New", "Open", "Import", "Save",
// "Export", "Labels"): the icon theme's when the theme has a picture for every one of the
// six buttons, else the program's own set, so the toolbar never mixes two styles. A null
// icon for any other key.
QIcon ToolbarIcon(const QString& key);

// The program's own icon, the picture the package installs into the hicolor theme, in
// every size it is drawn at.
QIcon ApplicationIcon();

} // namespace mr640

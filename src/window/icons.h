#pragma once

#include <QIcon>
#include <QString>

class QStyle;

namespace mr640 {

// The picture of the toolbar button with this key ("New", "Open", "Import", "Save",
// "Export", "Labels"): the icon theme's when the theme has a picture for every one of the
// six buttons, else the program's own set, so the toolbar never mixes two styles. A null
// icon for any other key.
QIcon ToolbarIcon(const QString& key);

// The program's own icon, the picture the package installs into the hicolor theme, in
// every size it is drawn at.
QIcon ApplicationIcon();

// A new style (the caller owns it): the platform's, except that the pictures of the
// overflow buttons of the menu bar and the toolbars are read when first drawn, as they
// seldom are. The platform's style reads them as each bar is made, and the first picture
// read makes Qt look through its image plugins, all before the window first shows.
QStyle* StyleWithDeferredBarIcons();

} // namespace mr640

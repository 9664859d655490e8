#pragma once

#include <QString>

class QMenu;

namespace mr640 {

class FrmDips;
class SettingsStore;
class Ui;

// Ends the File menu, after its own entries: the recent sites, then "&Quit" (Ctrl+Q),
// which closes the window as its frame's close button does.
void AddFileMenuEnd(FrmDips& window, QMenu& file, SettingsStore& settings, Ui& ui);

// Adds the "&Help" menu at the end of the menu bar: "Import guide" shows the help window,
// "Command line" the command line's help, "Keyboard shortcuts" the keys of the menus'
// commands, "About MR640Config" the program's version, Qt's and where its files are.
void AddHelpMenu(FrmDips& window, Ui& ui, const SettingsStore& settings);

// The text of the About box, naming the settings file given.
QString AboutText(const QString& settingsFile);

} // namespace mr640

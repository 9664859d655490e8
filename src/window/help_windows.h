#pragma once

class QMainWindow;
class QWidget;

namespace mr640 {

class Ui;

// The Help menu's reference windows, run modally through ui over parent as the import
// guide is.

// "Command line": the whole help of `mr640config --help` (CommandLineHelp), read-only in a
// monospace font so its columns line up.
void ShowCommandLineHelp(Ui& ui, QWidget* parent);

// "Keyboard shortcuts": every command of the window's menus that has keys, with its menu,
// its name and its keys, read from the menus' actions as they are when the window opens.
void ShowKeyboardShortcuts(Ui& ui, QMainWindow& window);

} // namespace mr640

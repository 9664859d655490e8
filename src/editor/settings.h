#pragma once

#include <QList>
#include <QRect>
#include <QString>

namespace mr640 {

class SettingsStore;

// The remembered directories, one record for the whole run.
struct DirectorySettings
{
    QString filePath; // where site files were last opened or saved
    QString cfPath;   // where the last export to a card went
    QString insPath;  // the Instead configuration directory
};

// The main window's placement in twips (15 twips to a pixel).
struct WindowPlacement
{
    float top = 500;
    float left = 500;
    float height = 9375;
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr float kFixedWidthTwips = 6945;
inline constexpr float kMinimumHeightTwips = 2000;
inline constexpr float kGridBottomMarginTwips = 30;

// Twips as whole pixels, held to a range any window position or size can take.
int PixelsOf(float twips);

// About the height of the frame's title bar, by which the user moves a window; it lies
// at the window's top, above the window's own height.
inline constexpr int kTitleBarPixels = 30;

// Where the main window goes, in pixels (its frame's top left, its own size), for a
// stored placement: where it was stored, unless its title bar would then lie off the
// available area of every screen (a monitor since unplugged, a figure edited by hand);
// then inside the nearest of them, with its title bar, its height shrunk to fit when
// taller. Without screens, as stored.
QRect PlacedWindow(const WindowPlacement& placement, const QList<QRect>& screens);

// The default of filePath and cfPath: the home directory with a trailing "/".
QString DefaultSiteDirectory();

// The default of insPath: where the Instead software keeps its configuration when it runs
// under Wine, ~/.wine/drive_c/Program Files/Sentinel/config, when that folder exists; else
// the home directory. (The program's own folder, /usr/bin once installed, never holds it.)
QString DefaultInsteadDirectory();

// Absent entries get their defaults; a stored empty text stays empty.
DirectorySettings LoadDirectories(const SettingsStore& store);
void SaveDirectories(SettingsStore& store, const DirectorySettings& directories);

// Absent entries and entries that are not a finite number ("tall", "nan", "inf") get
// their defaults.
WindowPlacement LoadWindowPlacement(const SettingsStore& store);
// Whole numbers are written without a decimal point ("9375").
void SaveWindowPlacement(SettingsStore& store, const WindowPlacement& placement);

} // namespace mr640

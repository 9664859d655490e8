#pragma once

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

// The default of filePath and cfPath: the home directory with a trailing "/".
QString DefaultSiteDirectory();

// Absent entries get their defaults (insPath: the folder of the program); a stored empty
// text stays empty.
DirectorySettings LoadDirectories(const SettingsStore& store);
void SaveDirectories(SettingsStore& store, const DirectorySettings& directories);

// Absent or non-numeric entries get their defaults.
WindowPlacement LoadWindowPlacement(const SettingsStore& store);
// Whole numbers are written without a decimal point ("9375").
void SaveWindowPlacement(SettingsStore& store, const WindowPlacement& placement);

} // namespace mr640

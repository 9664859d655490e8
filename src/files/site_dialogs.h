#pragma once

#include <QString>

namespace mr640 {

class Ui;
struct ChosenFile;
struct FileDialogRequest;

// The open dialog of a dip or CSV site file, with this title, in folder.
FileDialogRequest OpenSiteDialog(const QString& title, const QString& folder);

// Says that the chosen name selects no format, so that the file was not notDone
// ("opened", "saved", "compared").
void ReportNoFormat(Ui& ui, const ChosenFile& chosen, const QString& notDone);

// Warns that the site could not be saved to path, naming the file and the reason.
void ReportSaveFailure(Ui& ui, const QString& path, const QString& reason);

} // namespace mr640

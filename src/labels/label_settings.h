#pragma once

#include "label_sheets.h"

#include <QPointF>
#include <QString>
#include <vector>

namespace mr640 {

class SettingsStore;

// The sheets the user defined, by name, as the settings store keeps them (section
// "LabelSheets"); entries that do not read as a sheet are left out.
std::vector<LabelSheet> LoadCustomSheets(const SettingsStore& settings);
// Keeps the sheet under its name, replacing one of the same name.
void SaveCustomSheet(SettingsStore& settings, const LabelSheet& sheet);
void RemoveCustomSheet(SettingsStore& settings, const QString& name);

// The calibration of a printer (section "PrinterOffsets", by printer name): how far, in
// mm, everything printed on it is moved right and down. (0, 0) for a printer never set.
QPointF LoadPrinterOffsets(const SettingsStore& settings, const QString& printer);
void SavePrinterOffsets(SettingsStore& settings, const QString& printer, QPointF offsets);

} // namespace mr640

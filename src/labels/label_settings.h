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
// Forgets the sheet and its first unused label.
void RemoveCustomSheet(SettingsStore& settings, const QString& name);

// The first unused label of a partly used sheet (section "FirstLabel", by sheet name), as a
// slot from 0; 0 for a sheet never used or not read as a slot.
int LoadFirstLabel(const SettingsStore& settings, const QString& sheet);
void SaveFirstLabel(SettingsStore& settings, const QString& sheet, int slot);

// The calibration of a printer (section "PrinterOffsets", by printer name): how far, in
// mm, everything printed on it is moved right and down. (0, 0) for a printer never set.
QPointF LoadPrinterOffsets(const SettingsStore& settings, const QString& printer);
void SavePrinterOffsets(SettingsStore& settings, const QString& printer, QPointF offsets);

} // namespace mr640

#pragma once

#include "labels/label_sheets.h"
#include "rules.h"

// The label-fit rule over the label layout. The rule knows only NameFit; this file is the
// one place that knows how labels are laid out.
namespace mr640 {

class SettingsStore;

// Whether a channel's line (its id, relay name and contact) set on a label of the sheet
// fits at the smallest size labels are printed in.
NameFit LabelNameFit(const LabelSheet& sheet);

// The sheet last chosen for printing labels, built-in or custom; the first built-in sheet
// when none was chosen or the chosen one is gone.
LabelSheet LastLabelSheet(const SettingsStore& settings);

} // namespace mr640

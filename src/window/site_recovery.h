#pragma once

#include "editor/journal_records.h"
#include "platform/journal_file.h"

#include <optional>

namespace mr640 {

class Ui;

// A site the person chose to recover from a journal that a program that stopped left.
struct SiteRecovery
{
    RecoveredSite site;
    bool compare = false; // and see it against its file, which changed since
    LeftJournal journal;  // removed once the recovered site is safe in a journal of its own
};

// Asks about each journal left in folder by a program that is no longer running, the most
// recent first: "MR640Config did not close normally while NAME was being edited. Recover
// the 12 unsaved changes (the last at 14:02)?" with Recover, Discard and Later (and Compare
// when the site's file changed since). Discard removes the journal, Later keeps it for the
// next start; the first one recovered is returned, the rest are kept. A journal that holds
// no unsaved change is removed, after saying so when changes at its end could not be read.
std::optional<SiteRecovery> AskAboutLeftJournals(Ui& ui, const QString& folder);

} // namespace mr640

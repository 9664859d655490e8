#pragma once

#include <vector>

namespace mr640 {

// The window that shows the site being edited, as the commands working on the site see it:
// its caption, its modified flag, the grid's cursor and the edit history. The main window
// implements it and hands itself to the commands it owns, which keep it for their life.
class SiteWindow
{
public:
    // The caption shows the site's name as it is now.
    virtual void UpdateTitle() = 0;

    // Whether the site on screen holds changes its file does not.
    virtual bool modified() const = 0;
    virtual void SetModified(bool value) = 0;
    // True when the caller may give up the site on screen: nothing to save, saved, or the
    // user chose not to save. False when the user cancelled or the save did not complete.
    virtual bool QuerySave() = 0;

    // Stores the text being typed in a cell into the table, so a command works on what the
    // screen shows.
    virtual void EndEdit() = 0;
    // The rows holding a selected cell of the grid, in order, each once.
    virtual std::vector<int> SelectedRows() const = 0;
    // After the program resized the table: the channel-count list shows its size.
    virtual void ShowChannelCount() = 0;

    // After the program replaced or resized the table: the edit history starts afresh (from
    // a saved state unless modified) and the cursor goes to AA01's relay name.
    virtual void StartHistory() = 0;
    // The table as it is now has been saved: not modified, and the history's saved state.
    virtual void MarkSaved() = 0;

protected:
    ~SiteWindow() = default;
};

} // namespace mr640

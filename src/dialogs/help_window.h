#pragma once

class QDialog;

namespace mr640 {

class Ui;

// FrmHelp, the modal window that shows a help document compiled into the program. The
// one document is the import guide, id 101.
class FrmHelp
{
public:
    explicit FrmHelp(Ui& ui) : ui_(ui) {}

    // Loads the document helpID afresh, shows it from its top and returns when the user
    // has closed the window. Throws std::runtime_error when no document has that id.
    void ShowHelp(int helpID);

private:
    Ui& ui_;
};

} // namespace mr640

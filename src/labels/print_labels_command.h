#pragma once

#include <memory>

class QWidget;

namespace mr640 {

class ChannelTable;
class FrmPrintLabels;
class SettingsStore;
class SiteFile;
class SiteWindow;
class Ui;
struct DirectorySettings;

// Print labels: the "Print labels" dialog for the table, the rows selected in the grid and
// the site's name, offering the PDF in filePath. The dialog is made on first use, over
// parent, and keeps its choices for the run. Owned by the window; what it is handed
// outlives it.
class PrintLabelsCommand
{
public:
    PrintLabelsCommand(const ChannelTable& table, Ui& ui, SettingsStore& settings,
                       const DirectorySettings& directories, const SiteFile& siteFile,
                       SiteWindow& window, QWidget& parent);
    ~PrintLabelsCommand();

    void PrintLabels();

private:
    const ChannelTable& table_;
    Ui& ui_;
    SettingsStore& settings_;
    const DirectorySettings& directories_;
    const SiteFile& siteFile_;
    SiteWindow& window_;
    QWidget& parent_;
    std::unique_ptr<FrmPrintLabels> dialog_;
};

} // namespace mr640

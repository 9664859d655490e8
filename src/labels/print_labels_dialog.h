#pragma once

#include "label_renderer.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QRadioButton;
class QSpinBox;

namespace mr640 {

class ChannelTable;
class SettingsStore;
class SheetPicture;
class Ui;

// The "Print labels" dialog: what to print on which sheet, a picture of the first page as
// it will print, and three ways out that paint with the same renderer: Preview, Print and
// Save as PDF. Sheets the user defines and each printer's calibration are kept in the
// settings store. Every question goes through ui.
class FrmPrintLabels : public QDialog
{
    Q_OBJECT

public:
    FrmPrintLabels(Ui& ui, SettingsStore& settings, QWidget* parent = nullptr);
    ~FrmPrintLabels() override;

    // Shows the dialog modally for the table as it is now: selected are the rows selected
    // in the grid, siteName heads the labels when asked for and names the PDF, which is
    // offered in pdfFolder.
    void ShowFor(const ChannelTable& table, std::vector<int> selected, const QString& siteName,
                 const QString& pdfFolder);

    // The job the dialog's choices make, calibrated for the printer named (none: no offsets).
    LabelJob CurrentJob(const QString& printer = {}) const;
    // The sheet chosen now.
    LabelSheet CurrentSheet() const;

    // Commands of the buttons.
    void Preview();
    void Print();
    void SaveAsPdf();
    // Asks for a new sheet, starting from the chosen one; keeps it and chooses it when it
    // lies inside its page.
    void NewSheet();
    void RemoveSheet();

private:
    void BuildControls();
    void FillSheets(const QString& choose);
    void RememberSheet();
    // Sets the first label to the one kept for the chosen sheet.
    void ShowFirstLabel();
    // Keeps the first label the print left unused on its sheet, and shows it.
    void UsedUpTo(const LabelPrint& print);
    // Reads the printers anew, keeping the one chosen while it is there, else the default.
    void FillPrinters();
    void Refresh();
    std::vector<int> ChosenRows() const;
    // Lists the labels that do not fit at the smallest size; true when the user goes on.
    bool ConfirmUnfit(const LabelPrint& print);
    // A printer set to the sheet's page, whole page, named printer first.
    void SetUpPrinter(QPrinter& printer) const;
    void LoadOffsets();
    void SaveOffsets();

    Ui& ui_;
    SettingsStore& settings_;
    const ChannelTable* table_ = nullptr;
    std::vector<int> selected_;
    QString siteName_;
    QString pdfFolder_;
    std::vector<LabelSheet> customSheets_;
    bool loading_ = false;

    QComboBox* sheet_ = nullptr;
    QComboBox* perLabel_ = nullptr;
    QCheckBox* stateTexts_ = nullptr;
    QCheckBox* title_ = nullptr;
    QCheckBox* leaveOutSpares_ = nullptr;
    QRadioButton* all_ = nullptr;
    QRadioButton* range_ = nullptr;
    QLineEdit* rangeText_ = nullptr;
    QRadioButton* selection_ = nullptr;
    QSpinBox* first_ = nullptr;
    QSpinBox* copies_ = nullptr;
    QDoubleSpinBox* points_ = nullptr;
    QCheckBox* sameSize_ = nullptr;
    QComboBox* printer_ = nullptr;
    QDoubleSpinBox* offsetX_ = nullptr;
    QDoubleSpinBox* offsetY_ = nullptr;
    QCheckBox* outlines_ = nullptr;
    SheetPicture* picture_ = nullptr;
    QLabel* summary_ = nullptr;
};

} // namespace mr640

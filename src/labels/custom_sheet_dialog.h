#pragma once

#include "label_sheets.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLineEdit;
class QSpinBox;

namespace mr640 {

class Ui;

// "New label sheet": a name, the paper and the label grid in millimetres. OK accepts only
// a sheet that lies inside its page and whose name no built-in sheet has; otherwise it
// says why through ui and stays open.
class FrmCustomSheet : public QDialog
{
public:
    // Starts from the figures of start.
    FrmCustomSheet(Ui& ui, const LabelSheet& start, QWidget* parent = nullptr);

    LabelSheet Sheet() const;
    void accept() override;

private:
    QDoubleSpinBox* AddLength(const char* name, const QString& caption, double value);

    Ui& ui_;
    QLineEdit* name_ = nullptr;
    QComboBox* paper_ = nullptr;
    QDoubleSpinBox* pageWidth_ = nullptr;
    QDoubleSpinBox* pageHeight_ = nullptr;
    QDoubleSpinBox* labelWidth_ = nullptr;
    QDoubleSpinBox* labelHeight_ = nullptr;
    QDoubleSpinBox* radius_ = nullptr;
    QSpinBox* columns_ = nullptr;
    QSpinBox* rows_ = nullptr;
    QDoubleSpinBox* x0_ = nullptr;
    QDoubleSpinBox* y0_ = nullptr;
    QDoubleSpinBox* dx_ = nullptr;
    QDoubleSpinBox* dy_ = nullptr;
    QFormLayout* form_ = nullptr;
};

} // namespace mr640

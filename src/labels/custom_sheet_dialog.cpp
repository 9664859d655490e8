#include "custom_sheet_dialog.h"

#include "platform/ui.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

QSpinBox* Count(const char* name, int value)
{
    auto* box = new QSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(1, 50);
    box->setValue(value);
    return box;
}

} // namespace

FrmCustomSheet::FrmCustomSheet(Ui& ui, const LabelSheet& start, QWidget* parent)
    : QDialog(parent), ui_(ui)
{
    setObjectName(u"FrmCustomSheet"_s);
    setWindowTitle(u"New label sheet"_s);
    auto* layout = new QVBoxLayout(this);
    form_ = new QFormLayout;
    layout->addLayout(form_);

    name_ = new QLineEdit;
    name_->setObjectName(u"TxtSheetName"_s);
    name_->setMaxLength(40);
    form_->addRow(u"&Name:"_s, name_);
    paper_ = new QComboBox;
    paper_->setObjectName(u"CmbPaper"_s);
    paper_->addItem(u"A4"_s, QSizeF(kA4Width, kA4Height));
    paper_->addItem(u"US Letter"_s, QSizeF(kLetterWidth, kLetterHeight));
    paper_->addItem(u"Other size"_s);
    form_->addRow(u"&Paper:"_s, paper_);
    pageWidth_ = AddLength("SpnPageWidth", u"Page &width:"_s, start.pageWidth);
    pageHeight_ = AddLength("SpnPageHeight", u"Page &height:"_s, start.pageHeight);
    labelWidth_ = AddLength("SpnLabelWidth", u"La&bel width:"_s, start.labelWidth);
    labelHeight_ = AddLength("SpnLabelHeight", u"Label hei&ght:"_s, start.labelHeight);
    radius_ = AddLength("SpnRadius", u"Corner r&adius:"_s, start.cornerRadius);
    columns_ = Count("SpnColumns", start.columns);
    form_->addRow(u"Colu&mns:"_s, columns_);
    rows_ = Count("SpnRows", start.rows);
    form_->addRow(u"&Rows:"_s, rows_);
    x0_ = AddLength("SpnLeft", u"First label from the &left:"_s, start.x0);
    y0_ = AddLength("SpnTop", u"First label from the &top:"_s, start.y0);
    dx_ = AddLength("SpnPitchX", u"Acros&s, left edge to left edge:"_s, start.dx);
    dy_ = AddLength("SpnPitchY", u"&Down, top edge to top edge:"_s, start.dy);

    // The paper list sets the page size; a size typed by hand makes it "Other size".
    const auto showPaper = [this] {
        const int known = paper_->findData(QSizeF(pageWidth_->value(), pageHeight_->value()));
        paper_->setCurrentIndex(known >= 0 ? known : 2);
    };
    showPaper();
    connect(paper_, &QComboBox::activated, this, [this](int index) {
        const QSizeF size = paper_->itemData(index).toSizeF();
        if (!size.isEmpty()) {
            pageWidth_->setValue(size.width());
            pageHeight_->setValue(size.height());
        }
    });
    connect(pageWidth_, &QDoubleSpinBox::valueChanged, this, showPaper);
    connect(pageHeight_, &QDoubleSpinBox::valueChanged, this, showPaper);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(u"SheetButtons"_s);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(u"CmdSheetOk"_s);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(u"CmdSheetCancel"_s);
    // Their letters are part of the dialog's set, whatever the platform's theme gives them.
    buttons->button(QDialogButtonBox::Ok)->setText(u"&OK"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"&Cancel"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &FrmCustomSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FrmCustomSheet::reject);
    layout->addWidget(buttons);
}

QDoubleSpinBox* FrmCustomSheet::AddLength(const char* name, const QString& caption, double value)
{
    auto* box = new QDoubleSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(-50, 1000);
    box->setDecimals(2);
    box->setSingleStep(0.1);
    box->setSuffix(u" mm"_s);
    box->setValue(value);
    form_->addRow(caption, box);
    return box;
}

LabelSheet FrmCustomSheet::Sheet() const
{
    return {name_->text().trimmed(),
            u"Custom sheet"_s,
            pageWidth_->value(),
            pageHeight_->value(),
            labelWidth_->value(),
            labelHeight_->value(),
            radius_->value(),
            columns_->value(),
            rows_->value(),
            x0_->value(),
            y0_->value(),
            dx_->value(),
            dy_->value()};
}

void FrmCustomSheet::accept()
{
    const LabelSheet sheet = Sheet();
    std::optional<QString> problem = SheetProblem(sheet);
    if (!problem && FindSheet(sheet.name))
        problem = u"A built-in sheet is called %1: choose another name."_s.arg(
            FindSheet(sheet.name)->name);
    if (problem) {
        ui_.ShowMessage({*problem, MessageIcon::Exclamation, MessageButtons::Ok, windowTitle()});
        return;
    }
    QDialog::accept();
}

} // namespace mr640

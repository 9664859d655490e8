#include "print_labels_dialog.h"

#include "custom_sheet_dialog.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "label_settings.h"
#include "platform/settings_store.h"
#include "platform/ui.h"
#include "sheet_picture.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <numeric>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

const QString kTitle = u"Print labels"_s;
const QString kLabelsSection = u"Labels"_s;
const QString kSheetKey = u"sheet"_s; // the sheet last chosen
constexpr int kUnfitListed = 12;      // labels named in the question; the rest are counted

template <typename Widget> Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QDoubleSpinBox* OffsetBox(const char* name)
{
    auto* box = Named(new QDoubleSpinBox, name);
    box->setRange(-20, 20);
    box->setDecimals(1);
    box->setSingleStep(0.1);
    box->setSuffix(u" mm"_s);
    return box;
}

} // namespace

FrmPrintLabels::FrmPrintLabels(Ui& ui, SettingsStore& settings, QWidget* parent)
    : QDialog(parent), ui_(ui), settings_(settings)
{
    setObjectName(u"FrmPrintLabels"_s);
    setWindowTitle(kTitle);
    BuildControls();
    customSheets_ = LoadCustomSheets(settings_);
    FillSheets(settings_.Get(kLabelsSection, kSheetKey).value_or(BuiltInSheets().front().name));
}

FrmPrintLabels::~FrmPrintLabels() = default;

void FrmPrintLabels::BuildControls()
{
    auto* top = new QHBoxLayout(this);
    auto* choices = new QVBoxLayout;
    top->addLayout(choices);

    auto* sheetBox = Named(new QGroupBox(u"Sheet"_s), "FraSheet");
    auto* sheetForm = new QFormLayout(sheetBox);
    sheet_ = Named(new QComboBox, "CmbSheet");
    sheetForm->addRow(u"&Sheet:"_s, sheet_);
    auto* sheetButtons = new QHBoxLayout;
    auto* newSheet = Named(new QPushButton(u"&New sheet..."_s), "CmdNewSheet");
    auto* removeSheet = Named(new QPushButton(u"&Remove sheet"_s), "CmdRemoveSheet");
    sheetButtons->addWidget(newSheet);
    sheetButtons->addWidget(removeSheet);
    sheetForm->addRow(sheetButtons);
    first_ = Named(new QSpinBox, "SpnFirst");
    first_->setToolTip(
        u"The first unused label of a partly used sheet; a click on the picture chooses it too"_s);
    sheetForm->addRow(u"&First label:"_s, first_);
    copies_ = Named(new QSpinBox, "SpnCopies");
    copies_->setRange(1, 99);
    sheetForm->addRow(u"C&opies of each label:"_s, copies_);
    choices->addWidget(sheetBox);

    auto* contentBox = Named(new QGroupBox(u"On each label"_s), "FraContent");
    auto* contentForm = new QFormLayout(contentBox);
    perLabel_ = Named(new QComboBox, "CmbPerLabel");
    perLabel_->addItem(u"4 channels"_s, 4);
    perLabel_->addItem(u"1 channel"_s, 1);
    contentForm->addRow(u"C&hannels:"_s, perLabel_);
    points_ = Named(new QDoubleSpinBox, "SpnPoints");
    points_->setRange(kSmallestPoints, 24);
    points_->setSingleStep(0.5);
    points_->setDecimals(1);
    points_->setSuffix(u" pt"_s);
    points_->setValue(kLargestPoints);
    contentForm->addRow(u"Largest te&xt:"_s, points_);
    sameSize_ = Named(new QCheckBox(u"Same si&ze on every label"_s), "ChkSameSize");
    sameSize_->setChecked(true);
    sameSize_->setToolTip(u"Every label that fits at %1 pt in the largest size at which all of "
                          u"them fit; off, each label in its own largest"_s.arg(kSmallestPoints));
    stateTexts_ = Named(new QCheckBox(u"Show the s&tate texts"_s), "ChkStateTexts");
    title_ = Named(new QCheckBox(u"Site n&ame as a title line"_s), "ChkTitle");
    leaveOutSpares_ = Named(new QCheckBox(u"Leave o&ut spares"_s), "ChkLeaveOutSpares");
    for (QCheckBox* box : {sameSize_, stateTexts_, title_, leaveOutSpares_})
        contentForm->addRow(box);
    choices->addWidget(contentBox);

    auto* whatBox = Named(new QGroupBox(u"Channels to print"_s), "FraChannels");
    auto* whatLayout = new QVBoxLayout(whatBox);
    all_ = Named(new QRadioButton(u"&Every channel"_s), "OptAll");
    range_ = Named(new QRadioButton(u"Fro&m - to:"_s), "OptRange");
    rangeText_ = Named(new QLineEdit, "TxtRange");
    rangeText_->setPlaceholderText(u"AA01-BB48"_s);
    rangeText_->setAccessibleName(u"Channel range"_s);
    selection_ = Named(new QRadioButton(u"The rows se&lected in the grid"_s), "OptSelection");
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(range_);
    rangeRow->addWidget(rangeText_);
    whatLayout->addWidget(all_);
    whatLayout->addLayout(rangeRow);
    whatLayout->addWidget(selection_);
    auto* group = new QButtonGroup(this);
    for (QRadioButton* option : {all_, range_, selection_})
        group->addButton(option);
    all_->setChecked(true);
    choices->addWidget(whatBox);

    auto* printerBox = Named(new QGroupBox(u"Printer calibration"_s), "FraCalibration");
    auto* printerForm = new QFormLayout(printerBox);
    printer_ = Named(new QComboBox, "CmbPrinter"); // filled as the dialog opens
    printerForm->addRow(u"Pr&inter:"_s, printer_);
    offsetX_ = OffsetBox("SpnOffsetX");
    offsetY_ = OffsetBox("SpnOffsetY");
    printerForm->addRow(u"Move ri&ght:"_s, offsetX_);
    printerForm->addRow(u"Move do&wn:"_s, offsetY_);
    outlines_ = Named(new QCheckBox(u"Draw la&bel outlines"_s), "ChkOutlines");
    printerForm->addRow(outlines_);
    choices->addWidget(printerBox);
    choices->addStretch();

    auto* right = new QVBoxLayout;
    top->addLayout(right, 1);
    picture_ = new SheetPicture;
    right->addWidget(picture_, 1);
    summary_ = Named(new QLabel, "LblSummary");
    summary_->setWordWrap(true);
    right->addWidget(summary_);
    auto* buttons = new QHBoxLayout;
    auto* preview = Named(new QPushButton(u"Pre&view..."_s), "CmdPreview");
    auto* print = Named(new QPushButton(u"&Print..."_s), "CmdPrint");
    auto* pdf = Named(new QPushButton(u"Save as P&DF..."_s), "CmdSavePdf");
    auto* close = Named(new QPushButton(u"&Close"_s), "CmdClose");
    print->setDefault(true);
    for (QPushButton* button : {preview, print, pdf, close})
        buttons->addWidget(button);
    right->addLayout(buttons);

    connect(newSheet, &QPushButton::clicked, this, &FrmPrintLabels::NewSheet);
    connect(removeSheet, &QPushButton::clicked, this, &FrmPrintLabels::RemoveSheet);
    connect(preview, &QPushButton::clicked, this, &FrmPrintLabels::Preview);
    connect(print, &QPushButton::clicked, this, &FrmPrintLabels::Print);
    connect(pdf, &QPushButton::clicked, this, &FrmPrintLabels::SaveAsPdf);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(sheet_, &QComboBox::currentIndexChanged, this, [this, removeSheet] {
        removeSheet->setEnabled(!FindSheet(sheet_->currentData().toString()));
        if (loading_)
            return;
        RememberSheet();
        ShowFirstLabel();
        Refresh();
    });
    connect(printer_, &QComboBox::currentTextChanged, this, &FrmPrintLabels::LoadOffsets);
    for (QDoubleSpinBox* box : {offsetX_, offsetY_})
        connect(box, &QDoubleSpinBox::valueChanged, this, &FrmPrintLabels::SaveOffsets);
    for (QCheckBox* box : {sameSize_, stateTexts_, title_, leaveOutSpares_, outlines_})
        connect(box, &QCheckBox::toggled, this, &FrmPrintLabels::Refresh);
    // The first label is the state of the sheet in the printer: what the user sets is kept.
    connect(first_, &QSpinBox::valueChanged, this, [this] {
        SaveFirstLabel(settings_, CurrentSheet().name, first_->value() - 1);
        Refresh();
    });
    connect(copies_, &QSpinBox::valueChanged, this, &FrmPrintLabels::Refresh);
    connect(points_, &QDoubleSpinBox::valueChanged, this, &FrmPrintLabels::Refresh);
    connect(perLabel_, &QComboBox::currentIndexChanged, this, &FrmPrintLabels::Refresh);
    connect(group, &QButtonGroup::buttonToggled, this, &FrmPrintLabels::Refresh);
    connect(rangeText_, &QLineEdit::textEdited, this, [this] {
        range_->setChecked(true);
        Refresh();
    });
    // Its letter chooses the range and leads on to where it is typed.
    connect(range_, &QRadioButton::clicked, rangeText_, [this] { rangeText_->setFocus(); });
    picture_->onSlotClicked = [this](int slot) { first_->setValue(slot + 1); };
}

void FrmPrintLabels::FillSheets(const QString& choose)
{
    loading_ = true;
    sheet_->clear();
    for (const std::vector<LabelSheet>* list : {&BuiltInSheets(), &std::as_const(customSheets_)}) {
        for (const LabelSheet& sheet : *list)
            sheet_->addItem(sheet.name + u" \u2014 "_s + sheet.description, sheet.name);
    }
    const int index = sheet_->findData(choose, Qt::UserRole, Qt::MatchFixedString);
    sheet_->setCurrentIndex(std::max(index, 0));
    loading_ = false;
    ShowFirstLabel();
    Refresh();
}

void FrmPrintLabels::RememberSheet()
{
    settings_.Save(kLabelsSection, kSheetKey, sheet_->currentData().toString());
}

void FrmPrintLabels::ShowFirstLabel()
{
    const LabelSheet sheet = CurrentSheet();
    const QSignalBlocker quiet(first_);
    first_->setRange(1, sheet.LabelsPerPage());
    first_->setValue(LoadFirstLabel(settings_, sheet.name) + 1);
}

void FrmPrintLabels::UsedUpTo(const LabelPrint& print)
{
    SaveFirstLabel(settings_, print.Job().sheet.name, print.Run().NextFirst());
    ShowFirstLabel();
    Refresh();
}

void FrmPrintLabels::FillPrinters()
{
    const QString chosen = printer_->currentText();
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    {
        const QSignalBlocker quiet(printer_);
        printer_->clear();
        printer_->addItems(printers);
        printer_->setCurrentIndex(printers.indexOf(
            printers.contains(chosen) ? chosen : QPrinterInfo::defaultPrinterName()));
    }
    LoadOffsets();
}

LabelSheet FrmPrintLabels::CurrentSheet() const
{
    return FindSheet(sheet_->currentData().toString(), customSheets_)
        .value_or(BuiltInSheets().front());
}

std::vector<int> FrmPrintLabels::ChosenRows() const
{
    if (!table_)
        return {};
    const auto& rows = table_->Rows();
    if (selection_->isChecked())
        return selected_;
    if (range_->isChecked()) {
        const auto range = ParseChannelRange(rangeText_->text());
        return range ? RowsInRange(rows, range->first, range->second) : std::vector<int>();
    }
    std::vector<int> all(rows.size());
    std::iota(all.begin(), all.end(), 0);
    return all;
}

LabelJob FrmPrintLabels::CurrentJob(const QString& printer) const
{
    LabelJob job;
    job.sheet = CurrentSheet();
    LabelContent content;
    content.channelsPerLabel = perLabel_->currentData().toInt();
    content.stateTexts = stateTexts_->isChecked();
    content.title = title_->isChecked() ? siteName_ : QString();
    content.leaveOutSpares = leaveOutSpares_->isChecked();
    if (table_)
        job.labels = MakeLabels(table_->Rows(), ChosenRows(), content);
    job.first = std::clamp(first_->value() - 1, 0, job.sheet.LabelsPerPage() - 1);
    job.copies = copies_->value();
    job.largestPoints = points_->value();
    job.sameSize = sameSize_->isChecked();
    job.outlines = outlines_->isChecked();
    if (!printer.isEmpty()) {
        const QPointF offsets = LoadPrinterOffsets(settings_, printer);
        job.offsetX = offsets.x();
        job.offsetY = offsets.y();
    }
    return job;
}

void FrmPrintLabels::Refresh()
{
    if (loading_)
        return;
    selection_->setEnabled(!selected_.empty());
    const LabelPrint print(CurrentJob(printer_->currentText()));
    picture_->Show(print);
    const SheetRun run = print.Run();
    QString text = run.labels == 0
                       ? u"No channel to print."_s
                       : u"%1 labels on %2 pages."_s.arg(run.Printed()).arg(run.PageCount());
    if (!print.Unfit().empty())
        text += u" %1 do not fit at %2 pt."_s.arg(print.Unfit().size()).arg(kSmallestPoints);
    summary_->setText(text);
    for (const char* name : {"CmdPreview", "CmdPrint", "CmdSavePdf"})
        findChild<QPushButton*>(QString::fromLatin1(name))->setEnabled(run.labels > 0);
}

void FrmPrintLabels::ShowFor(const ChannelTable& table, std::vector<int> selected,
                             const QString& siteName, const QString& pdfFolder)
{
    table_ = &table;
    selected_ = std::move(selected);
    siteName_ = siteName;
    pdfFolder_ = pdfFolder;
    if (selection_->isChecked() && selected_.empty())
        all_->setChecked(true);
    FillPrinters(); // printers come and go between two prints
    ui_.RunModal(*this);
    table_ = nullptr; // the table may change before the next time
}

bool FrmPrintLabels::ConfirmUnfit(const LabelPrint& print)
{
    const std::vector<int>& unfit = print.Unfit();
    if (unfit.empty())
        return true;
    QStringList names;
    for (std::size_t i = 0; i < unfit.size() && i < kUnfitListed; ++i)
        names << LabelName(print.Job().labels[static_cast<std::size_t>(unfit[i])]);
    QString list = names.join(u", "_s);
    if (unfit.size() > kUnfitListed)
        list += u" and %1 more"_s.arg(unfit.size() - kUnfitListed);
    const QString text =
        u"These labels do not fit even at %1 pt; their text will be set smaller to stay inside the label:"_s
            .arg(kSmallestPoints) +
        kCrLf + list + kCrLf + kCrLf + u"Print them anyway?"_s;
    return ui_.ShowMessage({text, MessageIcon::Exclamation, MessageButtons::YesNo, kTitle}) ==
           MessageButton::Yes;
}

void FrmPrintLabels::SetUpPrinter(QPrinter& printer) const
{
    if (!printer_->currentText().isEmpty())
        printer.setPrinterName(printer_->currentText());
    printer.setFullPage(true);
    printer.setPageSize(SheetPageSize(CurrentSheet()));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    printer.setDocName(siteName_.isEmpty() ? kTitle : siteName_ + u" labels"_s);
}

void FrmPrintLabels::Preview()
{
    const LabelPrint print(CurrentJob(printer_->currentText()));
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(u"DlgPrintPreview"_s);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&print](QPrinter* target) {
        print.Paint(*target, SheetPageShift(print.Job().sheet));
    });
    ui_.RunModal(preview);
}

void FrmPrintLabels::Print()
{
    if (!ConfirmUnfit(LabelPrint(CurrentJob())))
        return;
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(u"DlgPrint"_s);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (ui_.RunModal(dialog) != QDialog::Accepted)
        return;
    // The sheet decides the page whatever paper the printer's dialog was left at, and the
    // calibration is that of the printer finally chosen.
    printer.setFullPage(true);
    printer.setPageSize(SheetPageSize(CurrentSheet()));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    const LabelPrint print(CurrentJob(printer.printerName()));
    if (!print.Paint(printer, SheetPageShift(print.Job().sheet))) {
        ShowInfo(ui_,
                 ErrorReport(u"Error printing the labels"_s,
                             u"The printer %1 could not be started."_s.arg(printer.printerName())));
        return;
    }
    UsedUpTo(print);
    summary_->setText(u"%1 pages sent to %2."_s.arg(print.PageCount()).arg(printer.printerName()));
}

void FrmPrintLabels::SaveAsPdf()
{
    // A PDF is not printed yet: no printer's calibration applies to it.
    const LabelPrint print(CurrentJob());
    if (!ConfirmUnfit(print))
        return;
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.title = u"Save labels as PDF"_s;
    request.filter = u"PDF files (*.pdf)|*.pdf"_s;
    request.filterIndex = 1;
    request.defaultExtension = u".pdf"_s;
    request.flags = FileDialogFlag::OverwritePrompt | FileDialogFlag::HideReadOnly |
                    FileDialogFlag::PathMustExist;
    request.initialDirectory = pdfFolder_;
    request.fileName = (siteName_.isEmpty() ? u"labels"_s : siteName_ + u" labels"_s) + u".pdf"_s;
    const std::optional<ChosenFile> chosen = ui_.ShowFileDialog(request);
    if (!chosen)
        return;
    QString error;
    if (!WriteLabelsPdf(print, chosen->fullName, &error)) {
        ShowInfo(ui_, ErrorReport(u"Error saving the labels as PDF"_s, error));
        return;
    }
    UsedUpTo(print);
    summary_->setText(u"%1 pages saved to %2."_s.arg(print.PageCount())
                          .arg(QDir::toNativeSeparators(chosen->fullName)));
}

void FrmPrintLabels::NewSheet()
{
    LabelSheet start = CurrentSheet();
    start.name.clear();
    FrmCustomSheet dialog(ui_, start, this);
    if (ui_.RunModal(dialog) != QDialog::Accepted)
        return;
    const LabelSheet sheet = dialog.Sheet();
    SaveCustomSheet(settings_, sheet);
    customSheets_ = LoadCustomSheets(settings_);
    FillSheets(sheet.name);
    RememberSheet();
}

void FrmPrintLabels::RemoveSheet()
{
    const QString name = sheet_->currentData().toString();
    if (FindSheet(name))
        return; // built in
    RemoveCustomSheet(settings_, name);
    customSheets_ = LoadCustomSheets(settings_);
    FillSheets(BuiltInSheets().front().name);
    RememberSheet();
}

void FrmPrintLabels::LoadOffsets()
{
    const bool any = !printer_->currentText().isEmpty();
    const QPointF offsets =
        any ? LoadPrinterOffsets(settings_, printer_->currentText()) : QPointF();
    loading_ = true;
    offsetX_->setValue(offsets.x());
    offsetY_->setValue(offsets.y());
    loading_ = false;
    offsetX_->setEnabled(any);
    offsetY_->setEnabled(any);
    Refresh();
}

void FrmPrintLabels::SaveOffsets()
{
    if (loading_ || printer_->currentText().isEmpty())
        return;
    SavePrinterOffsets(settings_, printer_->currentText(),
                       QPointF(offsetX_->value(), offsetY_->value()));
    Refresh();
}

} // namespace mr640

#include "dialog_play.h"
#include "editor/channel_ids.h"
#include "labels/label_renderer.h"
#include "labels/print_labels_dialog.h"
#include "labels/sheet_picture.h"
#include "pdf_words.h"
#include "window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <gtest/gtest.h>
#include <map>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::AtShown;
using test::Control;
using test::ReadPdfWords;

constexpr double kMmPerPt = 25.4 / 72;

void Choose(QComboBox& box, const QString& data)
{
    const int index = box.findData(data);
    ASSERT_GE(index, 0) << data.toStdString();
    box.setCurrentIndex(index);
}

void Click(QDialog& dialog, const char* button)
{
    QTest::mouseClick(&Control<QPushButton>(dialog, button), Qt::LeftButton);
}

// Every control of the dialog, buttons included, has a letter of its own, by its text or
// that of its label; `through` is reached by another's letter.
void ExpectALetterEach(QDialog& dialog, const QString& through = {})
{
    std::map<QChar, QString> taken;
    for (QWidget* control : dialog.findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (!(control->focusPolicy() & Qt::TabFocus) || !control->isVisibleTo(&dialog) ||
            name.startsWith(u"qt_"_s) || name == through)
            continue;
        QString text;
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            text = button->text();
        for (QLabel* label : dialog.findChildren<QLabel*>())
            if (label->buddy() == control)
                text = label->text();
        const QChar letter = test::AltLetter(text);
        EXPECT_FALSE(letter.isNull()) << name.toStdString();
        const auto [at, fresh] = taken.emplace(letter, name);
        EXPECT_TRUE(fresh || letter.isNull())
            << QString(letter).toStdString() << ": " << name.toStdString() << " and "
            << at->second.toStdString();
    }
    EXPECT_GE(taken.size(), 13u); // the controls were found
}

class PrintLabels : public test::WindowTest
{
protected:
    // The window with a full site of 3072 channels.
    FrmDips& StartFull()
    {
        FrmDips& w = Start();
        w.SetChannelCount(kMaxChannels, 4);
        return w;
    }
    void Open() { Window().findChild<QAction*>(u"MnuPrintLabels"_s)->trigger(); }
    QString PdfPath() const { return SitePath(u"labels.pdf"_s); }
};

TEST_F(PrintLabels, SavesTheSheetAsPdfFromTheSlotClickedOnThePicture)
{
    StartFull();
    EXPECT_EQ(Window().findChild<QAction*>(u"MnuPrintLabels"_s)->shortcut(), QKeySequence::Print);
    EXPECT_EQ(Window().findChild<QAction*>(u"MnuExportLabels"_s)->shortcut(),
              QKeySequence(u"Ctrl+Shift+L"_s));
    ui.ChooseFile(PdfPath());
    AtShown(ui, [&](QDialog& d) {
        Choose(Control<QComboBox>(d, "CmbSheet"), u"L7160"_s);
        auto& picture = Control<SheetPicture>(d, "PicSheet");
        QTest::mouseClick(&picture, Qt::LeftButton, {}, picture.SlotRect(4).center());
        EXPECT_EQ(Control<QSpinBox>(d, "SpnFirst").value(), 5);
        Click(d, "CmdSavePdf");
    });
    Open();

    ASSERT_EQ(ui.FileDialogs().size(), 1u);
    EXPECT_EQ(ui.FileDialogs()[0].filter, u"PDF files (*.pdf)|*.pdf"_s);
    EXPECT_EQ(ui.FileDialogs()[0].defaultExtension, u".pdf"_s);
    const auto pages = ReadPdfWords(PdfPath());
    ASSERT_EQ(pages.size(), 37u); // 4 used slots and 768 labels, 21 a sheet
    const LabelSheet sheet = *FindSheet(u"L7160"_s);
    const auto& first = pages.front().front();
    EXPECT_EQ(first.text, u"AA01"_s);
    EXPECT_NEAR(first.box.left() * kMmPerPt, sheet.Slot(4).left() + kLabelPadding, 0.3);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(PrintLabels, RemembersTheSheetAndTheFirstLabelThePrintLeftUnused)
{
    FrmDips& w = Start();
    w.Table().ReplaceRows(DefaultRows(40)); // 10 labels
    ui.ChooseFile(PdfPath());
    AtShown(ui, [&](QDialog& d) {
        auto& sameSize = Control<QCheckBox>(d, "ChkSameSize");
        EXPECT_TRUE(sameSize.isChecked());
        EXPECT_TRUE(static_cast<FrmPrintLabels&>(d).CurrentJob().sameSize);
        sameSize.setChecked(false);
        EXPECT_FALSE(static_cast<FrmPrintLabels&>(d).CurrentJob().sameSize);
        Choose(Control<QComboBox>(d, "CmbSheet"), u"L7160"_s);
        Control<QSpinBox>(d, "SpnFirst").setValue(5);
        Click(d, "CmdSavePdf");
        EXPECT_EQ(Control<QSpinBox>(d, "SpnFirst").value(), 15);
    });
    Open();
    ASSERT_EQ(ReadPdfWords(PdfPath()).size(), 1u);
    AtShown(ui,
            [&](QDialog& d) { EXPECT_FALSE(Control<QCheckBox>(d, "ChkSameSize").isChecked()); });
    Open();

    // The next time the program runs: the sheet, and its first label, kept for each sheet.
    Start();
    AtShown(ui, [&](QDialog& d) {
        auto& sheets = Control<QComboBox>(d, "CmbSheet");
        auto& first = Control<QSpinBox>(d, "SpnFirst");
        EXPECT_EQ(sheets.currentData(), u"L7160"_s);
        EXPECT_EQ(first.value(), 15);
        Choose(sheets, u"L7163"_s);
        EXPECT_EQ(first.value(), 1);
        Choose(sheets, u"L7160"_s);
        EXPECT_EQ(first.value(), 15);
    });
    Open();
}

TEST_F(PrintLabels, GivesEveryControlALetterOfItsOwn)
{
    Start();
    AtShown(ui, [&](QDialog& d) {
        ExpectALetterEach(d, u"TxtRange"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::AltModifier);
        QTRY_VERIFY(Control<QLineEdit>(d, "TxtRange").hasFocus());
        EXPECT_TRUE(Control<QRadioButton>(d, "OptRange").isChecked());
        ui.AtModal([](QDialog& sheet) {
            sheet.show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&sheet));
            ExpectALetterEach(sheet);
            return 0;
        });
        Click(d, "CmdNewSheet");
    });
    Open();
}

TEST_F(PrintLabels, PreviewShowsEveryPage)
{
    StartFull();
    AtShown(ui, [&](QDialog& d) {
        ui.AtModal([](QDialog& preview) {
            auto* widget = preview.findChild<QPrintPreviewWidget*>();
            widget->updatePreview();
            EXPECT_EQ(widget->pageCount(), 55);
            return 0;
        });
        Click(d, "CmdPreview");
    });
    Open();
}

TEST_F(PrintLabels, ListsTheLabelsThatDoNotFitAndPrintsThemOnlyWhenAsked)
{
    FrmDips& w = Start();
    std::vector<ChannelRow> rows = DefaultRows(kChannelsPerUnit);
    rows[4].relNam = u"WWWWWWWWWWWWWWWW"_s;
    w.Table().ReplaceRows(rows);
    for (MessageButton answer : {MessageButton::No, MessageButton::Yes}) {
        ui.ClearShown();
        ui.Answer(answer);
        if (answer == MessageButton::Yes)
            ui.ChooseFile(PdfPath());
        AtShown(ui, [&](QDialog& d) {
            Choose(Control<QComboBox>(d, "CmbSheet"), u"L7651"_s);
            Click(d, "CmdSavePdf");
        });
        Open();
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(
            ui.Messages()[0].text,
            u"These labels do not fit even at 6 pt; their text will be set smaller to stay inside "
            "the label:\r\n"
            "AA05\u2013AA08\r\n\r\nPrint them anyway?"_s);
        EXPECT_EQ(ui.Messages()[0].buttons, MessageButtons::YesNo);
        EXPECT_EQ(QFileInfo::exists(PdfPath()), answer == MessageButton::Yes);
    }
    // Printed anyway, the whole name is there.
    const auto words = ReadPdfWords(PdfPath()).at(0);
    EXPECT_TRUE(std::any_of(words.begin(), words.end(), [](const test::PdfWord& w) {
        return w.text == u"WWWWWWWWWWWWWWWW"_s;
    }));
}

TEST_F(PrintLabels, KeepsASheetTheUserDefinesOnlyWhenItLiesInsideItsPage)
{
    StartFull();
    AtShown(ui, [&](QDialog& d) {
        ui.AtModal([&](QDialog& sheet) {
            Control<QLineEdit>(sheet, "TxtSheetName").setText(u"l7163"_s);
            Click(sheet, "CmdSheetOk");
            Control<QLineEdit>(sheet, "TxtSheetName").setText(u"Trial 2/4"_s);
            Control<QDoubleSpinBox>(sheet, "SpnLeft").setValue(10);
            Click(sheet, "CmdSheetOk");
            EXPECT_EQ(sheet.result(), QDialog::Rejected);
            Control<QDoubleSpinBox>(sheet, "SpnLeft").setValue(4);
            Click(sheet, "CmdSheetOk");
            return sheet.result();
        });
        Click(d, "CmdNewSheet");
        EXPECT_EQ(Control<QComboBox>(d, "CmbSheet").currentData(), u"Trial 2/4"_s);
    });
    Open();
    EXPECT_EQ(ui.MessageTexts(),
              QStringList({u"A built-in sheet is called L7163: choose another name."_s,
                           u"The labels overrun the right edge of the page by 0.70 mm."_s}));

    // Kept in the settings: a new window offers it, chosen as it was last, and Remove takes it
    // away for good.
    for (bool remove : {true, false}) {
        Start();
        AtShown(ui, [&](QDialog& d) {
            auto& sheets = Control<QComboBox>(d, "CmbSheet");
            EXPECT_EQ(sheets.findData(u"Trial 2/4"_s) >= 0, remove);
            EXPECT_EQ(sheets.currentData(), remove ? u"Trial 2/4"_s : u"L7163"_s);
            if (remove) {
                Choose(sheets, u"Trial 2/4"_s);
                Click(d, "CmdRemoveSheet");
            }
        });
        Open();
    }
}

} // namespace
} // namespace mr640

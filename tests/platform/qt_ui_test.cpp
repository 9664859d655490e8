#include "platform/qt_ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

// Runs play on the modal window once it is showing.
void AtNextModal(std::function<void(QWidget*)> play)
{
    QTimer::singleShot(0, [play = std::move(play)] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        play(modal);
    });
}

TEST(QtUiMessage, ShowsTheTextAsPlainTextWithTitleIconAndButtons)
{
    QtUi ui;
    QMessageBox* seen = nullptr;
    AtNextModal([&](QWidget* w) {
        seen = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(seen, nullptr);
        EXPECT_EQ(seen->textFormat(), Qt::PlainText);
        EXPECT_EQ(seen->text(), QStringLiteral("<b>Spare</b>\r\nnext"));
        EXPECT_EQ(seen->windowTitle(), QStringLiteral("MR640 configuration editor"));
        EXPECT_EQ(seen->icon(), QMessageBox::Question);
        EXPECT_EQ(seen->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        seen->button(QMessageBox::No)->click();
    });
    const MessageButton pressed =
        ui.ShowMessage({QStringLiteral("<b>Spare</b>\r\nnext"), MessageIcon::Question,
                        MessageButtons::YesNoCancel, QStringLiteral("MR640 configuration editor")});
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(pressed, MessageButton::No);
}

TEST(QtUiMessage, ABoxWithoutATitleCarriesTheApplicationNameAndClosingCountsAsCancel)
{
    QtUi ui;
    AtNextModal([](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("MR640Config"));
        static_cast<QMessageBox*>(w)->reject();
    });
    EXPECT_EQ(ui.ShowMessage({QStringLiteral("Continue?"), MessageIcon::Question,
                              MessageButtons::OkCancel, QString()}),
              MessageButton::Cancel);
}

TEST(QtUiMessage, EnterPressesTheDefaultButtonNamed)
{
    QtUi ui;
    AtNextModal([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        QTest::keyClick(box, Qt::Key_Return);
    });
    MessageRequest request{u"Export it anyway?"_s, MessageIcon::Exclamation, MessageButtons::YesNo,
                           QString()};
    request.defaultButton = MessageButton::No;
    EXPECT_EQ(ui.ShowMessage(request), MessageButton::No);
}

TEST(QtUiFileDialog, TurnsTheFilterIntoNameFiltersAndFollowsTheChosenFilter)
{
    EXPECT_EQ(NameFiltersOf(QStringLiteral("MR640 dip files (*.dip)|*.dip|CSV files (*.csv)|*.csv")),
              (QStringList{QStringLiteral("MR640 dip files (*.dip)"), QStringLiteral("CSV files (*.csv)")}));
    EXPECT_EQ(SuffixOfNameFilter(QStringLiteral("CSV files (*.csv)")), QStringLiteral("csv"));

    QTemporaryDir dir;
    QtUi ui;
    AtNextModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Save site as..."));
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("MR640 dip files (*.dip)"));
        EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("dip"));
        EXPECT_EQ(dialog->directory().path(), dir.path());
        dialog->selectNameFilter(QStringLiteral("CSV files (*.csv)"));
        emit dialog->filterSelected(QStringLiteral("CSV files (*.csv)"));
        EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("csv"));
        dialog->selectFile(QStringLiteral("north"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.title = QStringLiteral("Save site as...");
    request.filter = QStringLiteral("MR640 dip files (*.dip)|*.dip|CSV files (*.csv)|*.csv");
    request.filterIndex = 1;
    request.defaultExtension = QStringLiteral(".dip");
    request.flags = FileDialogFlag::PathMustExist | FileDialogFlag::OverwritePrompt;
    request.initialDirectory = dir.path();
    request.fileName = QStringLiteral("north");
    const std::optional<ChosenFile> chosen = ui.ShowFileDialog(request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->fullName, dir.filePath(QStringLiteral("north.csv")));
    EXPECT_EQ(chosen->fileTitle, QStringLiteral("north.csv"));
}

// A name in a folder that does not exist, or of no file type the command writes, is
// refused in the dialog, which stays open with the name as typed.
TEST(QtUiFileDialog, ASaveDialogRefusesANameItCannotUse)
{
    QTemporaryDir dir;
    const struct
    {
        QString typed;
        QString said;
    } cases[] = {
        {u"nosuch/north.dip"_s,
         u"The folder "_s + dir.filePath(u"nosuch"_s) + u" does not exist.\r\nCheck the folder name and try again."_s},
        {u"Kings Cross v1.2"_s,
         u"The name Kings Cross v1.2 ends in no file type this program writes.\r\nType a name that ends in .dip or .csv."_s},
    };
    for (const auto& c : cases) {
        QtUi ui;
        QString said;
        bool stayedOpen = false;
        QString kept;
        AtNextModal([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(c.typed);
            AtNextModal([&](QWidget* box) {
                said = static_cast<QMessageBox*>(box)->text() + u'|' + box->windowTitle();
                static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
            });
            QTest::keyClick(name, Qt::Key_Return);
            stayedOpen = dialog->isVisible();
            kept = name->text();
            dialog->reject();
        });
        FileDialogRequest request;
        request.kind = FileDialogKind::Save;
        request.title = QStringLiteral("Save site as...");
        request.filter = QStringLiteral("MR640 dip files (*.dip)|*.dip|CSV files (*.csv)|*.csv");
        request.flags = FileDialogFlag::PathMustExist | FileDialogFlag::OverwritePrompt;
        request.initialDirectory = dir.path();
        request.endings = QStringList{u"dip"_s, u"csv"_s};
        EXPECT_FALSE(ui.ShowFileDialog(request).has_value());
        EXPECT_EQ(said, c.said + u"|Save site as..."_s);
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(kept, c.typed);
        EXPECT_TRUE(QDir(dir.path()).isEmpty());
    }
}

// Questions with buttons of their own: a CSV opened over a site (New site, Update and
// Cancel) and the changes a stopped program left (Recover, Compare, Discard and Later, which
// closing the box answers too). Each button is its answer.
TEST(QtUiMessage, BoxesWithButtonsOfTheirOwnAnswerWithThem)
{
    const struct
    {
        MessageButtons buttons;
        int shown;
        const char* pressed; // null: the box is closed
        MessageButton answer;
    } cases[] = {
        {MessageButtons::NewSiteUpdateCancel, 3, "New site", MessageButton::NewSite},
        {MessageButtons::NewSiteUpdateCancel, 3, "Update", MessageButton::Update},
        {MessageButtons::RecoverDiscardLater, 3, "Recover", MessageButton::Recover},
        {MessageButtons::RecoverDiscardLater, 3, "Discard", MessageButton::Discard},
        {MessageButtons::RecoverDiscardLater, 3, nullptr, MessageButton::Later},
        {MessageButtons::RecoverCompareDiscardLater, 4, "Compare", MessageButton::Compare},
        {MessageButtons::RecoverCompareDiscardLater, 4, "Later", MessageButton::Later},
    };
    for (const auto& c : cases) {
        QtUi ui;
        AtNextModal([&c](QWidget* box) {
            EXPECT_EQ(static_cast<QMessageBox*>(box)->buttons().size(), c.shown);
            if (c.pressed)
                box->findChild<QAbstractButton*>(QString::fromLatin1(c.pressed))->click();
            else
                box->close();
        });
        EXPECT_EQ(ui.ShowMessage({u"Open east.csv?"_s, MessageIcon::Question, c.buttons, {}}), c.answer)
            << (c.pressed ? c.pressed : "closed");
    }
}

// A card that was written offers Eject and Close; Close answers Cancel.
TEST(QtUiMessage, AWrittenCardOffersEjectAndClose)
{
    for (const auto& [eject, answer] : {std::pair{true, MessageButton::Eject}, std::pair{false, MessageButton::Cancel}}) {
        QtUi ui;
        AtNextModal([eject = eject](QWidget* widget) {
            auto* box = static_cast<QMessageBox*>(widget);
            EXPECT_EQ(box->buttons().size(), 2);
            (eject ? box->findChild<QAbstractButton*>(u"Eject"_s) : box->button(QMessageBox::Close))->click();
        });
        EXPECT_EQ(ui.ShowMessage({u"north.dip was written."_s, MessageIcon::Information, MessageButtons::EjectClose, {}}),
                  answer);
    }
}

TEST(QtUiFileDialog, CancellingIsADistinctOutcome)
{
    QtUi ui;
    AtNextModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    FileDialogRequest request;
    request.title = QStringLiteral("Open config file");
    request.filter = QStringLiteral("MR640 dip files (*.dip)|*.dip");
    EXPECT_FALSE(ui.ShowFileDialog(request).has_value());
}

} // namespace
} // namespace mr640

#include "window_fixture.h"

#include <QAction>
#include <QFile>
#include <QMenu>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::Info;
using test::Question;

class RecentSites : public test::WindowTest
{
protected:
    // The visible entries of the list, as the menu shows them.
    QStringList Entries()
    {
        QStringList shown;
        for (QAction* a : Window().findChild<QMenu*>(u"MnuFile"_s)->actions())
            if (a->objectName().startsWith(u"MnuRecent"_s) && !a->isSeparator() && a->isVisible())
                shown.append(a->text());
        return shown;
    }

    QStringList Numbered(const QStringList& names)
    {
        QStringList entries;
        for (int i = 0; i < names.size(); ++i)
            entries.append(u"&%1 "_s.arg(i + 1) + SitePath(names[i]));
        return entries;
    }

    void Choose(int entry) { Window().findChild<QAction*>(u"MnuRecent%1"_s.arg(entry))->trigger(); }
};

TEST_F(RecentSites, TheLastEightFilesOpenedOrSavedNewestFirstKeptBetweenRuns)
{
    FrmDips& w = Start();
    EXPECT_TRUE(Entries().isEmpty());
    for (int i = 1; i <= 9; ++i)
        w.OpenSiteFile(MakeDip(u"s%1.dip"_s.arg(i)));
    w.OpenSiteFile(SitePath(u"s5.dip"_s)); // again: moves to the top, listed once
    ui.ChooseFile(SitePath(u"copy.csv"_s));
    EXPECT_TRUE(w.SaveSiteAs());
    QFile::resize(MakeDip(u"short.dip"_s), 10);
    w.OpenSiteFile(SitePath(u"short.dip"_s)); // refused: not listed
    const QStringList expected = Numbered({u"copy.csv"_s, u"s5.dip"_s, u"s9.dip"_s, u"s8.dip"_s,
                                           u"s7.dip"_s, u"s6.dip"_s, u"s4.dip"_s, u"s3.dip"_s});
    EXPECT_EQ(Entries(), expected);

    Start();
    EXPECT_EQ(Entries(), expected);
}

TEST_F(RecentSites, AnEntryAsksTheSaveQuestionAndOpensItsFile)
{
    FrmDips& w = Start();
    w.OpenSiteFile(MakeDip(u"north.dip"_s));
    w.OpenSiteFile(MakeDip(u"south.dip"_s));
    w.SetModified(true);
    ui.ClearShown();
    ui.Answer(MessageButton::Cancel).Answer(MessageButton::No);
    Choose(2);
    EXPECT_EQ(w.currentFile(), SitePath(u"south.dip"_s));
    Choose(2);
    const MessageRequest question = Question(u"Save this site before closing?"_s, MessageButtons::YesNoCancel);
    EXPECT_EQ(ui.Messages(), (std::vector{question, question, Info(u"384 channels loaded"_s)}));
    EXPECT_EQ(w.windowTitle(), u"north - MR640 configuration editor"_s);
    EXPECT_EQ(Entries(), Numbered({u"north.dip"_s, u"south.dip"_s}));
}

TEST_F(RecentSites, AFileThatIsGoneIsReportedAndTakenOffTheList)
{
    FrmDips& w = Start();
    w.OpenSiteFile(MakeDip(u"north.dip"_s));
    w.OpenSiteFile(MakeDip(u"south.dip"_s));
    ASSERT_TRUE(QFile::remove(SitePath(u"north.dip"_s)));
    ui.ClearShown();
    Choose(2);
    EXPECT_EQ(ui.Messages(), std::vector{Info(u"This file no longer exists:\r\n"_s + SitePath(u"north.dip"_s) +
                                              u"\r\nIt has been taken off the list of recent sites."_s)});
    EXPECT_EQ(w.currentFile(), SitePath(u"south.dip"_s));
    EXPECT_EQ(Entries(), Numbered({u"south.dip"_s}));
    Start();
    EXPECT_EQ(Entries(), Numbered({u"south.dip"_s}));
}

} // namespace
} // namespace mr640

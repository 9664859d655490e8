// The recovery journal as the user meets it: a program killed while editing, the question
// at the next start, two programs at once, a journal cut short.

#include "child_copy.h"
#include "window/compare_window.h"
#include "window/edit_commands.h"
#include "window/edit_history.h"
#include "window/recovery_journal.h"
#include "window/site_recovery.h"
#include "window_fixture.h"

#include <QClipboard>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QRegularExpression>
#include <QThread>
#include <map>
#include <unistd.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

const QByteArray kEdited = "[ child ] edited";

// A site of 384 spare channels as a dip file holds them.
std::vector<ChannelRow> Site()
{
    std::vector<ChannelRow> rows = DefaultRows(384);
    for (ChannelRow& row : rows) {
        row.stUp = u"UP "_s;
        row.stDn = u"DN "_s;
    }
    return rows;
}

// The site as the killed program shows it: a name typed, two rows pasted, a back contact
// set after an undone change, and after a pause a state text still being typed.
std::vector<ChannelRow> Screen()
{
    std::vector<ChannelRow> rows = Site();
    rows[0].relNam = u"North TPR"_s;
    rows[10].relNam = u"A1"_s;
    rows[10].back = true;
    rows[11].relNam = u"A2"_s;
    rows[5].back = true;
    rows[7].stUp = u"OFF"_s;
    return rows;
}

QString Question(const QString& name, int changes)
{
    return u"MR640Config did not close normally while %1 was being edited. Recover the %2 unsaved "
           u"%3 (the last at HH:MM)?"_s.arg(name).arg(changes).arg(changes == 1 ? u"change"_s : u"changes"_s);
}

// A message's text with the time of day it names as HH:MM.
QString WithoutTime(QString text)
{
    static const QRegularExpression time(u"at \\d\\d:\\d\\d"_s);
    return text.replace(time, u"at HH:MM"_s);
}

class Recovery : public test::WindowTest
{
protected:
    Recovery() { QDir(RecoveryFolder()).removeRecursively(); }
    ~Recovery() override { QDir(RecoveryFolder()).removeRecursively(); }

    // The program that is killed: makes the changes of Screen() and prints kEdited.
    void EditUntilKilled()
    {
        FrmDips& w = Start();
        w.OpenSiteFile(qEnvironmentVariable("MR640_TEST_SITE"));
        const auto enter = [](QLineEdit* editor) {
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents(); // the grid stores the text when the editor closes
        };
        enter(StartTyping(0, FieldRelNam, u"North TPR"_s));
        QGuiApplication::clipboard()->setText(u"A1\tBack\nA2\tFront\n"_s);
        w.Grid().setCurrentIndex(w.Table().index(10, FieldRelNam));
        w.Edit().Paste();
        enter(StartTyping(3, FieldRelNam, u"Wrong"_s));
        w.History().Stack().undo();
        w.Table().setData(w.Table().index(5, FieldBack), Qt::Checked, Qt::CheckStateRole);
        // A pause, long enough for the journal's writer to have written all and gone idle:
        // the typing that follows reaches the disk with no further change behind it.
        QTest::qWait(1000);
        QLineEdit* typing = StartTyping(7, FieldStUp, u"OFF"_s);
        std::vector<ChannelRow> shown = w.Table().Rows();
        ASSERT_NE(typing, nullptr);
        shown[7].stUp = typing->text();
        ASSERT_EQ(shown, Screen());
        std::printf("%s\n", kEdited.constData());
        std::fflush(stdout);
        for (;;)
            QTest::qWait(1000);
    }

    // Starts the program that EditUntilKilled plays, on a site of 384 default channels
    // named north.dip, and waits until it has made its changes; false when it failed.
    bool StartEditing(QProcess& program)
    {
        test::WriteBytes(SitePath(u"north.dip"_s), EncodeDip(DefaultRows(384)));
        QProcessEnvironment environment;
        environment.insert(u"MR640_TEST_SITE"_s, SitePath(u"north.dip"_s));
        test::StartChildCopy(program, qEnvironmentVariable("MR640_TEST_STATE_HOME"), SiteFolder(), environment);
        QByteArray output;
        const bool edited = test::WaitForLine(program, kEdited, &output);
        EXPECT_TRUE(edited) << output.constData();
        return edited;
    }

    // The journal of this program's window, as a program with the same id that started at
    // another time would have left it, in the journals' folder; the journal's records.
    std::vector<QByteArray> LeaveJournal()
    {
        EXPECT_TRUE(Window().Journal().Flush());
        const std::optional<JournalContents> contents = ReadJournal(test::ReadBytes(Window().Journal().Path()));
        EXPECT_TRUE(contents.has_value());
        Window().Journal().End();
        JournalOwner earlier = JournalOwner::OfThisProcess();
        ++earlier.startTime;
        QByteArray left = FrameRecord(OwnerRecord(earlier));
        for (const QByteArray& record : contents->records)
            left += FrameRecord(record);
        test::WriteBytes(LeftPath(), left);
        return contents->records;
    }
    QString LeftPath() const { return RecoveryFolder() + u"/left.journal"_s; }
};

TEST_F(Recovery, TheChangesOfAKilledProgramAreRecoveredAtTheNextStart)
{
    if (test::IsChildCopy())
        return EditUntilKilled();
    QProcess program;
    ASSERT_TRUE(StartEditing(program));
    QThread::sleep(1);
    program.kill();
    ASSERT_TRUE(program.waitForFinished());

    FrmDips& w = Start();
    ui.Answer(MessageButton::Recover);
    w.OfferRecovery();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(WithoutTime(ui.Messages()[0].text), Question(u"north"_s, 4));
    EXPECT_EQ(ui.Messages()[0].buttons, MessageButtons::RecoverDiscardLater);
    EXPECT_EQ(w.Table().Rows(), Screen());
    EXPECT_EQ(w.currentFile(), SitePath(u"north.dip"_s));
    EXPECT_EQ(w.windowTitle(), u"north - MR640 configuration editor"_s);
    EXPECT_TRUE(w.modified());
    // The recovered journal is gone once this program's own holds the changes.
    EXPECT_EQ(QDir(RecoveryFolder()).entryList(QDir::Files), QStringList{QFileInfo(w.Journal().Path()).fileName()});

    // One step, which undoes back to the site as saved.
    w.History().Stack().undo();
    EXPECT_EQ(w.Table().Rows(), Site());
    EXPECT_FALSE(w.modified());
}

TEST_F(Recovery, TwoProgramsKeepAJournalEachAndNeverOfferARunningOnes)
{
    if (test::IsChildCopy())
        return EditUntilKilled();
    QProcess other;
    ASSERT_TRUE(StartEditing(other));
    FrmDips& w = Start();
    w.Table().setData(w.Table().index(1, FieldRelNam), u"Own"_s);
    ASSERT_TRUE(w.Journal().Flush());
    w.OfferRecovery(); // asks nothing
    // Each program's journal, named for its owner, with the changes it holds; the other
    // program's reaches the disk in its own time.
    const auto journals = [] {
        std::map<qint64, int> changes;
        for (const QFileInfo& file : QDir(RecoveryFolder()).entryInfoList(QDir::Files))
            if (const std::optional<JournalContents> journal = ReadJournal(test::ReadBytes(file.filePath())))
                changes[journal->owner.pid] = ReplayJournal(journal->records).value_or(RecoveredSite()).changes;
        return changes;
    };
    const std::map<qint64, int> expected{{other.processId(), 4}, {::getpid(), 1}};
    const QDeadlineTimer deadline(60'000);
    while (journals() != expected && !deadline.hasExpired())
        QThread::msleep(20);
    EXPECT_EQ(journals(), expected);

    other.kill();
    ASSERT_TRUE(other.waitForFinished());
    ui.Answer(MessageButton::Later);
    w.OfferRecovery();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(WithoutTime(ui.Messages()[0].text), Question(u"north"_s, 4));
    EXPECT_EQ(w.Table().Row(1).relNam, u"Own"_s); // Later changes nothing
}

// Changes still on their way to the disk when the journal ends (a save) go with it; the
// next change starts a journal of its own, from the table as it then is.
TEST_F(Recovery, AJournalEndedStartsAfreshAtTheNextChange)
{
    FrmDips& w = Start();
    w.Table().setData(w.Table().index(0, FieldRelNam), u"Saved"_s);
    w.Journal().End();
    w.Table().setData(w.Table().index(1, FieldRelNam), u"Unsaved"_s);
    ASSERT_TRUE(w.Journal().Flush());
    EXPECT_EQ(QDir(RecoveryFolder()).entryList(QDir::Files), QStringList{QFileInfo(w.Journal().Path()).fileName()});
    const std::optional<JournalContents> contents = ReadJournal(test::ReadBytes(w.Journal().Path()));
    ASSERT_TRUE(contents.has_value());
    const std::optional<RecoveredSite> recovered = ReplayJournal(contents->records);
    ASSERT_TRUE(recovered.has_value());
    EXPECT_EQ(recovered->base[0].relNam, u"Saved"_s);
    EXPECT_EQ(recovered->rows, w.Table().Rows());
    EXPECT_EQ(recovered->changes, 1);
}

// A journal cut short, as by a power cut, at every byte of its last record: every whole
// record is recovered, and the question says that one change could not be read.
TEST_F(Recovery, AJournalCutShortRecoversEveryWholeRecordAndSaysWhatIsLost)
{
    FrmDips& w = Start();
    for (const auto& [row, name] : {std::pair{0, u"First"_s}, {1, u"Second"_s}, {2, u"Third"_s}})
        w.Table().setData(w.Table().index(row, FieldRelNam), name);
    std::vector<QByteArray> records = LeaveJournal();
    const QByteArray last = FrameRecord(records.back());
    records.pop_back();
    const QByteArray whole = test::ReadBytes(LeftPath()).chopped(last.size());
    for (qsizetype cut = 0; cut < last.size(); ++cut) {
        test::WriteBytes(LeftPath(), whole + last.first(cut));
        ui.Answer(MessageButton::Later);
        EXPECT_FALSE(AskAboutLeftJournals(ui, RecoveryFolder()).has_value());
        QString expected = Question(u"a new site"_s, 2);
        if (cut > 0)
            expected += u"\r\n1 more change at the end of the recovery journal could not be read and cannot be recovered."_s;
        ASSERT_EQ(ui.Messages().size(), 1u) << "cut after " << cut << " bytes";
        ASSERT_EQ(WithoutTime(ui.Messages()[0].text), expected) << "cut after " << cut << " bytes";
        ui.ClearShown();
    }
    ui.Answer(MessageButton::Recover);
    Start().OfferRecovery();
    std::vector<ChannelRow> recovered = DefaultRows(384);
    recovered[0].relNam = u"First"_s;
    recovered[1].relNam = u"Second"_s;
    EXPECT_EQ(Window().Table().Rows(), recovered);
    EXPECT_EQ(Window().windowTitle(), u"MR640 configuration editor"_s);
}

// A table that is itself unsaved, as after a new size, is kept before any change to a cell.
TEST_F(Recovery, AnUnsavedTableIsKeptAtOnce)
{
    FrmDips& w = Start();
    w.findChild<QComboBox*>(u"CmbNoChans"_s)->setCurrentIndex(1); // 768 channels
    ASSERT_EQ(w.Table().rowCount(), 768);
    LeaveJournal();
    ui.Answer(MessageButton::Recover);
    Start().OfferRecovery();
    EXPECT_EQ(WithoutTime(ui.Messages().at(0).text), Question(u"a new site"_s, 1));
    EXPECT_EQ(Window().Table().Rows(), DefaultRows(768));
    EXPECT_TRUE(Window().modified());
}

// The site's file as the next start finds it, and the answer given: Later keeps the
// journal, Discard removes it, Compare recovers and shows the site against the file.
TEST_F(Recovery, TheQuestionTellsOfAChangedFileAndEachAnswerDoesWhatItSays)
{
    const struct
    {
        const char* file; // what became of north.dip: "kept", "changed", "deleted"
        MessageButton answer;
        QString note;     // the question's sentence on the file
        bool recovered;
    } cases[] = {
        {"kept", MessageButton::Later, {}, false},
        {"kept", MessageButton::Discard, {}, false},
        {"changed", MessageButton::Compare,
         u"\r\nnorth.dip was changed by another program after these changes began. Compare recovers them "
         u"and shows how the site differs from the file."_s,
         true},
        {"deleted", MessageButton::Recover, u"\r\nnorth.dip is no longer there: save the recovered site to keep it."_s,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QString north = MakeDip(u"north.dip"_s);
        FrmDips& editing = Start();
        editing.OpenSiteFile(north);
        editing.Table().setData(editing.Table().index(4, FieldRelNam), u"North TPR"_s);
        LeaveJournal();
        if (c.file == std::string_view("changed"))
            MakeDip(u"north.dip"_s, 384, u"Theirs"_s);
        else if (c.file == std::string_view("deleted"))
            QFile::remove(north);

        FrmDips& w = Start();
        ui.ClearShown();
        ui.Answer(c.answer);
        w.OfferRecovery();
        ASSERT_GE(ui.Messages().size(), 1u); // Compare's reading tells of it too
        EXPECT_EQ(WithoutTime(ui.Messages()[0].text), Question(u"north"_s, 1) + c.note);
        EXPECT_EQ(ui.Messages()[0].buttons, c.note.contains(u"Compare"_s) ? MessageButtons::RecoverCompareDiscardLater
                                                                           : MessageButtons::RecoverDiscardLater);
        EXPECT_EQ(w.Table().Row(4).relNam, c.recovered ? u"North TPR"_s : u"Spare AA05"_s);
        EXPECT_EQ(QFile::exists(LeftPath()), c.answer == MessageButton::Later);
        auto* compare = w.findChild<FrmCompare*>();
        EXPECT_EQ(compare && compare->isVisible(), c.answer == MessageButton::Compare);
        QDir(RecoveryFolder()).removeRecursively();
    }
}

TEST_F(Recovery, AJournalThatCannotBeWrittenIsToldOfOnce)
{
    QDir().mkpath(QFileInfo(RecoveryFolder()).path());
    test::WriteBytes(RecoveryFolder(), "a file where the folder should be");
    FrmDips& w = Start();
    w.Table().setData(w.Table().index(0, FieldRelNam), u"First"_s);
    EXPECT_FALSE(w.Journal().Flush());
    for (const QString& name : {u"Second"_s, u"Third"_s}) {
        w.Table().setData(w.Table().index(0, FieldRelNam), name);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(ui.Messages(),
              std::vector{test::Info(u"Unsaved changes cannot be kept for recovery (the folder %1 cannot be made). "
                                     u"Save the site to keep them."_s.arg(RecoveryFolder()))});
    QFile::remove(RecoveryFolder());
}

} // namespace
} // namespace mr640

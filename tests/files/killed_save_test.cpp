// The program killed (SIGKILL) at random moments while it saves a site and exports it to a
// card: whenever it dies, each file holds one of the tables whole, never a mix.

#include "child_copy.h"
#include "files/dip_file.h"
#include "platform/settings_store.h"
#include "platform/ui.h"
#include "test_files.h"
#include "window/main_window.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <random>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

const QByteArray kSaving = "[ child ] saving";
const QByteArray kSaved = "[ child ] saved";

// Two tables that differ in every record and in length, so any mix of them shows.
std::vector<ChannelRow> Table(int which)
{
    std::vector<ChannelRow> rows = DefaultRows(which == 0 ? 3072 : 384);
    for (ChannelRow& row : rows)
        row.relNam = which == 0 ? u"old site"_s : u"new"_s;
    return rows;
}

// Exports to the card whenever asked for a file, and when asked whether to export a site
// with errors (each table names every channel alike).
class SavingPerson : public Ui
{
public:
    MessageButton ShowMessage(const MessageRequest& request) override
    {
        return request.buttons == MessageButtons::YesNo ? MessageButton::Yes : MessageButton::Ok;
    }
    std::optional<ChosenFile> ShowFileDialog(const FileDialogRequest&) override
    {
        const QString card = qEnvironmentVariable("MR640_TEST_CARD");
        return ChosenFile{card, QFileInfo(card).fileName()};
    }
    int RunModal(QDialog&) override { return 0; }
};

// The program that is killed: saves the site and exports it, with each table in turn.
void SaveUntilKilled()
{
    SavingPerson person;
    SettingsStore settings;
    FrmDips w(person, settings);
    w.OpenSiteFile(qEnvironmentVariable("MR640_TEST_SITE"));
    const std::vector<ChannelRow> tables[2] = {Table(0), Table(1)};
    std::printf("%s\n", kSaving.constData());
    std::fflush(stdout);
    for (unsigned long n = 1;; ++n) {
        w.Table().ReplaceRows(tables[n % 2]);
        w.SetModified(true);
        ASSERT_TRUE(w.SaveSite());
        w.ExportToCard();
        std::printf("%s\n", kSaved.constData());
        std::fflush(stdout);
    }
}

TEST(KilledSave, TheSiteAndItsCardCopyAreTheOldOrTheNewTableWhole)
{
    if (test::IsChildCopy())
        return SaveUntilKilled();
    QTemporaryDir dir;
    const QByteArray contents[2] = {EncodeDip(Table(0)), EncodeDip(Table(1))};
    const QString site = dir.filePath(u"site.dip"_s);
    const QString card = dir.filePath(u"card.dip"_s);
    test::WriteBytes(site, contents[0]);
    test::WriteBytes(card, contents[0]);
    QProcessEnvironment environment;
    environment.insert(u"MR640_TEST_SITE"_s, site);
    environment.insert(u"MR640_TEST_CARD"_s, card);

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    // The kills fall within the first two saves, however long a save takes on this machine
    // (much longer under the sanitizers): the first round, not counted, measures one.
    long long saveMicroseconds = 0;
    int seen[2][2] = {};
    for (int round = -1; round < 100; ++round) {
        QProcess program;
        test::StartChildCopy(program, dir.path(), dir.path(), environment);
        QByteArray output;
        ASSERT_TRUE(test::WaitForLine(program, kSaving, &output)) << output.constData();
        if (round < 0) {
            QElapsedTimer save;
            save.start();
            ASSERT_TRUE(test::WaitForLine(program, kSaved, &output)) << output.constData();
            saveMicroseconds = save.nsecsElapsed() / 1000;
            program.kill();
            program.waitForFinished();
            test::WriteBytes(site, contents[0]);
            test::WriteBytes(card, contents[0]);
            continue;
        }
        std::uniform_int_distribution<long long> microseconds(0, 2 * saveMicroseconds);
        QThread::usleep(static_cast<unsigned long>(microseconds(random)));
        program.kill();
        ASSERT_TRUE(program.waitForFinished());
        ASSERT_EQ(program.exitStatus(), QProcess::CrashExit) << program.readAll().constData();
        for (const QString& path : {site, card}) {
            const QByteArray now = test::ReadBytes(path);
            const int which = now == contents[0] ? 0 : now == contents[1] ? 1 : -1;
            ASSERT_NE(which, -1) << "round " << round << " (seed " << seed << "): " << path.toStdString()
                                 << " holds " << now.size() << " bytes that are neither table";
            ++seen[path == card][which];
        }
    }
    // The kills fell at different moments, not all before the first save.
    EXPECT_GT(seen[0][1], 0) << "seed " << seed;
    EXPECT_GT(seen[1][1], 0) << "seed " << seed;
}

} // namespace
} // namespace mr640

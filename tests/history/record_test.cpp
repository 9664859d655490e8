#include "history/site_history.h"

#include "files/csv_file.h"
#include "library_fixture.h"
#include "test_files.h"

#include <QDir>
#include <QFile>

namespace mr640::test {
namespace {

using namespace Qt::StringLiterals;

using RecordTest = LibraryTest;

TEST_F(RecordTest, CommitsTheOneSiteFileAndLeavesTheUsersWorkAsItWas)
{
    MakeRepository();
    Git("branch side");
    const QString sideBefore = Git("rev-parse side");
    QDir(library_).mkdir(u"east"_s);
    const QString site = library_ + u"/east/north.dip"_s;
    // The user's own work: a staged change and a new file.
    WriteBytes(library_ + u"/readme.txt"_s, "staged\n");
    Git("add readme.txt");
    WriteBytes(library_ + u"/notes.txt"_s, "not mine\n");

    const RecordOutcome first = Save(site, Site());
    EXPECT_TRUE(first.recorded);
    EXPECT_EQ(first.summary, u"New site, 384 channels"_s);
    const RecordOutcome second =
        Save(site, Site(u"North TPR"_s), kAnn, {u"Works order 4471"_s, {}});
    EXPECT_EQ(second.summary, u"1 channel changed: AA17 name"_s);
    EXPECT_FALSE(Save(site, Site(u"North TPR"_s)).recorded) << "the same bytes again";

    EXPECT_EQ(Git("fsck --strict --no-progress"), QString());
    EXPECT_EQ(
        Git("log --format=%H|%an|%ae|%s|%b -- east/north.dip"),
        second.id +
            u"|Ann Engineer|ann@example.org|1 channel changed: AA17 name|Works order 4471\n\n"_s +
            first.id + u"|Ann Engineer|ann@example.org|New site, 384 channels|\n"_s);
    EXPECT_EQ(Git("show --name-only --format= HEAD"), u"east/north.dip\n"_s);
    EXPECT_EQ(GitBytes("show HEAD~1:east/north.dip"), Site());
    EXPECT_EQ(Git("status --porcelain"), u"M  readme.txt\n?? notes.txt\n"_s);
    EXPECT_EQ(Git("rev-parse side"), sideBefore);
    const RecordOptions restored{{}, QDateTime(QDate(2026, 12, 1), QTime(14, 2))};
    EXPECT_EQ(Save(site, Site(), kAnn, restored).summary,
              u"Restored the version of 2026-12-01 14:02"_s);
}

TEST_F(RecordTest, TheFirstVersionOnAnUnbornBranchIsItsFirstCommit)
{
    library_ = Path(u"empty"_s);
    Git({u"init"_s, u"-q"_s, u"-b"_s, u"trunk"_s, library_}, Path({}));
    const RecordOutcome first = Save(library_ + u"/south.csv"_s, EncodeCsv(DefaultRows(384)));
    EXPECT_EQ(first.summary, u"New site, 384 channels"_s);
    EXPECT_EQ(Git("rev-list --parents trunk"), first.id + u'\n');
    EXPECT_EQ(Git("status --porcelain"), QString());
}

TEST_F(RecordTest, AnyLockStopsTheVersionBeforeTheBranchOrTheIndexChanges)
{
    MakeRepository();
    const QString site = library_ + u"/north.dip"_s;
    Save(site, Site());
    const QString head = Git("rev-parse HEAD");
    for (const QString& lock : {u"/.git/index.lock"_s, u"/.git/refs/heads/main.lock"_s}) {
        WriteBytes(library_ + lock, {});
        const HistoryError error = ErrorOf([&] { Save(site, Site(u"North TPR"_s)); });
        EXPECT_TRUE(error.Message().startsWith(
            site + u": the repository is locked by another git program ("_s))
            << error.Message().toStdString();
        EXPECT_TRUE(error.Reason().contains(lock.mid(1))) << error.Message().toStdString();
        QFile::remove(library_ + lock);
        EXPECT_EQ(Git("rev-parse HEAD"), head);
        EXPECT_EQ(Git("diff --cached --name-only"), QString()) << lock.toStdString();
    }
    // An index that cannot be written after the commit: the branch is set back.
    QFile::remove(library_ + u"/.git/index"_s);
    QDir(library_).mkpath(u".git/index"_s);
    ErrorOf([&] { Save(site, Site(u"North TPR"_s)); });
    QDir(library_ + u"/.git/index"_s).removeRecursively();
    EXPECT_EQ(Git("rev-parse HEAD"), head);
}

TEST_F(RecordTest, MissingObjectsAreNamedAndNothingIsRecorded)
{
    MakeRepository();
    const QString site = library_ + u"/north.dip"_s;
    Save(site, Site());
    const QString tree = Git("rev-parse HEAD^{tree}").trimmed();
    QFile::remove(library_ + u"/.git/objects/"_s + tree.left(2) + u'/' + tree.mid(2));
    const QString head = Git("rev-parse HEAD");

    const HistoryError error = ErrorOf([&] { Save(site, Site(u"North TPR"_s)); });
    EXPECT_TRUE(error.Message().startsWith(site + u": the repository is missing objects ("_s))
        << error.Message().toStdString();
    EXPECT_EQ(Git("rev-parse HEAD"), head);
}

TEST_F(RecordTest, ADetachedHeadIsRefused)
{
    MakeRepository();
    Git("checkout -q --detach");
    const QString head = Git("rev-parse --short=7 HEAD").trimmed();
    EXPECT_EQ(
        ErrorOf([&] { Save(library_ + u"/north.dip"_s, Site()); }).Reason(),
        u"the repository's HEAD is detached (at %1), on no branch: check out a branch to record versions"_s
            .arg(head));
}

TEST_F(RecordTest, ABareRepositoryIsNoLibrary)
{
    library_ = Path(u"team.git"_s);
    Git({u"init"_s, u"-q"_s, u"--bare"_s, library_}, Path({}));
    EXPECT_EQ(
        ErrorOf([&] { SiteHistory::Find(library_ + u"/north.dip"_s); }).Message(),
        library_ + u"/north.dip: "_s + library_ +
            u" is a bare repository, which has no folder of sites: clone it to work on its sites"_s);
    EXPECT_FALSE(SiteHistory::Find(Path(u"north.dip"_s)))
        << "no repository holds the temporary folder";
}

TEST_F(RecordTest, TheAuthorComesFromTheSettingsElseFromGitElseItIsNamedAsMissing)
{
    MakeRepository();
    const QString site = library_ + u"/north.dip"_s;
    const auto error = [&](const Author& settings) {
        return ErrorOf([&] { ResolveAuthor(settings, site); }).Reason();
    };
    EXPECT_EQ(
        error({}),
        u"no author name and e-mail: give it in the settings or set git's user.name and user.email"_s);
    EXPECT_EQ(error({u"Ann"_s, {}}),
              u"no author e-mail: give it in the settings or set git's user.email"_s);
    Git({u"config"_s, u"user.name"_s, u"Git Ann"_s});
    Git("config user.email git-ann@example.org");
    EXPECT_EQ(GitAuthor(site), (Author{u"Git Ann"_s, u"git-ann@example.org"_s}));
    EXPECT_EQ(ResolveAuthor({u"Ann"_s, u" "_s}, site),
              (Author{u"Ann"_s, u"git-ann@example.org"_s}));
    EXPECT_EQ(ResolveAuthor(kAnn, site), kAnn);
    EXPECT_EQ(GitAuthor(Path(u"elsewhere/north.dip"_s)), Author())
        << "no repository, an empty home";
}

} // namespace
} // namespace mr640::test

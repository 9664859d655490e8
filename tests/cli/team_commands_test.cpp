// merge, get and send as scripts and git meet them: the built program on sites and
// libraries made by the test, git reading back what it did.

#include "program_run.h"
#include "team_fixture.h"
#include "test_files.h"

#include <QProcess>

namespace mr640::test {
namespace {

using namespace Qt::StringLiterals;

class TeamCommands : public TeamTest
{
protected:
    // The program in the test's folder, its home a folder of its own.
    ProgramRun Run(const QStringList& arguments)
    {
        return RunProgram(Path({}), arguments, Path(u"home"_s));
    }
};

struct MergeCase
{
    const char* name;
    QByteArray mine, theirs;
    int status;
    QStringList out;
    QStringList err;
    QByteArray merged; // MINE afterwards
};

const QByteArray kNorth = SiteNaming({{16, u"North TPR"_s}});

// clang-format off
const MergeCase kMerges[] = {
    {"DifferentFieldsMerge", kNorth, SiteNaming({{17, u"AA18"_s}}, 768), 0,
     {u"mine: merged 2 changes of theirs with 1 of mine"_s}, {},
     SiteNaming({{16, u"North TPR"_s}, {17, u"AA18"_s}}, 768)},
    {"TheSameFieldChangedToTwoValues", kNorth, SiteNaming({{16, u"North \"TPR\"2"_s}}), 1, {},
     {u"AA17 name: \"Spare AA17\" -> \"North TPR\" | \"North \"\"TPR\"\"2\""_s,
      u"mine: not written: 1 conflict"_s}, kNorth},
    {"TwoChannelCounts", SiteNaming({}, 768), SiteNaming({}, 1152), 1, {},
     {u"channels: 384 -> 768 | 1152"_s, u"mine: not written: 1 conflict"_s}, SiteNaming({}, 768)},
    {"NoSite", kNorth, "not a site\r\n", 1, {},
     {u"theirs:1: Not enough fields found in line:- \"not a site\"; Continue loading?"_s,
      u"theirs: holds no channel"_s, u"mine: not written: theirs holds no channel"_s}, kNorth},
};
// clang-format on

void PrintTo(const MergeCase& c, std::ostream* os)
{
    *os << c.name;
}

class MergeCommand : public TeamCommands, public testing::WithParamInterface<MergeCase>
{
};

// git hands the driver temporary files without the site's name, as here.
TEST_P(MergeCommand, MergesIntoMineOrListsEveryConflict)
{
    const MergeCase& c = GetParam();
    WriteBytes(Path(u"base"_s), Site());
    WriteBytes(Path(u"mine"_s), c.mine);
    WriteBytes(Path(u"theirs"_s), c.theirs);
    const ProgramRun run = Run({u"merge"_s, u"base"_s, u"mine"_s, u"theirs"_s});
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(ReadBytes(Path(u"mine"_s)), c.merged);
}

INSTANTIATE_TEST_SUITE_P(, MergeCommand, testing::ValuesIn(kMerges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TeamCommands, GitMergesSitesThroughTheDriver)
{
    MakeRepository();
    WriteBytes(library_ + u"/.gitattributes"_s, "*.dip merge=mr640config\n");
    Git({u"config"_s, u"merge.mr640config.driver"_s,
         QStringLiteral(MR640_PROGRAM) + u" merge %O %A %B"_s});
    Save(North(library_), Site());
    Git("add .gitattributes");
    Git("commit -q -m Attributes");
    Git("branch jo");
    Save(North(library_), kNorth);
    Git("checkout -q jo");
    Save(North(library_), SiteNaming({{17, u"AA18"_s}}));
    Git("merge -q --no-edit main");
    EXPECT_EQ(ReadBytes(North(library_)), SiteNaming({{16, u"North TPR"_s}, {17, u"AA18"_s}}));

    Git("checkout -q -b clash jo~1");
    Save(North(library_), Site(u"Jo's"_s));
    QProcess git; // fails, as a merge with conflicts does
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, Path(u"home"_s));
    environment.insert(u"GIT_CONFIG_NOSYSTEM"_s, u"1"_s);
    git.setProcessEnvironment(environment);
    git.setWorkingDirectory(library_);
    git.start(u"git"_s, {u"-c"_s, u"user.name=Jo"_s, u"-c"_s, u"user.email=jo@example.org"_s,
                         u"merge"_s, u"--no-edit"_s, u"main"_s});
    git.waitForFinished();
    EXPECT_EQ(git.exitCode(), 1);
    EXPECT_TRUE(git.readAllStandardError().contains(
        "AA17 name: \"Spare AA17\" -> \"Jo's\" | \"North TPR\""));
    EXPECT_EQ(ReadBytes(North(library_)), Site(u"Jo's"_s));
    EXPECT_EQ(Git("status --porcelain"), u"UU north.dip\n"_s);
}

TEST_F(TeamCommands, GetAndSendDoWhatTheTeamMenuDoes)
{
    MakeTeam();
    Git({u"config"_s, u"user.name"_s, kJo.name}, jo_);
    Git({u"config"_s, u"user.email"_s, kJo.email}, jo_);
    Save(North(ann_), SiteNaming({{16, u"Ann's"_s}, {19, u"Twenty"_s}}));
    EXPECT_EQ(Run({u"send"_s, u"ann"_s}).out, QStringList{u"Sent 1 version"_s});
    Save(North(jo_), Site(u"Jo's"_s), kJo);
    const QString before = State(jo_);

    ProgramRun run = Run({u"get"_s, u"jo"_s});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(
        run.err,
        (QStringList{u"jo/north.dip: AA17 name: \"Spare AA17\" -> \"Jo's\" | \"Ann's\""_s,
                     u"jo: nothing was got: 1 conflict to decide with --mine or --theirs"_s}));
    EXPECT_EQ(State(jo_), before);
    run = Run({u"send"_s, u"jo"_s});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, QStringList{u"jo: Another engineer sent changes since you last got them. "
                                   u"Get the team's changes first."_s});

    run = Run({u"get"_s, u"jo"_s, u"--theirs"_s});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, (QStringList{u"Merged 1 change of Ann Engineer; 1 conflict decided"_s,
                                    u"2 versions to send"_s}));
    EXPECT_EQ(Git("log -1 --format=%an", jo_), u"Jo Bloggs\n"_s);
    EXPECT_EQ(Run({u"send"_s, u"jo"_s}).out, QStringList{u"Sent 2 versions"_s});
    EXPECT_EQ(Run({u"get"_s, u"ann"_s}).out,
              (QStringList{u"Got 2 versions"_s, u"Up to date with the team"_s}));

    TeamLibrary::Open(ann_).Share(u"git@example.org:sites.git"_s);
    Git({u"remote"_s, u"set-url"_s, u"origin"_s, Path(u"nowhere"_s)}, ann_);
    run = Run({u"get"_s, u"ann"_s});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, QStringList{u"ann: The team library at %1 cannot be reached: there is no "
                                   u"such folder."_s.arg(Path(u"nowhere"_s))});
}

} // namespace
} // namespace mr640::test

// merge, get and send as scripts and git meet them: the built program on sites and
// libraries made by the test, git (with an empty home) reading back what it did.

#include "editor/channel_table.h"
#include "files/dip_file.h"
#include "program_run.h"
#include "test_files.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::ReadBytes;
using test::RunProgram;
using test::WriteBytes;

// A dip site of channels channels, with relay names and back contacts set by row.
QByteArray Site(std::initializer_list<std::pair<int, QString>> names, int channels = 384,
                std::initializer_list<int> backs = {})
{
    std::vector<ChannelRow> rows = DefaultRows(channels);
    for (const auto& [row, name] : names)
        rows[static_cast<std::size_t>(row)].relNam = name;
    for (const int row : backs)
        rows[static_cast<std::size_t>(row)].back = true;
    return EncodeDip(rows);
}

// A folder of the test's own, the home of every program it runs: neither git nor the
// program reads the machine's git configuration.
class TeamCommandsTest : public testing::Test
{
protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }

    test::ProgramRun Run(const QStringList& arguments)
    {
        return RunProgram(dir_.path(), arguments);
    }

    // git in the folder dir (the test's folder when empty); answers its exit status.
    int GitStatus(const QStringList& arguments, const QString& dir = {})
    {
        QProcess git;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, dir_.path());
        environment.insert(u"GIT_CONFIG_NOSYSTEM"_s, u"1"_s);
        git.setProcessEnvironment(environment);
        git.setWorkingDirectory(dir.isEmpty() ? dir_.path() : dir);
        git.setProcessChannelMode(QProcess::MergedChannels);
        git.start(u"git"_s, QStringList{u"-c"_s, u"user.name=Ann Engineer"_s, u"-c"_s,
                                        u"user.email=ann@example.org"_s} +
                                arguments);
        EXPECT_TRUE(git.waitForFinished()) << "git did not run";
        output_ = QString::fromUtf8(git.readAll());
        return git.exitCode();
    }
    // The same, failing the test unless git exits 0; answers its output.
    QString Git(const QStringList& arguments, const QString& dir = {})
    {
        EXPECT_EQ(GitStatus(arguments, dir), 0)
            << "git " << arguments.join(u' ').toStdString() << ": " << output_.toStdString();
        return output_;
    }

    // Writes bytes to the library's north.dip and commits it.
    void Commit(const QString& library, const QByteArray& bytes)
    {
        WriteBytes(library + u"/north.dip"_s, bytes);
        Git({u"commit"_s, u"-q"_s, u"-a"_s, u"-m"_s, u"Change"_s}, library);
    }

    QTemporaryDir dir_;
    QString output_;
};

struct MergeCase
{
    const char* name;
    QByteArray base, mine, theirs;
    int status;
    QStringList out;
    QStringList err;
    QByteArray merged; // MINE afterwards
};

const QByteArray kBase = Site({});
const QByteArray kNorth = Site({{16, u"North TPR"_s}});

const MergeCase kMerges[] = {
    {"DifferentFieldsMerge",
     kBase,
     kNorth,
     Site({}, 768, {17}),
     0,
     {u"mine: merged 2 changes of theirs with 1 of mine"_s},
     {},
     Site({{16, u"North TPR"_s}}, 768, {17})},
    {"TheSameFieldChangedToTwoValues",
     kBase,
     kNorth,
     Site({{16, u"North \"TPR\"2"_s}}),
     1,
     {},
     {u"AA17 name: \"Spare AA17\" -> \"North TPR\" | \"North \"\"TPR\"\"2\""_s,
      u"mine: not written: 1 conflict"_s},
     kNorth},
    {"TwoChannelCounts",
     kBase,
     Site({}, 768),
     Site({}, 1152),
     1,
     {},
     {u"channels: 384 -> 768 | 1152"_s, u"mine: not written: 1 conflict"_s},
     Site({}, 768)},
    {"NoSite",
     kBase,
     kNorth,
     "not a site\r\n",
     1,
     {},
     {u"theirs:1: Not enough fields found in line:- \"not a site\"; Continue loading?"_s,
      u"theirs: holds no channel"_s, u"mine: not written: theirs holds no channel"_s},
     kNorth},
};

void PrintTo(const MergeCase& c, std::ostream* os)
{
    *os << c.name;
}

class MergeCommand : public TeamCommandsTest, public testing::WithParamInterface<MergeCase>
{
};

// git hands the driver temporary files without the site's name, as here.
TEST_P(MergeCommand, MergesIntoMineOrListsEveryConflict)
{
    const MergeCase& c = GetParam();
    WriteBytes(Path(u"base"_s), c.base);
    WriteBytes(Path(u"mine"_s), c.mine);
    WriteBytes(Path(u"theirs"_s), c.theirs);
    const test::ProgramRun run = Run({u"merge"_s, u"base"_s, u"mine"_s, u"theirs"_s});
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(ReadBytes(Path(u"mine"_s)), c.merged);
}

INSTANTIATE_TEST_SUITE_P(, MergeCommand, testing::ValuesIn(kMerges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TeamCommandsTest, GitMergesSitesThroughTheDriver)
{
    const QString library = Path(u"lib"_s);
    Git({u"init"_s, u"-q"_s, u"-b"_s, u"main"_s, library});
    WriteBytes(library + u"/.gitattributes"_s, "*.dip merge=mr640config\n");
    Git({u"config"_s, u"merge.mr640config.driver"_s,
         QStringLiteral(MR640_PROGRAM) + u" merge %O %A %B"_s},
        library);
    WriteBytes(library + u"/north.dip"_s, kBase);
    Git({u"add"_s, u"."_s}, library);
    Git({u"commit"_s, u"-q"_s, u"-m"_s, u"Site"_s}, library);
    Git({u"branch"_s, u"jo"_s}, library);
    Commit(library, kNorth);
    Git({u"checkout"_s, u"-q"_s, u"jo"_s}, library);
    Commit(library, Site({}, 384, {17}));
    Git({u"branch"_s, u"clash"_s}, library);
    Git({u"checkout"_s, u"-q"_s, u"main"_s}, library);

    Git({u"merge"_s, u"-q"_s, u"--no-edit"_s, u"jo"_s}, library);
    EXPECT_EQ(ReadBytes(library + u"/north.dip"_s), Site({{16, u"North TPR"_s}}, 384, {17}));

    Git({u"checkout"_s, u"-q"_s, u"clash"_s}, library);
    const QByteArray mine = Site({{16, u"Jo's"_s}}, 384, {17});
    Commit(library, mine);
    EXPECT_EQ(GitStatus({u"merge"_s, u"--no-edit"_s, u"main"_s}, library), 1);
    EXPECT_TRUE(output_.contains(u"AA17 name: \"Spare AA17\" -> \"Jo's\" | \"North TPR\""_s))
        << output_.toStdString();
    EXPECT_EQ(ReadBytes(library + u"/north.dip"_s), mine);
    EXPECT_EQ(Git({u"status"_s, u"--porcelain"_s}, library), u"UU north.dip\n"_s);
}

TEST_F(TeamCommandsTest, GetAndSendDoWhatTheTeamMenuDoes)
{
    const QString ann = Path(u"ann"_s);
    const QString jo = Path(u"jo"_s);
    Git({u"init"_s, u"-q"_s, u"--bare"_s, u"-b"_s, u"main"_s, u"team.git"_s});
    Git({u"clone"_s, u"-q"_s, u"team.git"_s, ann});
    WriteBytes(ann + u"/north.dip"_s, kBase);
    Git({u"add"_s, u"north.dip"_s}, ann);
    Git({u"commit"_s, u"-q"_s, u"-m"_s, u"Site"_s}, ann);
    EXPECT_EQ(Run({u"send"_s, u"ann"_s}).out, QStringList{u"Sent 1 version"_s});
    Git({u"clone"_s, u"-q"_s, u"team.git"_s, jo});
    Git({u"config"_s, u"user.name"_s, u"Jo Bloggs"_s}, jo);
    Git({u"config"_s, u"user.email"_s, u"jo@example.org"_s}, jo);
    Commit(ann, Site({{16, u"Ann's"_s}, {19, u"Twenty"_s}}));
    Run({u"send"_s, u"ann"_s});
    Commit(jo, Site({{16, u"Jo's"_s}}));
    const QString before = Git({u"rev-parse"_s, u"HEAD"_s}, jo);

    test::ProgramRun run = Run({u"get"_s, u"jo"_s});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, QStringList());
    EXPECT_EQ(run.err,
              (QStringList{u"jo/north.dip: AA17 name: \"Spare AA17\" -> \"Jo's\" | \"Ann's\""_s,
                           u"jo: nothing was got: 1 conflict to decide with --mine or --theirs"_s}));
    EXPECT_EQ(Git({u"rev-parse"_s, u"HEAD"_s}, jo), before);
    run = Run({u"send"_s, u"jo"_s});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, QStringList{u"jo: Another engineer sent changes since you last got them. "
                                   u"Get the team's changes first."_s});

    run = Run({u"get"_s, u"jo"_s, u"--theirs"_s});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, (QStringList{u"Merged 1 change of Ann Engineer; 1 conflict decided"_s,
                                    u"2 versions to send"_s}));
    EXPECT_EQ(ReadBytes(jo + u"/north.dip"_s), Site({{16, u"Ann's"_s}, {19, u"Twenty"_s}}));
    EXPECT_EQ(Git({u"log"_s, u"-1"_s, u"--format=%an %p"_s}, jo).count(u' '), 3);
    EXPECT_EQ(Run({u"send"_s, u"jo"_s}).out, QStringList{u"Sent 2 versions"_s});
    run = Run({u"get"_s, u"ann"_s});
    EXPECT_EQ(run.out, (QStringList{u"Got 2 versions"_s, u"Up to date with the team"_s}));

    const QString nowhere = Path(u"nowhere"_s);
    Git({u"remote"_s, u"set-url"_s, u"origin"_s, nowhere}, ann);
    run = Run({u"get"_s, u"ann"_s});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, QStringList{u"ann: The team library at %1 cannot be reached: there is no "
                                   u"such folder."_s.arg(nowhere)});
    QDir().mkpath(nowhere);
    run = Run({u"send"_s, u"ann"_s});
    EXPECT_EQ(run.status, 2);
    ASSERT_EQ(run.err.size(), 1);
    EXPECT_TRUE(run.err[0].startsWith(
        u"ann: The team library at %1 is not a git repository: "_s.arg(nowhere)))
        << run.err[0].toStdString();
}

} // namespace
} // namespace mr640

#include "team_fixture.h"

#include "files/dip_file.h"
#include "test_files.h"

#include <QDir>

namespace mr640::test {

using namespace Qt::StringLiterals;

TeamFolders MakeTeamIn(const QString& folder)
{
    const QDir in(folder);
    const TeamFolders made{in.filePath(u"team.git"_s), in.filePath(u"ann"_s), in.filePath(u"jo"_s)};
    RunGit({u"init"_s, u"-q"_s, u"-b"_s, u"main"_s, made.ann}, folder);
    LibraryTest::Save(NorthOf(made.ann), SiteNamed());
    TeamLibrary::Open(made.ann).Share(made.team);
    TeamLibrary::Open(made.ann).Send({});
    RunGit({u"clone"_s, u"-q"_s, made.team, made.jo}, folder);
    return made;
}

void TeamTest::MakeTeam()
{
    const TeamFolders made = MakeTeamIn(Path({}));
    team_ = made.team;
    ann_ = made.ann;
    jo_ = made.jo;
}

QByteArray SiteNaming(std::initializer_list<std::pair<int, QString>> names, int channels)
{
    std::vector<ChannelRow> rows = DefaultRows(channels);
    for (const auto& [row, name] : names)
        rows[static_cast<std::size_t>(row)].relNam = name;
    return EncodeDip(rows);
}

GetOutcome TeamTest::Get(const QString& library, const Author& author, MergeSide every,
                         const TeamCallbacks& callbacks)
{
    TeamLibrary team = TeamLibrary::Open(library);
    const IncomingChanges incoming = team.Fetch(callbacks);
    return team.Take(incoming, std::vector(incoming.conflicts.size(), every), author);
}

SendOutcome TeamTest::Send(const QString& library, const TeamCallbacks& callbacks)
{
    return TeamLibrary::Open(library).Send(callbacks);
}

QString TeamTest::State(const QString& library)
{
    return QString::fromUtf8(RunGit("rev-parse HEAD", library) +
                             RunGit("status --porcelain", library) +
                             ReadBytes(North(library)).toHex());
}

} // namespace mr640::test

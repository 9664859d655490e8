#include "team_fixture.h"

#include "files/dip_file.h"
#include "test_files.h"

#include <QDir>

namespace mr640::test {

using namespace Qt::StringLiterals;

void TeamTest::MakeTeam()
{
    ann_ = Path(u"ann"_s);
    jo_ = Path(u"jo"_s);
    team_ = Path(u"team.git"_s);
    Git({u"init"_s, u"-q"_s, u"-b"_s, u"main"_s, ann_}, Path({}));
    Save(North(ann_), Site());
    TeamLibrary::Open(ann_).Share(team_);
    Send(ann_);
    Git({u"clone"_s, u"-q"_s, team_, jo_}, Path({}));
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
    return Git({u"rev-parse"_s, u"HEAD"_s}, library) +
           Git({u"status"_s, u"--porcelain"_s}, library) +
           QString::fromLatin1(ReadBytes(North(library)).toHex());
}

} // namespace mr640::test

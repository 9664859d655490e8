#pragma once

#include "history/team_library.h"
#include "library_fixture.h"

#include <initializer_list>
#include <utility>

namespace mr640::test {

inline const Author kJo{QStringLiteral("Jo Bloggs"), QStringLiteral("jo@example.org")};

// A dip site of channels channels with the relay names given by row.
QByteArray SiteNaming(std::initializer_list<std::pair<int, QString>> names, int channels = 384);

// A team's library and two engineers' libraries cloned from it, each with north.dip.
struct TeamFolders
{
    QString team;
    QString ann;
    QString jo;
};

// In folder: the team library "team.git", shared by Ann from her library "ann" holding
// north.dip (SiteNamed()), and Jo's library "jo" cloned from it by git.
TeamFolders MakeTeamIn(const QString& folder);

inline QString NorthOf(const QString& library)
{
    return library + QStringLiteral("/north.dip");
}

class TeamTest : public LibraryTest
{
public:
    // HEAD's id, the short status and the site's bytes: what nothing may change.
    static QString State(const QString& library);

protected:
    // MakeTeamIn the test's folder.
    void MakeTeam();

    static QString North(const QString& library) { return NorthOf(library); }

    // Fetches and takes the team's changes with one decision for every conflict.
    static GetOutcome Get(const QString& library, const Author& author,
                          MergeSide every = MergeSide::Mine, const TeamCallbacks& callbacks = {});
    static SendOutcome Send(const QString& library, const TeamCallbacks& callbacks = {});


    QString team_;
    QString ann_;
    QString jo_;
};

// The TeamError work throws; the test fails when it throws none.
template <typename Work> TeamError TeamErrorOf(Work&& work)
{
    try {
        work();
    } catch (const TeamError& error) {
        return error;
    }
    ADD_FAILURE() << "no error";
    return TeamError(TeamError::Kind::Blocked, {});
}

} // namespace mr640::test

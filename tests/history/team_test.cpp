// Two engineers' libraries cloned from one team library in a folder, driven through the core
// and read back with git.

#include "team_fixture.h"
#include "test_files.h"

#include <QDir>

namespace mr640::test {
namespace {

using namespace Qt::StringLiterals;

TEST_F(TeamTest, ChangesToDifferentFieldsMergeAsAVersionWithBothParents)
{
    MakeTeam();
    Save(North(ann_), SiteNaming({{16, u"North TPR"_s}, {19, u"AA20 TPR"_s}}), kAnn);
    EXPECT_EQ(Send(ann_).summary, u"Sent 1 version"_s);
    Save(North(jo_), SiteNaming({{17, u"Jo's relay"_s}}), kJo);
    const QString jos = Git("rev-parse HEAD", jo_).trimmed();
    // Jo's own work beside the site, which the Get leaves alone.
    WriteBytes(jo_ + u"/wiring.txt"_s, "staged\n");
    Git("add wiring.txt", jo_);
    WriteBytes(jo_ + u"/draft.txt"_s, "not mine\n");

    TeamLibrary team = TeamLibrary::Open(jo_);
    const IncomingChanges incoming = team.Fetch({});
    EXPECT_EQ(incoming.changedFiles, QStringList{North(jo_)});
    EXPECT_EQ(TeamCountsText(team.Counts().value()), u"1 version to send, 1 to get"_s);

    EXPECT_EQ(team.Take(incoming, {}, kJo).summary, u"Merged 2 changes of Ann Engineer"_s);
    EXPECT_EQ(ReadBytes(North(jo_)),
              SiteNaming({{16, u"North TPR"_s}, {17, u"Jo's relay"_s}, {19, u"AA20 TPR"_s}}));
    const QString anns = Git("rev-parse origin/main", jo_).trimmed();
    EXPECT_EQ(Git("log -1 --format=%an|%s|%P", jo_),
              u"Jo Bloggs|Merged 2 changes of Ann Engineer|%1 %2\n"_s.arg(jos, anns));
    EXPECT_EQ(Git("status --porcelain", jo_), u"A  wiring.txt\n?? draft.txt\n"_s);
    EXPECT_EQ(Git("fsck --strict --no-progress", jo_), QString());
    EXPECT_EQ(TeamCountsText(team.Counts().value()), u"2 versions to send"_s);

    EXPECT_EQ(Send(jo_).summary, u"Sent 2 versions"_s);
    EXPECT_EQ(Get(ann_, kAnn).summary, u"Got 2 versions"_s);
    EXPECT_EQ(ReadBytes(North(ann_)), ReadBytes(North(jo_)));
    EXPECT_EQ(Git("status --porcelain", ann_), QString());
    EXPECT_EQ(TeamCountsText(TeamLibrary::Open(ann_).Counts().value()),
              u"Up to date with the team"_s);
}

TEST_F(TeamTest, ConflictsWaitForADecisionAndLeaveTheLibraryAsItWasUntilThen)
{
    MakeTeam();
    Save(North(ann_), SiteNaming({{16, u"Ann's"_s}, {19, u"Twenty"_s}}), kAnn);
    Send(ann_);
    Save(North(jo_), SiteNaming({{16, u"Jo's"_s}}), kJo);
    const QString before = State(jo_);

    TeamLibrary team = TeamLibrary::Open(jo_);
    const IncomingChanges incoming = team.Fetch({});
    ASSERT_EQ(incoming.conflicts.size(), 1u);
    EXPECT_EQ(incoming.conflicts[0].site, u"north.dip"_s);
    EXPECT_EQ(incoming.conflicts[0].conflict,
              (MergeConflict{16, FieldRelNam, u"Spare AA17"_s, u"Jo's"_s, u"Ann's"_s}));
    EXPECT_THROW(team.Take(incoming, {}, kJo), HistoryError); // every line needs a decision
    EXPECT_EQ(State(jo_), before);

    EXPECT_EQ(team.Take(incoming, {MergeSide::Theirs}, kJo).summary,
              u"Merged 1 change of Ann Engineer; 1 conflict decided"_s);
    EXPECT_EQ(ReadBytes(North(jo_)), SiteNaming({{16, u"Ann's"_s}, {19, u"Twenty"_s}}));
    EXPECT_THROW(team.Take(incoming, {MergeSide::Theirs}, kJo), TeamError)
        << "taken once: the library has moved on";
}

struct RefusedGet
{
    const char* name;
    QString reason;
};

void PrintTo(const RefusedGet& c, std::ostream* os)
{
    *os << c.name;
}

class RefusedGetTest : public TeamTest, public testing::WithParamInterface<RefusedGet>
{
};

TEST_P(RefusedGetTest, SaysWhyAndChangesNothing)
{
    MakeTeam();
    const QString which = QString::fromLatin1(GetParam().name);
    if (which == u"AnotherFileChangedOnBothSides"_s) {
        for (const QString& library : {ann_, jo_}) {
            WriteBytes(library + u"/wiring.txt"_s, library.toUtf8());
            Git("add wiring.txt", library);
            Git("commit -q -m Wiring", library);
        }
    } else if (which == u"ASiteRemovedOnOneSideAndChangedOnTheOther"_s) {
        Git("rm -q north.dip", ann_);
        Git("commit -q -m Gone", ann_);
        Save(North(jo_), SiteNaming({{16, u"Jo's"_s}}), kJo);
    } else {
        Save(North(ann_), SiteNaming({{16, u"Ann's"_s}}), kAnn);
        WriteBytes(North(jo_), SiteNaming({{16, u"Jo's, not recorded"_s}}));
    }
    Send(ann_);
    const QString before = State(jo_);
    const TeamError error = TeamErrorOf([&] { Get(jo_, kJo); });
    EXPECT_EQ(error.WhatStopped(), TeamError::Kind::Blocked);
    EXPECT_EQ(error.Message(), u"The team's changes cannot be taken: "_s + GetParam().reason +
                                   u". Nothing was changed."_s);
    EXPECT_EQ(State(jo_), before);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(, RefusedGetTest, testing::Values(
    RefusedGet{"AnotherFileChangedOnBothSides", u"wiring.txt was changed both here and by Git "
               u"User, and only sites merge field by field: merge it with git"_s},
    RefusedGet{"ASiteRemovedOnOneSideAndChangedOnTheOther", u"north.dip was removed on one side "
               u"and changed on the other: remove it on both or keep it on both"_s},
    RefusedGet{"ASiteHoldingChangesNotRecorded", u"north.dip holds changes that are not recorded "
               u"as a version: record or undo them, then get again"_s}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(TeamTest, ASendTheTeamHasMovedPastIsRefusedAndSendsNothing)
{
    MakeTeam();
    Save(North(ann_), SiteNaming({{16, u"Ann's"_s}}), kAnn);
    Send(ann_);
    const QString teamBefore = Git("rev-parse main", team_);
    Save(North(jo_), SiteNaming({{17, u"Jo's"_s}}), kJo);
    SiteHistory::Open(North(jo_)).MarkIssued(u"HEAD"_s, u"For the works"_s, kJo);
    const QString before = State(jo_) + Git("rev-parse origin/main", jo_);
    EXPECT_EQ(TeamErrorOf([&] { Send(jo_); }).Message(),
              u"Another engineer sent changes since you last got them. Get the "
              u"team's changes first."_s);
    EXPECT_EQ(Git("rev-parse main", team_), teamBefore);
    EXPECT_EQ(Git("tag", team_), QString()) << "nothing of the send went";
    EXPECT_EQ(State(jo_) + Git("rev-parse origin/main", jo_), before);
}

TEST_F(TeamTest, IssuesAndCardNotesTravelAndTheNotesOfBothAreKept)
{
    MakeTeam();
    const QDateTime when(QDate(2026, 12, 1), QTime(14, 2));
    SiteHistory ann = SiteHistory::Open(North(ann_));
    ann.MarkIssued(u"HEAD"_s, u"For the works"_s, kAnn);
    ann.MarkExported(Site(), u"/media/card1"_s, kAnn, when);
    Send(ann_);
    SiteHistory::Open(North(jo_)).MarkExported(Site(), u"/media/card2"_s, kJo, when);

    EXPECT_EQ(Get(jo_, kJo).summary, u"Nothing to get"_s);
    EXPECT_EQ(Send(jo_).summary, u"Sent the marks of versions sent before"_s);
    Get(ann_, kAnn);
    for (const QString& library : {ann_, jo_}) { // Jo's note, then the lines the team's adds
        EXPECT_EQ(Git("tag", library) + Git("notes show", library),
                  u"issued/north/1\nExported to card at /media/card2 on 2026-12-01 14:02\n"
                  u"Exported to card at /media/card1 on 2026-12-01 14:02\n"_s);
    }
}

TEST_F(TeamTest, ShareKeepsThePlaceAsOriginAndMakesAnEmptyFolderATeamLibrary)
{
    MakeRepository();
    TeamLibrary library = TeamLibrary::Open(library_);
    EXPECT_EQ(library.Place(), QString());
    EXPECT_FALSE(library.Counts());
    EXPECT_EQ(TeamErrorOf([&] { library.Fetch({}); }).WhatStopped(), TeamError::Kind::NotShared);
    for (const QString& url : {u"ssh://git@example.org/sites.git"_s, u"git@example.org:sites"_s}) {
        EXPECT_EQ(library.Share(url), url);
        EXPECT_EQ(Git("remote get-url origin"), url + u'\n');
    }
    // A folder of other files, or an engineer's library, never becomes the team's.
    QDir().mkpath(Path(u"other"_s));
    WriteBytes(Path(u"other/plan.txt"_s), "not a library\n");
    EXPECT_EQ(ErrorOf([&] { library.Share(Path(u"other"_s)); }).Message(),
              Path(u"other"_s) + u" holds other files and no git repository: choose an empty "
                                 u"folder, which becomes the team's library"_s);
    EXPECT_TRUE(ErrorOf([&] { library.Share(library_); })
                    .Message()
                    .startsWith(library_ + u" is an engineer's library"_s));
    const QString folder = Path(u"shared/sites"_s);
    EXPECT_EQ(library.Share(u"../shared/sites/"_s), folder); // from the library, not from here
    EXPECT_EQ(Git("rev-parse --is-bare-repository", folder), u"true\n"_s);
    EXPECT_EQ(Git("symbolic-ref HEAD", folder), u"refs/heads/main\n"_s);
    EXPECT_EQ(Send(library_).summary, u"Sent 1 version"_s);
    EXPECT_EQ(Git("log --format=%s", folder), u"Readme\n"_s);
}

} // namespace
} // namespace mr640::test

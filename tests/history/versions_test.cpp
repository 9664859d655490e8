#include "history/site_history.h"

#include "library_fixture.h"
#include "test_files.h"

namespace mr640::test {
namespace {

using namespace Qt::StringLiterals;

const Author kBob{u"Bob Tester"_s, u"bob@example.org"_s};

class VersionsTest : public LibraryTest
{
protected:
    void SetUp() override
    {
        MakeRepository();
        site_ = library_ + u"/north.dip"_s;
    }

    QString site_;
};

TEST_F(VersionsTest, ListsTheSitesVersionsNewestFirstWithTheirMarks)
{
    const QString first = Save(site_, Site()).id;
    Save(library_ + u"/south.dip"_s, Site()); // another site's version
    const QString second = Save(site_, Site(u"North TPR"_s), kBob, {u"Works order 4471"_s, {}}).id;
    SiteHistory history = SiteHistory::Open(site_);
    EXPECT_EQ(history.MarkIssued(u"HEAD"_s, u"Approved by J. Smith"_s, kBob), u"issued/north/1"_s);
    EXPECT_EQ(history.MarkIssued(second.left(10), u"Reissued"_s, kBob), u"issued/north/2"_s);
    const QDateTime exported(QDate(2026, 12, 1), QTime(14, 2));
    EXPECT_EQ(history.MarkExported(Site(u"North TPR"_s), u"/media/ann/CF"_s, kAnn, exported),
              second);
    history.MarkExported(Site(u"North TPR"_s), u"/media/ann/CF2"_s, kAnn, exported.addDays(1));
    Git({u"tag"_s, u"v1"_s, first});

    const std::vector<SiteVersion> versions = history.Versions();
    ASSERT_EQ(versions.size(), 2u);
    const SiteVersion& newest = versions[0];
    EXPECT_EQ(newest.id, second);
    EXPECT_EQ(newest.shortId, second.left(7));
    EXPECT_EQ(newest.author, kBob);
    EXPECT_EQ(newest.summary, u"1 channel changed: AA17 name"_s);
    EXPECT_EQ(newest.description, u"Works order 4471"_s);
    EXPECT_LE(qAbs(newest.when.secsTo(QDateTime::currentDateTime())), 60);
    ASSERT_EQ(newest.marks.size(), 4u);
    EXPECT_EQ(newest.marks[0].kind, VersionMark::Kind::Issued);
    EXPECT_EQ(newest.marks[0].text, u"Approved by J. Smith"_s);
    EXPECT_EQ(newest.marks[1].name, u"issued/north/2"_s);
    const VersionMark card{
        VersionMark::Kind::Exported, u"Exported to card at /media/ann/CF"_s, exported, {}};
    EXPECT_EQ(newest.marks[2], card);
    EXPECT_EQ(newest.marks[3].text, u"Exported to card at /media/ann/CF2"_s);
    EXPECT_EQ(versions[1].id, first);
    EXPECT_EQ(versions[1].summary, u"New site, 384 channels"_s);
    EXPECT_EQ(versions[1].marks,
              (std::vector<VersionMark>{{VersionMark::Kind::Tag, {}, {}, u"v1"_s}}));
    EXPECT_EQ(history.Versions(1).size(), 1u);

    EXPECT_EQ(Git("cat-file -t issued/north/1"), u"tag\n"_s);
    EXPECT_EQ(Git({u"notes"_s, u"show"_s, second}),
              u"Exported to card at /media/ann/CF on 2026-12-01 14:02\n"
              u"Exported to card at /media/ann/CF2 on 2026-12-02 14:02\n"_s);
    EXPECT_EQ(Git("fsck --strict --no-progress"), QString());
    // A card that did not get the last version gets no mark.
    EXPECT_EQ(ErrorOf([&] { history.MarkExported(Site(), u"/media/ann/CF"_s, kAnn); }).Message(),
              site_ + u": what went to the card is not the site's last recorded version ("_s +
                  second.left(7) + u')');
}

TEST_F(VersionsTest, ReadsTheSiteInAnyVersionGitNames)
{
    const QString first = Save(site_, Site()).id;
    SiteHistory history = SiteHistory::Open(site_);
    WriteBytes(site_, Site(u"North TPR"_s));
    history.Record(Site(u"North TPR"_s), kAnn);
    for (const QString& name : {first, first.left(7), u"HEAD~1"_s, u"main~1"_s}) {
        EXPECT_EQ(history.At(name).bytes, Site()) << name.toStdString();
        EXPECT_EQ(history.At(name).id, first);
    }
    EXPECT_EQ(history.At(u"HEAD"_s).bytes, Site(u"North TPR"_s));
    Git("rm -q north.dip");
    Git("commit -q -m Gone");
    EXPECT_TRUE(history.Versions().front().removed);
    // Saved again after git removed it: a new site, though the bytes are its last.
    EXPECT_EQ(history.Record(Site(u"North TPR"_s), kAnn).summary, u"New site, 384 channels"_s);
}

TEST_F(VersionsTest, EachBadNameOrVersionGetsAMessageNamingSiteAndVersion)
{
    const QString south = library_ + u"/south.dip"_s;
    EXPECT_EQ(ErrorOf([&] { SiteHistory::Open(south).Versions(); }).Message(),
              south + u": the site has no recorded version in the library at "_s + library_);
    Save(site_, Site());
    const SiteHistory history = SiteHistory::Open(site_);
    const QString readme = Git("rev-parse --short=7 HEAD~1").trimmed();
    const std::pair<QString, QString> cases[] = {
        {u"nosuch"_s, u"the library has no version named \"nosuch\""_s},
        {u"deadbeef"_s, u"the library has no version named \"deadbeef\""_s},
        {u"HEAD~1"_s, u"the site did not exist in that version (%1)"_s.arg(readme)},
        {u"HEAD:readme.txt"_s, u"\"HEAD:readme.txt\" names no version (not a commit)"_s},
    };
    for (const auto& [revision, reason] : cases) {
        EXPECT_EQ(ErrorOf([&] { history.At(revision); }).Message(),
                  site_ + u'@' + revision + u": "_s + reason);
    }
    EXPECT_EQ(ErrorOf([&] { SiteHistory::Open(Path(u"north.dip"_s)); }).Message(),
              Path(u"north.dip"_s) +
                  u": the site is in no site library: no git repository holds its folder"_s);
}

TEST(SplitSiteRevision, SplitsAtTheFirstAtSignAfterASiteName)
{
    using Split = std::optional<std::pair<QString, QString>>;
    const std::pair<QString, Split> cases[] = {
        {u"north.dip@HEAD~2"_s, {{u"north.dip"_s, u"HEAD~2"_s}}},
        {u"east/NORTH.CSV@issued/north/1"_s, {{u"east/NORTH.CSV"_s, u"issued/north/1"_s}}},
        {u"north.dip@HEAD@{2}"_s, {{u"north.dip"_s, u"HEAD@{2}"_s}}},
        {u"ann@work/north.dip@a1b2c3d"_s, {{u"ann@work/north.dip"_s, u"a1b2c3d"_s}}},
        {u"north.dip"_s, std::nullopt},
        {u"ann@work/north.dip"_s, std::nullopt},
    };
    for (const auto& [argument, split] : cases) {
        const std::optional<SiteRevision> made = SplitSiteRevision(argument);
        EXPECT_EQ(made ? Split({made->site, made->revision}) : std::nullopt, split)
            << argument.toStdString();
    }
}

} // namespace
} // namespace mr640::test

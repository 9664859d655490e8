#include "history/site_library.h"

#include "library_fixture.h"
#include "test_files.h"

#include <QDir>

namespace mr640::test {
namespace {

using namespace Qt::StringLiterals;

using KeepHistoryTest = LibraryTest;

TEST_F(KeepHistoryTest, MakesTheFolderALibraryAndRecordsEachSiteInIt)
{
    library_ = Path(u"sites"_s);
    QDir().mkpath(library_ + u"/old"_s);
    WriteBytes(library_ + u"/north.dip"_s, Site());
    WriteBytes(library_ + u"/south.csv"_s, "1,South TPR,Back\r\n");
    WriteBytes(library_ + u"/broken.dip"_s, "garbage");
    WriteBytes(library_ + u"/readme.txt"_s, "not a site");
    WriteBytes(library_ + u"/old/west.dip"_s, Site());

    const LibraryMade made = KeepHistory(library_, kAnn);
    EXPECT_TRUE(made.created);
    EXPECT_EQ(made.folder, QDir(library_).canonicalPath());
    EXPECT_EQ(made.recorded, (QStringList{u"north.dip"_s, u"south.csv"_s}));
    EXPECT_EQ(made.problems,
              QStringList{u"broken.dip: the file holds no site this program reads"_s});
    EXPECT_EQ(ReadBytes(library_ + u"/.gitattributes"_s), LibraryAttributes());
    EXPECT_EQ(Git("log --format=%s"), u"New site, 384 channels\nNew site, 384 channels\n"
                                      u"Keep the history of the sites in this folder\n"_s);
    EXPECT_EQ(
        Git("check-attr diff merge text -- north.dip"),
        u"north.dip: diff: mr640config\nnorth.dip: merge: mr640config\nnorth.dip: text: unset\n"_s);
    EXPECT_EQ(Git("status --porcelain"), u"?? broken.dip\n?? old/\n?? readme.txt\n"_s);
    EXPECT_EQ(Git("fsck --strict --no-progress"), QString());

    // Again: nothing new to record, and the user's own .gitattributes is theirs.
    WriteBytes(library_ + u"/.gitattributes"_s, "*.txt text\n");
    EXPECT_EQ(KeepHistory(library_, kAnn).recorded, QStringList());
    EXPECT_EQ(ReadBytes(library_ + u"/.gitattributes"_s), "*.txt text\n"_ba);
}

TEST_F(KeepHistoryTest, AFolderInsideAWorkTreeJoinsItsLibrary)
{
    MakeRepository();
    QDir(library_).mkdir(u"east"_s);
    WriteBytes(library_ + u"/east/north.dip"_s, Site());
    const LibraryMade made = KeepHistory(library_ + u"/east"_s, kAnn);
    EXPECT_FALSE(made.created);
    EXPECT_EQ(made.recorded, QStringList{u"east/north.dip"_s});
    EXPECT_EQ(Git("ls-files"), u"east/.gitattributes\neast/north.dip\nreadme.txt\n"_s);
}

} // namespace
} // namespace mr640::test

#include "editor/shared_routines.h"
#include "scripted_ui.h"

#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

TEST(SplitFields, CountsEveryFieldAndKeepsBlanks)
{
    const std::pair<const char*, QStringList> cases[] = {
        {"a,b,c", {u"a"_s, u"b"_s, u"c"_s}},
        {"a,,c", {u"a"_s, QString(), u"c"_s}},
        {"a,b,", {u"a"_s, u"b"_s, QString()}},
        {",", {QString(), QString()}},
        {"", {QString()}},
        {"no comma", {u"no comma"_s}},
        {" a , b ", {u" a "_s, u" b "_s}},
        {"\"x,y\"", {u"\"x"_s, u"y\""_s}},
    };
    for (const auto& [line, fields] : cases) {
        const QStringList split = SplitFields(QString::fromLatin1(line), u',');
        ASSERT_FALSE(split.isEmpty());
        EXPECT_EQ(split.constFirst(), QString()) << line; // element 0 is unused
        EXPECT_EQ(split.mid(1), fields) << line;
    }
}

TEST(DriveOfPath, LooksOnlyAtTheFirstCharacter)
{
    EXPECT_EQ(DriveOfPath(u"C:\\Sites"), u"c:"_s);
    EXPECT_EQ(DriveOfPath(u"d"), u"d:"_s);
    EXPECT_EQ(DriveOfPath(u""), QString());
    EXPECT_EQ(DriveOfPath(u"\\server"), QString());
    EXPECT_EQ(DriveOfPath(u"/home"), QString());
    EXPECT_EQ(DriveOfPath(u"9:"), QString());
}

TEST(ShowInfo, ShowsTheInformationBoxWithTheEditorsTitle)
{
    test::ScriptedUi ui;
    ShowInfo(ui, ErrorReport(u"Error occurred while saving."_s, u"Disk full"_s));
    ASSERT_EQ(ui.Messages().size(), 1u);
    const MessageRequest& box = ui.Messages()[0];
    EXPECT_EQ(box.text, u"Error occurred while saving.\r\nDisk full"_s);
    EXPECT_EQ(box.icon, MessageIcon::Information);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_EQ(box.title, u"MR640 configuration editor"_s);
}

TEST(TrimSpaces, RemovesOnlySpaceCharactersAtTheEnds)
{
    EXPECT_EQ(TrimSpaces(u"  12  TPR "_s), u"12  TPR"_s);
    EXPECT_EQ(TrimSpaces(u"\t12 TPR\t"_s), u"\t12 TPR\t"_s);
    EXPECT_EQ(TrimSpaces(u"    "_s), QString());
}

TEST(FileStemAndDirectoryOf, CutAtTheFirstDotAndAfterTheLastSlash)
{
    EXPECT_EQ(FileStem(u"north.old.dip"_s), u"north"_s);
    EXPECT_EQ(FileStem(u"north"_s), u"north"_s);
    EXPECT_EQ(DirectoryOf(u"/media/card/north.dip"_s), u"/media/card/"_s);
    EXPECT_EQ(DirectoryOf(u"north.dip"_s), QString());
    EXPECT_EQ(DirectoryOf(u"a\\b.dip"_s), QString()); // a backslash is an ordinary character
}

TEST(LeftCharacters, CountsASurrogatePairAsOneCharacter)
{
    const QString rocket = u"\U0001F680"_s; // two UTF-16 units
    const QString name = u"ABCDEFGHIJKLMNO"_s + rocket + u"Z"_s;
    EXPECT_EQ(CharacterCount(name), 17);
    EXPECT_EQ(LeftCharacters(name, 16), u"ABCDEFGHIJKLMNO"_s + rocket);
    EXPECT_EQ(LeftCharacters(name, 15), u"ABCDEFGHIJKLMNO"_s);
    EXPECT_EQ(LeftCharacters(u"OPEN", 3), u"OPE"_s);
    EXPECT_EQ(LeftCharacters(u"UP", 3), u"UP"_s);
    // A lone surrogate is one character of its own.
    const QString lone = QString(QChar(0xD83D)) + u"AB"_s;
    EXPECT_EQ(CharacterCount(lone), 3);
    EXPECT_EQ(LeftCharacters(lone, 1), QString(QChar(0xD83D)));
}

} // namespace
} // namespace mr640

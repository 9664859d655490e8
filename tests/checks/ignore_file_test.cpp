#include "checks/ignore_file.h"
#include "editor/channel_ids.h"
#include "test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

Problem Found(Rule rule, const QStringList& ids)
{
    Problem problem{rule, {}, u"text"_s};
    for (const QString& id : ids)
        problem.rows.push_back(ChannelNumberFromId(id).value_or(0) - 1);
    return problem;
}

TEST(IgnoreFile, AHandEditedFileIsReadAsWrittenAndKeptWhenProblemsAreAddedOrRemoved)
{
    QTemporaryDir dir;
    const QString site = dir.filePath(u"North Junction.dip"_s);
    const QString path = IgnoreFilePath(site);
    EXPECT_EQ(path, dir.filePath(u"North Junction.dip.ignore"_s));

    QString error;
    const Problem duplicate = Found(Rule::DuplicateName, {u"AA17"_s, u"AB02"_s});
    const Problem spaces = Found(Rule::Spaces, {u"AA03"_s});
    const Problem units = Found(Rule::SpareUnits, {u"CA01"_s, u"HH48"_s});
    EXPECT_FALSE(ReadIgnoreFile(path, &error).Ignores(duplicate)) << "no file: nothing ignored";
    EXPECT_TRUE(error.isEmpty());

    test::WriteBytes(path, "# checked with the signal engineer, 3 May\r\n"
                           "\r\n"
                           "  duplicate-name   ab02\tAA17   # the two halves of one relay\r\n"
                           "spaces AA03 AA04\r\n"
                           "no-such-rule AA01\r\n"
                           "spaces AA03");
    IgnoreList list = ReadIgnoreFile(path, &error);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_TRUE(list.Ignores(duplicate));
    EXPECT_TRUE(list.Ignores(spaces));
    EXPECT_FALSE(list.Ignores(Found(Rule::Spaces, {u"AA04"_s})));
    EXPECT_FALSE(list.Ignores(Found(Rule::DuplicateName, {u"AA17"_s, u"AB02"_s, u"AC05"_s})));
    EXPECT_FALSE(list.Ignores(units));

    list.Add(units);
    list.Add(duplicate); // ignored already: no second line
    list.Remove(spaces);
    ASSERT_TRUE(WriteIgnoreFile(path, list, &error)) << error.toStdString();
    EXPECT_EQ(test::ReadBytes(path),
              "# checked with the signal engineer, 3 May\n"
              "\n"
              "  duplicate-name   ab02\tAA17   # the two halves of one relay\n"
              "spaces AA03 AA04\n"
              "no-such-rule AA01\n"
              "spare-units CA01 HH48\n");
    const IgnoreList reread = ReadIgnoreFile(path, &error);
    EXPECT_TRUE(reread.Ignores(units));
    EXPECT_TRUE(reread.Ignores(duplicate));
    EXPECT_FALSE(reread.Ignores(spaces));

    // A file that cannot be read ignores nothing and says why; a write that fails says why.
    QDir(dir.path()).mkdir(u"Folder.dip.ignore"_s);
    const QString folder = dir.filePath(u"Folder.dip.ignore"_s);
    EXPECT_FALSE(ReadIgnoreFile(folder, &error).Ignores(duplicate));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(WriteIgnoreFile(folder, list, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace mr640

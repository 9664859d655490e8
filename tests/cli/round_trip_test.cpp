// A site converted from dip to CSV and back comes back byte for byte, and each file is the
// one the window's Save as writes for the same table.

#include "editor/channel_table.h"
#include "files/csv_file.h"
#include "files/dip_file.h"
#include "program_run.h"
#include "test_files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

// Names of every kind the CSV file carries: plain, 16 characters, with a comma or quotes,
// Windows-1252 letters; contacts of both kinds. State texts stay the defaults, which a CSV
// file does not carry.
std::vector<ChannelRow> Site(int channels)
{
    const QString names[] = {u"North TPR"_s,  u"1234567890ABCDEF"_s,  u"A, B"_s,
                             u"say \"hi\""_s, u"caf\u00e9 \u20ac5"_s, u"12 TPR"_s};
    std::vector<ChannelRow> rows = DefaultRows(channels);
    for (int r = 0; r < channels; r += 3) {
        rows[static_cast<std::size_t>(r)].relNam = names[r % std::size(names)];
        rows[static_cast<std::size_t>(r)].back = r % 2 == 0;
    }
    return rows;
}

class RoundTrip : public testing::TestWithParam<int>
{
};

TEST_P(RoundTrip, DipToCsvToDipIsByteExact)
{
    const std::vector<ChannelRow> rows = Site(GetParam());
    QTemporaryDir dir;
    test::WriteBytes(dir.filePath(u"site.dip"_s), EncodeDip(rows));

    EXPECT_EQ(
        test::RunProgram(dir.path(), {u"convert"_s, u"site.dip"_s, u"-o"_s, u"site.csv"_s}).status,
        0);
    EXPECT_EQ(test::ReadBytes(dir.filePath(u"site.csv"_s)), EncodeCsv(rows));
    EXPECT_EQ(
        test::RunProgram(dir.path(), {u"convert"_s, u"site.csv"_s, u"-o"_s, u"back.dip"_s}).status,
        0);
    EXPECT_EQ(test::ReadBytes(dir.filePath(u"back.dip"_s)), EncodeDip(rows));
}

INSTANTIATE_TEST_SUITE_P(, RoundTrip, testing::Values(384, 3072));

} // namespace
} // namespace mr640

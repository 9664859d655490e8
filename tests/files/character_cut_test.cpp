#include "editor/channel_table.h"
#include "files/csv_file.h"
#include "files/dip_file.h"

#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

// A character outside the basic plane (an emoji pasted from somewhere) is one character of
// a name or state text: the writers keep it whole within the limit and write it as one "?".
TEST(Writers, CutNamesAndStateTextsByCharacters)
{
    const QString emoji = u"\U0001F600"_s;
    struct Case
    {
        QString name;
        QString state;
        QByteArray dipName;
        QByteArray dipState;
        QByteArray csvName;
    };
    const Case cases[] = {
        {u"ABCDEFGHIJKLMNO"_s + emoji, emoji + u"UP"_s, "ABCDEFGHIJKLMNO?", "?UP", "ABCDEFGHIJKLMNO?"},
        {emoji + u"BCDEFGHIJKLMNOPQ"_s, u"UP"_s + emoji + u"X"_s, "?BCDEFGHIJKLMNOP", "UP?", "?BCDEFGHIJKLMNOP"},
        {u"AB"_s + emoji + emoji + u"E"_s, u"OPEN"_s, "AB??E           ", "OPE", "AB??E"},
    };
    for (const Case& c : cases) {
        const std::vector<ChannelRow> rows{{u"AA01"_s, c.name, false, c.state, c.state}};
        const QByteArray dip = EncodeDip(rows);
        ASSERT_EQ(dip.size(), kDipHeaderSize + kDipRecordSize);
        EXPECT_EQ(dip.mid(kDipHeaderSize, 16), c.dipName) << c.name.toStdString();
        EXPECT_EQ(dip.mid(kDipHeaderSize + 19, 3), c.dipState) << c.state.toStdString();
        EXPECT_EQ(dip.mid(kDipHeaderSize + 23, 3), c.dipState) << c.state.toStdString();
        EXPECT_EQ(EncodeCsv(rows), "AA01," + c.csvName + ",Front\r\n") << c.name.toStdString();
    }
}

} // namespace
} // namespace mr640

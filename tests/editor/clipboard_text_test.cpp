#include "editor/clipboard_text.h"

#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

TEST(TextToCells, ReadsWhatSpreadsheetsPutOnTheClipboard)
{
    const std::pair<QString, CellBlock> cases[] = {
        {u"a\tb\r\nc\td\r\n"_s, {{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}}},
        {u"a\tb\nc\td"_s, {{u"a"_s, u"b"_s}, {u"c"_s, u"d"_s}}},
        {u"12 TPR"_s, {{u"12 TPR"_s}}},
        {u""_s, {}},
        {u"\r\n"_s, {{QString()}}},
        {u"\n\n"_s, {{QString()}, {QString()}}},
        {u"a\t\tb\n"_s, {{u"a"_s, QString(), u"b"_s}}},
        {u"a\t"_s, {{u"a"_s, QString()}}},
        {u"\"two\r\nlines\"\tx\r\n"_s, {{u"two\r\nlines"_s, u"x"_s}}},
        {u"\"say \"\"hi\"\"\"\r\n"_s, {{u"say \"hi\""_s}}},
        {u"\"tab\there\"\t\"\""_s, {{u"tab\there"_s, QString()}}},
        {u"\"a\rb\"\na\rb\n"_s, {{u"a\rb"_s}, {u"a\rb"_s}}}, // a lone CR splits nothing
        // A quote that does not close a quoted cell leaves the cell as it stands.
        {u"\"12\" relay\tx"_s, {{u"\"12\" relay"_s, u"x"_s}}},
        {u"\"open\nb"_s, {{u"\"open"_s}, {u"b"_s}}},
        {u"say \"hi\"\n"_s, {{u"say \"hi\""_s}}},
    };
    for (const auto& [text, cells] : cases)
        EXPECT_EQ(TextToCells(text), cells) << text.toStdString();
}

TEST(CellsToText, QuotesOnlyWhatNeedsItAndReadsBackWhole)
{
    const CellBlock cells = {
        {u"AA01"_s, u"12 TPR"_s, u"Back"_s},
        {u"tab\there"_s, u"line\nbreak"_s, u"cr\ronly"_s, u"say \"hi\""_s},
        {QString()},
        {u"\"quoted\""_s, u"end\r\n"_s, QString()},
    };
    const QString text = CellsToText(cells);
    EXPECT_EQ(text, u"AA01\t12 TPR\tBack\r\n"
                    u"\"tab\there\"\t\"line\nbreak\"\t\"cr\ronly\"\t\"say \"\"hi\"\"\"\r\n"
                    u"\r\n"
                    u"\"\"\"quoted\"\"\"\t\"end\r\n\"\t\r\n"_s);
    EXPECT_EQ(TextToCells(text), cells);
}

} // namespace
} // namespace mr640

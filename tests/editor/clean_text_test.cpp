#include "editor/clean_text.h"

#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

TEST(CleanedText, KeepsWhatTheFilesHoldAndSaysWhatItReplaced)
{
    const struct
    {
        QString text;
        Unheld unheld;
        qsizetype limit;
        QString clean;
        int count;
    } cases[] = {
        {u"two\r\nlines"_s, Unheld::Question, 99, u"two lines"_s, 0},
        {u"a\n\rb\tc\u007fd\u0000e"_s, Unheld::Question, 99, QString(u"a  b c d e"_s), 0},
        {u"caf\u00e9 \u20ac \u0081"_s, Unheld::Question, 99, u"caf\u00e9 \u20ac \u0081"_s, 0},
        {u"\u03a9mega \u0142\u00f3d\u017a"_s, Unheld::Question, 99, u"?mega ?\u00f3d?"_s, 3},
        {u"\u03a9mega \u0142\u00f3d\u017a"_s, Unheld::Drop, 99, u"mega \u00f3d"_s, 3},
        {u"x\U0001F600y"_s, Unheld::Question, 99, u"x?y"_s, 1},
        {u"\u03a9\u03a9\u03a9"_s, Unheld::Question, 2, u"??"_s, 2},
        {u"ab\u03a9\u03a9"_s, Unheld::Drop, 2, u"ab"_s, 0},
    };
    for (const auto& c : cases) {
        const CleanText clean = CleanedText(c.text, c.unheld, c.limit);
        EXPECT_EQ(clean.text, c.clean) << c.text.toStdString();
        EXPECT_EQ(clean.unheld, c.count) << c.text.toStdString();
    }
    EXPECT_EQ(UnheldReport(0), QString());
    EXPECT_EQ(UnheldReport(1), u"1 character the site file cannot hold was replaced by ?"_s);
    EXPECT_EQ(UnheldReport(2), u"2 characters the site file cannot hold were replaced by ?"_s);
}

} // namespace
} // namespace mr640

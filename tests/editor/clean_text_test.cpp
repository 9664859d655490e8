#include "editor/clean_text.h"

#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

TEST(CleanedText, KeepsWhatTheFilesHoldAndCountsWhatItReplaced)
{
    const std::tuple<QString, Unheld, qsizetype, QString, int> cases[] = {
        {u"a\r\nb\n\rc\td\u007fe\u0000f"_s, Unheld::Question, 99, QString(u"a b  c d e f"_s), 0},
        {u"\u03a9mega \u0142\u00f3d\u20ac\U0001F600"_s, Unheld::Question, 99, u"?mega ?\u00f3d\u20ac?"_s, 3},
        {u"\u03a9mega \u0142\u00f3d\u20ac\U0001F600"_s, Unheld::Drop, 99, u"mega \u00f3d\u20ac"_s, 3},
        {u"\u03a9\u03a9\u03a9"_s, Unheld::Question, 2, u"??"_s, 2}, // only what is kept counts
    };
    for (const auto& [text, unheld, limit, clean, count] : cases) {
        const CleanText cleaned = CleanedText(text, unheld, limit);
        EXPECT_EQ(cleaned.text, clean);
        EXPECT_EQ(cleaned.unheld, count) << text.toStdString();
    }
    EXPECT_EQ(UnheldReport(0), QString());
    EXPECT_EQ(UnheldReport(1), u"1 character the site file cannot hold was replaced by ?"_s);
    EXPECT_EQ(UnheldReport(2), u"2 characters the site file cannot hold were replaced by ?"_s);
}

} // namespace
} // namespace mr640

#include "platform/windows1252.h"

#include <gtest/gtest.h>

namespace mr640 {
namespace {

TEST(Windows1252, EveryByteReadsAsOneCharacterAndWritesBackUnchanged)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = FromWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(ToWindows1252(text), all);
}

TEST(Windows1252, HighBytesUseTheCodePageTable)
{
    const QString text = FromWindows1252(QByteArray("\x80\x81\x8A\x8D\x8F\x90\x96\x9D\x9F\xA0\xE9\xFF"));
    const char16_t expected[] = {0x20AC, 0x0081, 0x0160, 0x008D, 0x008F, 0x0090,
                                 0x2013, 0x009D, 0x0178, 0x00A0, 0x00E9, 0x00FF};
    ASSERT_EQ(text.size(), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(text[i].unicode(), expected[i]) << "at " << i;
}

TEST(Windows1252, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach)
{
    EXPECT_EQ(ToWindows1252(u"A\u0100B\u4E2D"), QByteArray("A?B?"));
    EXPECT_EQ(ToWindows1252(QString::fromUtf8("x\xF0\x9F\x9A\x82y")), QByteArray("x?y")); // a train
    EXPECT_EQ(ToWindows1252(u"\u20AC\u2122"), QByteArray("\x80\x99"));
}

} // namespace
} // namespace mr640

#include "windows1252.h"

#include <array>

namespace mr640 {
namespace {

// Characters of bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char ByteOf(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

bool Windows1252Holds(char32_t c)
{
    return c == U'?' || (c <= 0xFFFF && ByteOf(static_cast<char16_t>(c)) != '?');
}

QByteArray ToWindows1252(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bytes.truncate(WriteWindows1252(text, bytes.data()));
    return bytes;
}

qsizetype WriteWindows1252BeyondAscii(QStringView text, char* out, qsizetype most)
{
    char* at = out;
    const char* const end = out + std::min(most, text.size());
    qsizetype i = 0;
    for (; i < text.size() && at != end; ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80) { // the common case, first
            *at++ = static_cast<char>(c.unicode());
            continue;
        }
        // A character outside the basic plane is one character, written as one '?'.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        *at++ = ByteOf(c.unicode());
    }
    return at - out;
}

QString FromWindows1252(QByteArrayView bytes)
{
    // Every byte is one character: the text is sized once and written in place.
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* at = text.data();
    for (char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        *at++ = u >= 0x80 && u < 0xA0 ? QChar(kHighControls[u - 0x80]) : QChar(char16_t(u));
    }
    return text;
}

} // namespace mr640

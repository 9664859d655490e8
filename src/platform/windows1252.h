#pragma once

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <limits>

namespace mr640 {

// Text in the channel files is one byte per character in Windows-1252.

// A character that Windows-1252 cannot hold is written as '?'.
QByteArray ToWindows1252(QStringView text);

// WriteWindows1252 from the first character beyond ASCII on.
qsizetype WriteWindows1252BeyondAscii(QStringView text, char* out, qsizetype most);

// The first most characters of text written at out, which has room for that many bytes, or
// for text.size() when that is fewer; answers the bytes written. Every character is one
// byte: one outside the basic plane is one '?'.
inline qsizetype WriteWindows1252(QStringView text, char* out,
                                  qsizetype most = std::numeric_limits<qsizetype>::max())
{
    // Plain ASCII, as nearly every text is, is written here, a byte per character.
    const qsizetype n = std::min(most, text.size());
    qsizetype i = 0;
    for (; i < n && text.utf16()[i] < 0x80; ++i)
        out[i] = static_cast<char>(text.utf16()[i]);
    return i == n ? n : i + WriteWindows1252BeyondAscii(text.sliced(i), out + i, most - i);
}

// True when Windows-1252 has a byte for c; a character outside the basic plane never fits.
bool Windows1252Holds(char32_t c);

// Every byte maps to exactly one character; 0x81, 0x8D, 0x8F, 0x90 and 0x9D map to the
// control characters of the same code, as Windows does.
QString FromWindows1252(QByteArrayView bytes);

} // namespace mr640

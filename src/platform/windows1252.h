#pragma once

#include <QByteArray>
#include <QString>

namespace mr640 {

// Text in the channel files is one byte per character in Windows-1252.

// A character that Windows-1252 cannot hold is written as '?'.
QByteArray ToWindows1252(QStringView text);

// The same written at out, which has room for text.size() bytes; answers the bytes written
// (a character outside the basic plane is one '?').
qsizetype WriteWindows1252(QStringView text, char* out);

// True when Windows-1252 has a byte for c; a character outside the basic plane never fits.
bool Windows1252Holds(char32_t c);

// Every byte maps to exactly one character; 0x81, 0x8D, 0x8F, 0x90 and 0x9D map to the
// control characters of the same code, as Windows does.
QString FromWindows1252(QByteArrayView bytes);

} // namespace mr640

#pragma once

#include <QByteArray>
#include <QString>

namespace mr640::test {

QByteArray ReadBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& bytes);

// Bytes from a hex text such as "EE FF C0 FF"; blanks and line breaks are ignored.
QByteArray Hex(const char* text);

} // namespace mr640::test

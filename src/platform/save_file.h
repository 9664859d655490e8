#pragma once

#include <QByteArray>
#include <QString>

namespace mr640 {

// The one save path of the program. The new content replaces the file at path only when
// it has been written completely: until then, and after any failure, an existing file
// stays byte-identical. Returns false with the reason in *error when the save failed.
bool SaveFileAtomically(const QString& path, const QByteArray& content, QString* error);

} // namespace mr640

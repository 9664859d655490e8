#pragma once

#include <QString>

namespace mr640 {

// How a file name selects a format: by its last three characters, in any case (the user's
// intent is plain), for names longer than four characters.
enum class FileFormat
{
    None,
    Dip,
    Csv
};
FileFormat FileFormatOf(const QString& fullName);

} // namespace mr640

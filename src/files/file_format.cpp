#include "file_format.h"

namespace mr640 {

FileFormat FileFormatOf(const QString& fullName)
{
    if (fullName.size() <= 4)
        return FileFormat::None;
    const QStringView ending = QStringView(fullName).right(3);
    if (ending == u"dip")
        return FileFormat::Dip;
    if (ending == u"csv")
        return FileFormat::Csv;
    return FileFormat::None;
}

} // namespace mr640

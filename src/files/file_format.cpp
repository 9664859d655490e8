#include "file_format.h"

#include "platform/ui.h"

namespace mr640 {

using namespace Qt::StringLiterals;

FileFormat FileFormatOf(const QString& fullName)
{
    if (EndsInOneOf(fullName, {u"dip"_s}))
        return FileFormat::Dip;
    if (EndsInOneOf(fullName, {u"csv"_s}))
        return FileFormat::Csv;
    return FileFormat::None;
}

} // namespace mr640

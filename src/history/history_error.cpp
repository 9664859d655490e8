#include "history_error.h"

namespace mr640 {

using namespace Qt::StringLiterals;

HistoryError::HistoryError(QString reason) : reason_(std::move(reason)), what_(reason_.toUtf8()) {}

QString HistoryError::Message() const
{
    if (site_.isEmpty())
        return reason_;
    return site_ + (version_.isEmpty() ? QString() : u'@' + version_) + u": "_s + reason_;
}

void HistoryError::About(const QString& site, const QString& version)
{
    if (!site_.isEmpty())
        return;
    site_ = site;
    version_ = version;
    what_ = Message().toUtf8();
}

} // namespace mr640

#pragma once

#include <QIODevice>

#include <algorithm>

namespace mr640::test {

// A device that serves the given bytes and then fails: reads past failAfter bytes
// return an error, writes past it are refused.
class FailingDevice : public QIODevice
{
public:
    FailingDevice(QByteArray content, qint64 failAfter)
        : content_(std::move(content)), failAfter_(failAfter)
    {
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (served_ >= failAfter_)
            return Fail();
        const qint64 n = std::min({maxSize, failAfter_ - served_, content_.size() - served_});
        std::copy_n(content_.constData() + served_, n, data);
        served_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64 maxSize) override
    {
        if (served_ + maxSize > failAfter_)
            return Fail();
        served_ += maxSize;
        return maxSize;
    }

private:
    qint64 Fail()
    {
        setErrorString(QStringLiteral("simulated device failure"));
        return -1;
    }

    QByteArray content_;
    qint64 failAfter_;
    qint64 served_ = 0;
};

} // namespace mr640::test

#include "test_files.h"

#include <QFile>
#include <gtest/gtest.h>

namespace mr640::test {

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

} // namespace mr640::test

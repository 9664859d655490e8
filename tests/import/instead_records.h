#pragma once

#include "import/instead_files.h"

#include <QByteArray>
#include <QtEndian>
#include <cstdint>

namespace mr640::test {

// Builds an Instead record file item by item: little-endian numbers, texts as a 16-bit
// length and the bytes.
class RecordBytes
{
public:
    RecordBytes& Raw(QByteArrayView bytes)
    {
        data_.append(bytes);
        return *this;
    }
    RecordBytes& Int16(std::int16_t value)
    {
        char bytes[2];
        qToLittleEndian(value, bytes);
        return Raw(QByteArrayView(bytes, 2));
    }
    // A length alone, so a test can claim more bytes than follow.
    RecordBytes& Length(std::uint16_t length)
    {
        char bytes[2];
        qToLittleEndian(length, bytes);
        return Raw(QByteArrayView(bytes, 2));
    }
    RecordBytes& Text(QByteArrayView text)
    {
        return Length(static_cast<std::uint16_t>(text.size())).Raw(text);
    }
    // One allocation record: name, two other texts, the contact flag, a trailing value.
    RecordBytes& Allocation(QByteArrayView name, std::int16_t backContact)
    {
        return Text(name).Text("DI 12").Text("Card 3").Int16(backContact).Int16(0x7A7A);
    }
    // A site record: the name and everything the import steps over, none of it empty.
    RecordBytes& SiteRecord(QByteArrayView name)
    {
        Text(name).Text("FILLER").Text("Route").Text("Area").Text("Line");
        Raw("\x01\x02\x03\x04\x05\x06").Text("Box").Text("Depot");
        Raw("12345678").Text("Eng").Text("Tel");
        Raw("ABCDEFGH").Text("Notes");
        return Raw("0123456789abcdef").Text("End");
    }

    QByteArray Bytes() const { return data_; }
    qsizetype Size() const { return data_.size(); }

private:
    QByteArray data_;
};

inline constexpr char kSiteInfoHeader[] = "I3V2.0 Site Info file";
inline constexpr char kDChannelHeader[] = "I3V2.0 DChannels";

inline QByteArray SiteInfoFile(QByteArrayView name)
{
    return RecordBytes().Raw(kSiteInfoHeader).SiteRecord(name).Bytes();
}

} // namespace mr640::test

namespace mr640 {

// Every test file that compares records sees the same printers.
inline void PrintTo(const InsDChannel& a, std::ostream* os)
{
    *os << "{\"" << a.Name.toStdString() << "\", " << a.BackContact << '}';
}

inline void PrintTo(const InsSiteInfo& s, std::ostream* os)
{
    *os << "{\"" << s.Name.toStdString() << "\", \"" << s.CfgDir.toStdString() << "\"}";
}

} // namespace mr640

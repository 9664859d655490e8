#pragma once

#include "platform/windows1252.h"

#include <QString>
#include <cstddef>
#include <cstdint>

namespace mr640::fuzz {

// The Instead record files read the plain way, from the layout alone, to check the
// readers against: integers little-endian, a text a 16-bit length and its bytes. The
// first item that does not lie wholly inside the data, and every item after it, reads as
// an empty text or 0.
class RecordModel
{
public:
    RecordModel(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    void Skip(std::size_t n) { Take(n); }
    std::int16_t Int16()
    {
        const std::uint8_t* at = Take(2);
        return at ? static_cast<std::int16_t>(at[0] | at[1] << 8) : 0;
    }
    QString Text()
    {
        const std::uint8_t* at = Take(2);
        if (!at)
            return {};
        const std::size_t length = at[0] | at[1] << 8;
        const std::uint8_t* bytes = Take(length);
        if (!bytes)
            return {};
        return FromWindows1252(QByteArrayView(bytes, static_cast<qsizetype>(length)));
    }
    bool Stopped() const { return stopped_; }
    // How far the data was read: up to the end of the last item that fitted, or to the end
    // of the data once an item ran past it.
    std::size_t Position() const { return stopped_ ? size_ : pos_; }

private:
    const std::uint8_t* Take(std::size_t n)
    {
        if (stopped_ || size_ - pos_ < n) {
            stopped_ = true;
            return nullptr;
        }
        const std::uint8_t* at = data_ + pos_;
        pos_ += n;
        return at;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool stopped_ = false;
};

} // namespace mr640::fuzz

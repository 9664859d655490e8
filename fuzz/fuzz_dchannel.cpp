// ReadDigitalChannels on any bytes: the allocations it gives are those the layout gives,
// as many as the count says, and memory follows the count, never a length.

#include "fuzz_support.h"
#include "import/instead_files.h"
#include "record_model.h"

#include <QBuffer>

using namespace mr640;
using namespace mr640::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes = Bytes(data, size);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    std::vector<InsDChannel> allocations(3, InsDChannel{QStringLiteral("old"), 1});
    QString error;
    Require(ReadDigitalChannels(buffer, allocations, &error), "reading a buffer does not fail");

    RecordModel model(data, size);
    model.Skip(kDChannelHeaderSize);
    const std::int16_t count = model.Int16();
    std::vector<InsDChannel> expected(static_cast<std::size_t>(std::max<std::int16_t>(count, 0)));
    for (InsDChannel& allocation : expected) {
        allocation.Name = model.Text();
        model.Text();
        model.Text();
        allocation.BackContact = model.Int16();
        model.Skip(2);
    }
    Require(allocations.size() == expected.size(), "the list has the size of the count");
    Require(allocations == expected, "each allocation is the record at its position, or empty");
    return 0;
}

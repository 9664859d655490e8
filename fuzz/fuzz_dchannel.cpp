// ReadDigitalChannels on any bytes: the allocations it gives are those the layout gives,
// as many as the count says, and memory follows the count, never a length.

#include "fuzz_support.h"
#include "import/instead_files.h"
#include "record_model.h"

#include <QBuffer>
#include <algorithm>

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

    // Checked against the layout record by record, without a second list of up to 32767.
    RecordModel model(data, size);
    model.Skip(kDChannelHeaderSize);
    const std::int16_t count = model.Int16();
    Require(allocations.size() == static_cast<std::size_t>(std::max<std::int16_t>(count, 0)),
            "the list has the size of the count");
    auto allocation = allocations.cbegin();
    for (; allocation != allocations.cend() && !model.Stopped(); ++allocation) {
        const QString name = model.Text();
        model.Text();
        model.Text();
        const std::int16_t backContact = model.Int16();
        model.Skip(2);
        Require(allocation->Name == name && allocation->BackContact == backContact,
                "each allocation is the record at its position");
    }
    // Past the end of the data every record reads as an empty one.
    Require(
        std::all_of(allocation, allocations.cend(),
                    [](const InsDChannel& a) { return a.Name.isEmpty() && a.BackContact == 0; }),
        "the allocations past the end of the data are empty");
    return 0;
}

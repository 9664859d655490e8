// ReadSiteInfo on any bytes: the name is the first text after the header, or empty, and
// the reader stops at the end of the site record.

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
    InsSiteInfo site{QStringLiteral("old name"), QStringLiteral("/old")};
    QString error;
    Require(ReadSiteInfo(buffer, site, &error), "reading a buffer does not fail");

    RecordModel model(data, size);
    model.Skip(kSiteInfoHeaderSize);
    const QString name = model.Text();
    // The rest of the record: runs of texts, each followed by a block of numbers.
    for (const auto& [texts, block] : {std::pair{4, 6}, {2, 8}, {2, 8}, {1, 16}, {1, 0}}) {
        for (int i = 0; i < texts; ++i)
            model.Text();
        model.Skip(static_cast<std::size_t>(block));
    }
    Require(site.Name == name, "the name is the record's first text, or empty");
    Require(static_cast<std::size_t>(buffer.pos()) == model.Position(),
            "the reader reads the site record and nothing after it");
    return 0;
}

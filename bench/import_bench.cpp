// Reading a site's DChannel.cfg against a plain read of the same file.

#include "bench_support.h"
#include "import/instead_files.h"

#include <QDir>
#include <QtEndian>

namespace mr640::bench {

using namespace Qt::StringLiterals;

namespace {

void PutText(QByteArray& bytes, const QByteArray& text)
{
    char length[2];
    qToLittleEndian<std::uint16_t>(static_cast<std::uint16_t>(text.size()), length);
    bytes.append(length, 2);
    bytes.append(text);
}

void PutNumber(QByteArray& bytes, std::int16_t value)
{
    char number[2];
    qToLittleEndian<std::int16_t>(value, number);
    bytes.append(number, 2);
}

// A DChannel.cfg as the Instead software writes it: the header, the count and one record
// per allocation (name, two other texts, the contact, a value).
QByteArray DChannelFile(int count)
{
    QByteArray bytes("I3V2.0 DChannels");
    PutNumber(bytes, static_cast<std::int16_t>(count));
    for (int k = 1; k <= count; ++k) {
        PutText(bytes, k % 5 == 0 ? QByteArray() : QByteArray("TPR ") + QByteArray::number(k));
        PutText(bytes, QByteArray("Track ") + QByteArray::number(k / 48 + 1));
        PutText(bytes, QByteArray("DI"));
        PutNumber(bytes, k % 3 == 0 ? 1 : 0);
        PutNumber(bytes, static_cast<std::int16_t>(k));
    }
    return bytes;
}

void AddDChannel(int count)
{
    const std::string size = std::to_string(count);
    const QString siteDir = ScratchPath(u"site-%1"_s.arg(count));
    const QString path = siteDir + u"/DChannel.cfg"_s;
    const auto prepare = [=](State& state) {
        QDir().mkpath(siteDir);
        WriteOrSkip(state, path, DChannelFile(count));
    };

    Add("dchannel_read/" + size, [=](State& state) {
        prepare(state);
        QuietUi ui;
        std::size_t read = 0;
        for (auto _ : state) {
            std::vector<InsDChannel> allocations = LoadDigitalChannels(siteDir, ui);
            read = allocations.size();
            DoNotOptimize(allocations.data());
        }
        if (read != static_cast<std::size_t>(count) || !ui.lastMessage.isEmpty())
            state.SkipWithError("LoadDigitalChannels did not read every allocation");
    });
    Add("dchannel_read_raw/" + size, [=](State& state) {
        prepare(state);
        RawRead(state, path);
    });
    Compare("DChannel.cfg, " + size + " allocations: read vs raw read", "dchannel_read/" + size,
            "dchannel_read_raw/" + size);
}

} // namespace

void RegisterImportBenchmarks()
{
    AddDChannel(3072);
    AddDChannel(32767);
    Grows("DChannel.cfg read, 32767 against 3072", "dchannel_read/3072", "dchannel_read/32767",
          32767.0 / 3072.0);
}

} // namespace mr640::bench

// Writes the seed corpora of the fuzz targets: mr640_fuzz_seeds <folder> makes
// <folder>/dip, <folder>/csv, <folder>/siteinfo, <folder>/dchannel and <folder>/clipboard.
// Files written by the program's own encoders, and the crafted cases its readers must
// handle: short files, wrong headers, odd counts, prompts, clipboard text as spreadsheets
// and other programs write it.

#include "editor/channel_table.h"
#include "files/csv_file.h"
#include "files/dip_file.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <cstdio>

using namespace mr640;
using namespace Qt::StringLiterals;

namespace {

bool failed = false;

void Write(const QString& folder, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(folder);
    QFile file(folder + u'/' + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        failed = true;
    }
}

std::vector<ChannelRow> Site(int n)
{
    std::vector<ChannelRow> rows(static_cast<std::size_t>(n));
    FillDefaultRows(rows, 0);
    for (int r = 0; r < n; r += 3) {
        rows[static_cast<std::size_t>(r)].relNam = u"%1 TPR \u00e9\u20ac"_s.arg(r);
        rows[static_cast<std::size_t>(r)].back = true;
    }
    return rows;
}

// A dip file of these rows whose header says otherwise.
QByteArray Dip(const std::vector<ChannelRow>& rows, std::uint32_t magic, std::int16_t type,
               std::int16_t version, std::int32_t count)
{
    QByteArray bytes = EncodeDip(rows);
    qToLittleEndian(magic, bytes.data());
    qToLittleEndian(type, bytes.data() + 4);
    qToLittleEndian(version, bytes.data() + 6);
    qToLittleEndian(count, bytes.data() + 8);
    return bytes;
}

void DipSeeds(const QString& folder)
{
    const std::vector<ChannelRow> one = Site(384);
    Write(folder, u"site-384.dip"_s, EncodeDip(one));
    Write(folder, u"header-only.dip"_s, EncodeDip({}));
    Write(folder, u"too-short.dip"_s, EncodeDip({}).left(15));
    Write(folder, u"wrong-magic.dip"_s, Dip(Site(2), 0x12345678, 3, 3, 2));
    Write(folder, u"wrong-type.dip"_s, Dip(Site(2), kDipMagic, 2, 3, 2));
    Write(folder, u"version-minus-1.dip"_s, Dip(Site(2), kDipMagic, 3, -1, 2));
    Write(folder, u"count-100.dip"_s, Dip(Site(100), kDipMagic, 3, 3, 100));
    Write(folder, u"count-5000-short.dip"_s, Dip(Site(3), kDipMagic, 3, 3, 5000));
    Write(folder, u"count-negative.dip"_s, Dip(Site(1), kDipMagic, 3, 3, -384));
    QByteArray flags = Dip(Site(2), kDipMagic, 3, 3, 2);
    flags[kDipHeaderSize + 17] = 2;
    flags[kDipHeaderSize + kDipRecordSize + 17] = char(0xFF);
    Write(folder, u"back-byte-2-and-255.dip"_s, flags);
    QByteArray truncated = EncodeDip(Site(5));
    truncated.chop(13);
    Write(folder, u"record-cut.dip"_s, truncated);
}

void CsvSeeds(const QString& folder)
{
    Write(folder, u"site-384.csv"_s, EncodeCsv(Site(384)));
    Write(folder, u"empty.csv"_s, {});
    const char* const cases[][2] = {
        {"spare-forms.csv",
         "AA01,Spare,Back\r\nAA02,sp\r\nAA03,Spares depot,F\r\nAA04,(spare),b\r\n"},
        {"fields.csv", "AA01,TR1, Back\r\n2,TR2,Back\r\nAA03,A,B,Front\r\n"},
        {"not-enough-fields.csv", "AA01,x,Back\r\n\r\nnocomma\r\nAA02,y\r\n"},
        {"first-is-5.csv", "AA05,TR5,Back\r\nAA06,TR6\r\n"},
        {"channel-500.csv", "AA01,a\r\n500,big,Back\r\n501,next\r\n"},
        {"beyond-maximum.csv", "3073,too far\r\nAA01,a\r\n"},
        {"invalid-ids.csv", " AA01,lead\r\naa01,lower\r\nZZ01,z\r\nAI01,i\r\n"},
        {"numbers.csv", "1e0,exp\r\n 2 ,blank\r\n2.5,half\r\n.4e1,dot\r\n-1,neg\r\n0,zero\r\n"},
        {"overflow.csv", "AA01,a\r\n99999999999,huge\r\n"},
        {"line-ends.csv", "AA01,cr\rAA02,lf\nAA03,crlf\r\nAA04,last"},
        {"high-bytes.csv", "AA01,\x80\x81\x9f\xff name,Back\r\n"},
        // As spreadsheets save it: UTF-8 with and without its mark, LF line ends, quotes.
        {"utf8-mark.csv", "\xef\xbb\xbf" "AA01,Rel\xc3\xa9 \xe2\x82\xac" "5,Back\nAA02,\xf0\x9f\x9a\x83,Front\n"},
        {"utf8.csv", "AA01,Rel\xc3\xa9,Back\nAA02,caf\xc3\xa9\n"},
        {"utf8-then-not.csv", "AA01,Rel\xc3\xa9,Back\nAA02,caf\xe9\nAA03,\xc3\n"},
        {"quoted.csv", "AA01,\"A,B\",Front\r\nAA02,\"say \"\"hi\"\"\",Back\r\n\"AA03\",\"\",\"Back\"\r\n"},
        {"quotes-unclosed.csv", "AA01,\"A,B\r\nAA02,\"A\"B,Back\r\nAA03, \"x,y\"\r\nAA04,\"\r\n"},
    };
    for (const auto& [name, text] : cases)
        Write(folder, QString::fromLatin1(name), QByteArray(text));
}

// The pieces of the Instead record files.
void PutText(QByteArray& bytes, const QByteArray& text)
{
    char length[2];
    qToLittleEndian<std::uint16_t>(static_cast<std::uint16_t>(text.size()), length);
    bytes.append(length, 2).append(text);
}

void PutNumber(QByteArray& bytes, std::int16_t value)
{
    char number[2];
    qToLittleEndian<std::int16_t>(value, number);
    bytes.append(number, 2);
}

QByteArray SiteInfo(const QByteArray& name)
{
    QByteArray bytes("I3V2.0 Site Info file");
    PutText(bytes, name);
    const std::pair<int, int> runs[] = {{4, 6}, {2, 8}, {2, 8}, {1, 16}, {1, 0}};
    for (const auto& [texts, block] : runs) {
        for (int i = 0; i < texts; ++i)
            PutText(bytes, "text " + QByteArray::number(i));
        bytes.append(QByteArray(block, '\x01'));
    }
    return bytes;
}

void SiteInfoSeeds(const QString& folder)
{
    const QByteArray site = SiteInfo("North Junction");
    Write(folder, u"site.cfg"_s, site);
    Write(folder, u"site-and-more.cfg"_s, site + QByteArray("trailing bytes that are not read"));
    Write(folder, u"empty-name.cfg"_s, SiteInfo(QByteArray()));
    Write(folder, u"high-bytes.cfg"_s, SiteInfo("Gare du Nord \x80\x8d\xe9"));
    Write(folder, u"name-cut.cfg"_s, site.left(30));
    Write(folder, u"header-only.cfg"_s, site.left(21));
    Write(folder, u"short.cfg"_s, site.left(10));
}

QByteArray DChannel(std::int16_t count, int records)
{
    QByteArray bytes("I3V2.0 DChannels");
    PutNumber(bytes, count);
    for (int k = 1; k <= records; ++k) {
        PutText(bytes, k == 2 ? QByteArray() : "TPR " + QByteArray::number(k));
        PutText(bytes, "Track " + QByteArray::number(k));
        PutText(bytes, "DI");
        PutNumber(bytes, static_cast<std::int16_t>(k % 3 == 0 ? 1 : k % 7 == 0 ? -2 : 0));
        PutNumber(bytes, static_cast<std::int16_t>(k));
    }
    return bytes;
}

void DChannelSeeds(const QString& folder)
{
    Write(folder, u"three.cfg"_s, DChannel(3, 3));
    Write(folder, u"site-384.cfg"_s, DChannel(384, 384));
    Write(folder, u"count-0.cfg"_s, DChannel(0, 0));
    Write(folder, u"count-negative.cfg"_s, DChannel(-1, 1));
    Write(folder, u"count-32767-two-records.cfg"_s, DChannel(32767, 2));
    Write(folder, u"record-cut.cfg"_s, DChannel(3, 3).left(40));
    Write(folder, u"count-cut.cfg"_s, DChannel(3, 0).left(17));
}

void ClipboardSeeds(const QString& folder)
{
    const char* const cases[][2] = {
        {"rows.txt", "AA01\tSpare AA01\tFront\tUP\tDN\r\nAA02\t12 TPR\tBack\tON\tOFF\r\n"},
        {"column-lf.txt", "N1\nN2\nN3"},
        {"quoted.txt", "\"two\r\nlines\"\t\"tab\there\"\t\"say \"\"hi\"\"\"\r\n"},
        {"not-quoted.txt", "\"12\" relay\t\"open\r\nx\"y\t\"\r\n"},
        {"lone-cr.txt", "a\rb\t\"c\rd\"\r"},
        {"one-value.txt", "Twenty chars name 20"},
        {"contacts.txt", "b\tF\t1\t0\tyes\tno\tx\t\tmaybe\n"},
        {"utf8.txt", "\xc3\xa9\xe2\x82\xac\t\xf0\x9f\x98\x80 sixteen chars\xf0\x9f\x98\x80\n"},
    };
    for (const auto& [name, text] : cases)
        Write(folder, QString::fromLatin1(name), QByteArray(text));
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    DipSeeds(root + u"/dip"_s);
    CsvSeeds(root + u"/csv"_s);
    SiteInfoSeeds(root + u"/siteinfo"_s);
    DChannelSeeds(root + u"/dchannel"_s);
    ClipboardSeeds(root + u"/clipboard"_s);
    return failed ? 1 : 0;
}

#include "child_copy.h"
#include "files/dip_file.h"
#include "test_files.h"
#include "window_fixture.h"

#include <QProcess>
#include <dlfcn.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

// Runs the current test again in a copy of this program that reads through the faulty card.
void RunOverFaultyCard()
{
    QProcessEnvironment environment;
    environment.insert(u"LD_PRELOAD"_s, QString::fromUtf8(MR640_FAULTY_CARD));
    // AddressSanitizer wants to come first of the loaded libraries; the card comes before it.
    environment.insert(u"ASAN_OPTIONS"_s, qEnvironmentVariable("ASAN_OPTIONS") + u":verify_asan_link_order=0"_s);
    QProcess copy;
    test::StartChildCopy(copy, {}, {}, environment);
    ASSERT_TRUE(copy.waitForFinished(120'000));
    const std::string output = copy.readAll().toStdString();
    EXPECT_TRUE(copy.exitCode() == 0 && output.find("[  PASSED  ] 1 test.") != std::string::npos)
        << output;
}

// How the card fails (faulty_card.cpp: 0 a good card, 'w' a wrong byte at offset, 'e' a
// copy ending at offset, 'l' a copy one byte longer, 'u' a read error at offset), and what
// the warning says after the file's name (null: no warning).
struct FaultyCard
{
    char fault;
    long long offset;
    const char* warning;
    friend void PrintTo(const FaultyCard& c, std::ostream* os) { *os << (c.fault ? c.fault : '-') << " at " << c.offset; }
};

class CardCheck : public test::WindowTest, public ::testing::WithParamInterface<FaultyCard>
{
};

TEST_P(CardCheck, ExportReadsTheCardBackAndWarnsOfWhatDiffers)
{
    // Found when the faulty card is preloaded.
    const auto faulty = reinterpret_cast<void (*)(const char* path, char fault, long long offset)>(
        ::dlsym(RTLD_DEFAULT, "mr640_faulty_card"));
    if (!faulty)
        return RunOverFaultyCard();
    const FaultyCard& c = GetParam();
    const QString card = QFileInfo(SiteFolder()).canonicalFilePath() + u"/north.dip"_s;
    faulty(card.toLocal8Bit().constData(), c.fault, c.offset);
    ui.ChooseFile(card);
    Start().ExportToCard();
    faulty("", 0, 0);

    std::vector<MessageRequest> expected;
    if (c.warning)
        expected.push_back(test::Warning(u"The card copy of north.dip "_s + QLatin1StringView(c.warning) +
                                         u". The card may be faulty."_s));
    EXPECT_EQ(ui.Messages(), expected);
    EXPECT_EQ(test::ReadBytes(card), EncodeDip(Window().Table().Rows())); // left there as written
}

constexpr long long kRecord = 40;
const char* const kHeader = "does not match what was written (first difference in the file's header)";
INSTANTIATE_TEST_SUITE_P(
    Cards, CardCheck,
    ::testing::Values(
        FaultyCard{0, 0, nullptr}, FaultyCard{'w', 9, kHeader},
        FaultyCard{'w', 16 + kRecord * 16 + 3, "does not match what was written (first difference at channel AA17)"},
        FaultyCard{'w', 16 + kRecord * 384 - 1, "does not match what was written (first difference at channel AH48)"},
        FaultyCard{'e', 0, kHeader},
        FaultyCard{'e', 16 + kRecord * 100 + 5, "does not match what was written (first difference at channel AC05)"},
        FaultyCard{'l', 0, "does not match what was written (first difference after the last channel)"},
        FaultyCard{'u', 16 + kRecord * 200, "could not be read back (Input/output error)"}));

} // namespace
} // namespace mr640

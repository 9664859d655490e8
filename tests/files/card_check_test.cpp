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

// The offset of the byte the card gets wrong (-1: a good card), and where the warning says
// the first difference is (null: no warning).
class CardCheck : public test::WindowTest,
                  public ::testing::WithParamInterface<std::pair<long long, const char*>>
{
};

TEST_P(CardCheck, ExportReadsTheCardBackAndWarnsOfTheFirstChannelThatDiffers)
{
    // Found when the faulty card (faulty_card.cpp) is preloaded.
    const auto faulty = reinterpret_cast<void (*)(const char* path, long long offset)>(
        ::dlsym(RTLD_DEFAULT, "mr640_faulty_card"));
    if (!faulty)
        return RunOverFaultyCard();
    const auto [wrongByte, place] = GetParam();
    const QString card = QFileInfo(SiteFolder()).canonicalFilePath() + u"/north.dip"_s;
    faulty(card.toLocal8Bit().constData(), wrongByte);
    ui.ChooseFile(card);
    Start().ExportToCard();
    faulty("", -1);

    std::vector<MessageRequest> expected;
    if (place)
        expected.push_back(
            {u"The card copy of north.dip does not match what was written (first "
             u"difference %1). The card may be faulty."_s.arg(QLatin1StringView(place)),
             MessageIcon::Exclamation, MessageButtons::Ok, u"MR640 configuration editor"_s});
    EXPECT_EQ(ui.Messages(), expected);
    EXPECT_EQ(test::ReadBytes(card), EncodeDip(Window().Table().Rows())); // left there as written
}

INSTANTIATE_TEST_SUITE_P(Cards, CardCheck,
                         ::testing::Values(std::pair(-1LL, nullptr),
                                           std::pair(9LL, "in the file's header"),
                                           std::pair(16LL + 40 * 16 + 3, "at channel AA17"),
                                           std::pair(16LL + 40 * 384 - 1, "at channel AH48")));

} // namespace
} // namespace mr640

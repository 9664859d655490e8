#include "files/dip_file.h"
#include "test_files.h"
#include "window_fixture.h"

#include <QProcess>
#include <dlfcn.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

// Set by the faulty card (faulty_card.cpp) when it is preloaded: the byte at offset of
// the file at path reads wrong; a negative offset ends that.
using FaultyCard = void (*)(const char* path, long long offset);

FaultyCard LoadedFaultyCard()
{
    return reinterpret_cast<FaultyCard>(::dlsym(RTLD_DEFAULT, "mr640_faulty_card"));
}

// Runs the current test again in a copy of this program that reads through the faulty card.
void RunOverFaultyCard()
{
    const ::testing::TestInfo& test = *::testing::UnitTest::GetInstance()->current_test_info();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LD_PRELOAD"_s, QString::fromUtf8(MR640_FAULTY_CARD));
    // AddressSanitizer wants to come first of the loaded libraries; the card comes before it.
    environment.insert(u"ASAN_OPTIONS"_s,
                       environment.value(u"ASAN_OPTIONS"_s) + u":verify_asan_link_order=0"_s);
    QProcess copy;
    copy.setProcessEnvironment(environment);
    copy.setProcessChannelMode(QProcess::MergedChannels);
    copy.start(QCoreApplication::applicationFilePath(),
               {u"--gtest_filter="_s + QString::fromUtf8(test.test_suite_name()) + u'.' +
                QString::fromUtf8(test.name())});
    ASSERT_TRUE(copy.waitForFinished(120'000));
    const QString output = QString::fromLocal8Bit(copy.readAll());
    EXPECT_EQ(copy.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(u"[  PASSED  ] 1 test."_s)) << output.toStdString();
}

struct Card
{
    const char* name;
    long long wrongByte; // the offset of the byte the card gets wrong; -1: a good card
    const char* place;   // where the warning says the first difference is; null: no warning

    friend void PrintTo(const Card& card, std::ostream* os) { *os << card.name; }
};

class CardCheck : public test::WindowTest, public ::testing::WithParamInterface<Card>
{
};

TEST_P(CardCheck, ExportReadsTheCardBackAndWarnsOfTheFirstChannelThatDiffers)
{
    const FaultyCard faulty = LoadedFaultyCard();
    if (!faulty)
        return RunOverFaultyCard();
    FrmDips& w = Start();
    w.Table().setData(w.Table().index(16, FieldRelNam), u"North TPR"_s);
    const QString card = QFileInfo(SiteFolder()).canonicalFilePath() + u"/north.dip"_s;
    faulty(card.toLocal8Bit().constData(), GetParam().wrongByte);
    ui.ChooseFile(card);
    w.ExportToCard();
    faulty("", -1);

    std::vector<MessageRequest> expected;
    if (GetParam().place)
        expected.push_back(
            {u"The card copy of north.dip does not match what was written (first difference "_s +
                 QString::fromUtf8(GetParam().place) + u"). The card may be faulty."_s,
             MessageIcon::Exclamation, MessageButtons::Ok, u"MR640 configuration editor"_s});
    EXPECT_EQ(ui.Messages(), expected);
    EXPECT_EQ(test::ReadBytes(card), EncodeDip(w.Table().Rows())); // left there as written
}

INSTANTIATE_TEST_SUITE_P(Cards, CardCheck,
                         ::testing::Values(Card{"Good", -1, nullptr},
                                           Card{"Header", 9, "in the file's header"},
                                           Card{"RelayName", 16 + 40 * 16 + 3, "at channel AA17"},
                                           Card{"LastByte", 16 + 40 * 384 - 1, "at channel AH48"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace mr640

#include "editor/shared_routines.h"
#include "checks/site_problems.h"
#include "files/dip_file.h"
#include "test_files.h"
#include "window_fixture.h"

#include <QFileInfo>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

struct ExportCase
{
    const char* name;
    std::vector<std::pair<QString, QString>> relays; // of north.dip, by channel id
    QString ignored;                                  // north.dip.ignore; empty: none
    ProblemCounts counts;                             // the site's, not ignored
    QString question;                                 // empty: none is asked
    MessageButton answer = MessageButton::Yes;
    friend void PrintTo(const ExportCase& c, std::ostream* os) { *os << c.name; }
};

class ExportQuestion : public test::WindowTest, public ::testing::WithParamInterface<ExportCase>
{
};

// Export to card asks before a site with errors goes to the field; warnings do not ask.
TEST_P(ExportQuestion, ErrorsAskAndOnlyYesWrites)
{
    const ExportCase& c = GetParam();
    const QString north = MakeDip(u"north.dip"_s, c.relays);
    if (!c.ignored.isEmpty())
        test::WriteBytes(north + u".ignore"_s, c.ignored.toUtf8());
    FrmDips& w = Start();
    w.OpenSiteFile(north);
    ui.ClearShown();
    w.Problems().CheckNow();
    EXPECT_EQ(w.Problems().Counts(), c.counts);

    const QString card = SitePath(u"card.dip"_s);
    if (!c.question.isEmpty())
        ui.Answer(c.answer);
    const bool writes = c.question.isEmpty() || c.answer == MessageButton::Yes;
    if (writes)
        ui.ChooseFile(card);
    w.ExportToCard();

    if (c.question.isEmpty()) {
        EXPECT_EQ(ui.Messages(), std::vector<MessageRequest>());
    } else {
        MessageRequest asked{c.question, MessageIcon::Exclamation, MessageButtons::YesNo,
                             QString(kAppTitle)};
        asked.defaultButton = MessageButton::No;
        EXPECT_EQ(ui.Messages(), std::vector<MessageRequest>{asked});
    }
    EXPECT_EQ(ui.FileDialogs().size(), writes ? 1u : 0u); // asked before the dialog
    if (writes)
        EXPECT_EQ(test::ReadBytes(card), EncodeDip(w.Table().Rows()));
    else
        EXPECT_FALSE(QFileInfo::exists(card));
}

// clang-format off
const ExportCase kExports[] = {
    {"TwoErrorsAnsweredNo",
     {{u"AA17"_s, u"12TPR"_s}, {u"AB02"_s, u"12TPR"_s}, {u"AC01"_s, u"TR1"_s}, {u"AC02"_s, u"TR1"_s}}, {}, {2, 0, 0},
     u"north has 2 errors (the first: AA17 and AB02 are both named 12TPR with front contacts). "
     u"Export it anyway?"_s, MessageButton::No},
    {"OneErrorAnsweredYes", {{u"AA17"_s, u"12TPR"_s}, {u"AB02"_s, u"12TPR"_s}}, {}, {1, 0, 0},
     u"north has 1 error (the first: AA17 and AB02 are both named 12TPR with front contacts). "
     u"Export it anyway?"_s},
    // The name's own quote would make the sentence ambiguous: the rule's text stays whole.
    {"ANameWithAQuote", {{u"AA17"_s, u"12\"TPR"_s}, {u"AB02"_s, u"12\"TPR"_s}}, {}, {1, 0, 0},
     u"north has 1 error (the first: AA17 and AB02 are both named \"12\"TPR\" with front "
     u"contacts). Export it anyway?"_s, MessageButton::No},
    // Two spaces together in a name, and two names that look alike.
    {"WarningsOnly", {{u"AA17"_s, u"12  TPR"_s}, {u"AA18"_s, u"I2TPR"_s}}, {}, {0, 2, 0}, {}},
    {"AnIgnoredError", {{u"AA17"_s, u"12TPR"_s}, {u"AB02"_s, u"12TPR"_s}},
     u"# checked on site\nduplicate-name ab02 aa17\n"_s, {0, 0, 0}, {}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Sites, ExportQuestion, ::testing::ValuesIn(kExports),
                         [](const auto& info) { return std::string(info.param.name); });

// The name being typed counts: the question comes once the edit is ended.
TEST_F(ExportQuestion, ANameStillBeingTypedCounts)
{
    Start().OpenSiteFile(MakeDip(u"north.dip"_s, {{u"AA17"_s, u"12TPR"_s}}));
    ASSERT_NE(StartTyping(*ChannelNumberFromId(u"AB02"_s) - 1, FieldRelNam, u"12TPR"_s), nullptr);
    ui.ClearShown();
    ui.Answer(MessageButton::No);
    Window().ExportToCard();
    EXPECT_EQ(ui.MessageTexts(),
              QStringList{u"north has 1 error (the first: AA17 and AB02 are both named 12TPR "
                          u"with front contacts). Export it anyway?"_s});
    EXPECT_TRUE(ui.FileDialogs().empty());
}

} // namespace
} // namespace mr640

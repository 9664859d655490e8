// How a label's text is set, read as positions from the layout: sizes, lines, and that no
// text leaves its label or touches another.

#include "labels/label_renderer.h"

#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

const QString kWide = u"WWWWWWWWWWWWWWWW"_s; // 16 of the widest letter

Label OneChannel(const QString& name, const QString& states = {}, const QString& contact = {})
{
    return {{}, {{u"AA01"_s, name, contact, states}}, true};
}

Label FourChannels(const QString& name, const QString& title = {})
{
    Label label{title, {}};
    for (const char* id : {"AA01", "AA02", "AA03", "AA04"})
        label.lines.push_back({QString::fromLatin1(id), name, u"B"_s, u"UP/DN"_s});
    return label;
}

// Fails unless every text of label i lies inside its slot, padding kept, and no two
// texts share any part of their boxes.
void ExpectApart(const LabelPrint& print, int i, const std::string& trace)
{
    const QRectF slot = print.Job().sheet.Slot(0);
    const QRectF inside =
        slot.adjusted(kLabelPadding, kLabelPadding, -kLabelPadding, -kLabelPadding);
    const std::vector<PlacedText> texts = print.TextsIn(i, slot);
    for (std::size_t a = 0; a < texts.size(); ++a) {
        EXPECT_TRUE(inside.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(texts[a].box))
            << trace << ' ' << texts[a].text.toStdString();
        for (std::size_t b = a + 1; b < texts.size(); ++b)
            EXPECT_FALSE(texts[a].box.intersects(texts[b].box))
                << trace << ' ' << texts[a].text.toStdString() << " and "
                << texts[b].text.toStdString();
    }
}

const PlacedText& Text(const std::vector<PlacedText>& texts, const QString& text)
{
    const auto it = std::find_if(texts.begin(), texts.end(),
                                 [&](const PlacedText& t) { return t.text == text; });
    if (it == texts.end())
        throw std::runtime_error("no text " + text.toStdString());
    return *it;
}

enum class Name
{
    Beside,
    Below
};

struct FitCase
{
    const char* sheet;
    Label label;
    double points; // the size it is set in
    Name name;     // where a one-channel label's name goes
    bool unfit;    // listed as not fitting at kSmallestPoints
};

TEST(LabelFit, PutsTheNameBelowItsIdBeforeShrinkingAndNeverLetsTextRunOut)
{
    const FitCase cases[] = {
        {"L7163", OneChannel(u"TPR"_s, u"UP/DN"_s, u"B"_s), 10, Name::Beside, false},
        {"L7160", OneChannel(kWide, u"UP/DN"_s, u"B"_s), 10, Name::Below, false},
        {"L7651", OneChannel(kWide), 6, Name::Below, false},
        {"L7651", OneChannel(kWide + kWide), 3, Name::Below, true},
        {"L7160", {{}, OneChannel(kWide, u"UP/DN"_s, u"B"_s).lines}, 7, Name::Beside, false},
        {"L7163", FourChannels(kWide, u"North Junction"_s), 10, Name::Beside, false},
        {"L7160", FourChannels(kWide), 7, Name::Beside, false},
        {"L7651", FourChannels(kWide), 4.1, Name::Beside, true},
    };
    for (const FitCase& c : cases) {
        LabelJob job;
        job.sheet = *FindSheet(QString::fromLatin1(c.sheet));
        job.labels = {c.label};
        const LabelPrint print(job);
        const std::string trace = std::string(c.sheet) + ' ' + c.label.lines[0].name.toStdString();
        EXPECT_EQ(print.PointsOf(0), c.points) << trace;
        EXPECT_EQ(print.Unfit(), c.unfit ? std::vector<int>{0} : std::vector<int>()) << trace;
        ExpectApart(print, 0, trace);
        const std::vector<PlacedText> texts = print.TextsIn(0, job.sheet.Slot(0));
        const PlacedText& id = Text(texts, u"AA01"_s);
        const PlacedText& name = Text(texts, c.label.lines[0].name);
        if (c.name == Name::Below) {
            EXPECT_EQ(name.box.left(), id.box.left()) << trace;
            EXPECT_GE(name.box.top(), id.box.bottom()) << trace;
        } else {
            EXPECT_EQ(name.baseline.y(), id.baseline.y()) << trace;
        }
    }
}

TEST(LabelFit, SetsEveryLabelThatFitsInOneSizeUnlessAskedNotTo)
{
    LabelJob job;
    job.sheet = *FindSheet(u"L7160"_s);
    job.labels = {FourChannels(u"TPR"_s), FourChannels(kWide), FourChannels(kWide + kWide)};
    // The third does not fit at 6 pt and keeps its own size either way.
    for (auto [sameSize, points] :
         {std::pair(true, std::vector{7.0, 7.0, 4.2}), {false, {10.0, 7.0, 4.2}}}) {
        job.sameSize = sameSize;
        const LabelPrint print(job);
        EXPECT_EQ(print.Unfit(), std::vector<int>{2});
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(print.PointsOf(i), points[static_cast<std::size_t>(i)]) << sameSize << i;
            ExpectApart(print, i, std::to_string(i));
        }
    }
}

} // namespace
} // namespace mr640

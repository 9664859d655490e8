#include "checks/label_fit.h"
#include "labels/label_renderer.h"
#include "platform/windows1252.h"

#include <gtest/gtest.h>

#include <random>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

// Whether the line fits, set as a four-channel print sets it, with no short cut.
bool SetLineFits(const LabelSheet& sheet, const ChannelRow& row)
{
    LabelJob job;
    job.sheet = sheet;
    job.largestPoints = kSmallestPoints;
    job.labels = MakeLabels({row}, {0}, {});
    return LabelPrint(std::move(job)).Unfit().empty();
}

// The rule answers most names without setting them; its answer is the setting's, on every
// sheet, for names of the widest characters and of any character the site files hold.
TEST(LabelFit, EveryAnswerIsTheOneSettingTheLineGives)
{
    QByteArray bytes;
    for (int b = 0x20; b <= 0xFF; ++b)
        bytes.append(static_cast<char>(b));
    const QString characters = FromWindows1252(bytes);
    std::mt19937 random(17);
    std::uniform_int_distribution<qsizetype> anyCharacter(0, characters.size() - 1);
    for (const LabelSheet& sheet : BuiltInSheets()) {
        const NameFit fit = LabelNameFit(sheet);
        int fitting = 0;
        for (int length = 0; length <= kRelayNameChars; ++length) {
            std::vector<QString> names = {QString(length, u'\u2030'), QString(length, u'W'),
                                          QString(length, u'i')};
            for (int n = 0; n < 4; ++n) {
                QString name;
                for (int i = 0; i < length; ++i)
                    name += characters[anyCharacter(random)];
                names.push_back(name);
            }
            for (const QString& name : names) {
                for (bool back : {false, true}) {
                    const ChannelRow row{u"HH48"_s, name, back, u"UP"_s, u"DN"_s};
                    const bool fits = SetLineFits(sheet, row);
                    fitting += fits;
                    EXPECT_EQ(fit.fits(row), fits) << sheet.name.toStdString() << " \""
                                                   << name.toStdString() << '"';
                }
            }
        }
        EXPECT_GT(fitting, 0) << sheet.name.toStdString();
    }
}

} // namespace
} // namespace mr640

#include "label_fit.h"

#include "labels/label_renderer.h"
#include "labels/label_settings.h"
#include "platform/settings_store.h"
#include "platform/windows1252.h"

#include <algorithm>
#include <memory>
#include <mutex>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

bool LineFits(const LabelSheet& sheet, const ChannelRow& row)
{
    LabelJob job;
    job.sheet = sheet;
    job.largestPoints = kSmallestPoints;
    // A line as a four-channel print (the default) sets it: a one-channel label would put
    // a long name on a line of its own.
    job.labels = MakeLabels({row}, {0}, {});
    return LabelPrint(std::move(job)).Unfit().empty();
}

constexpr int kIdChars = 4; // "AA17"

// A character of the site files' text, whose width the widest of them bounds.
bool Printable(QChar c)
{
    return c.unicode() >= 0x20 && Windows1252Holds(c.unicode());
}

// The most characters a relay name may have and still surely fit, whatever they are: a line
// of the widest character as its id, as its name that many times, and a back contact fits.
// The labels are set without kerning, so a text is never wider than its characters' widths
// added up.
int SureLength(const LabelSheet& sheet)
{
    QByteArray bytes;
    for (int b = 0x20; b <= 0xFF; ++b)
        bytes.append(static_cast<char>(b));
    TextMeasure measure;
    QChar widest;
    double most = -1;
    for (QChar c : FromWindows1252(bytes)) {
        const double width = measure.Width(QString(c), 1);
        if (Printable(c) && width > most) {
            most = width;
            widest = c;
        }
    }
    int fits = -1; // the longest name known to fit
    int fails = kRelayNameChars + 1;
    while (fails - fits > 1) {
        const int length = (fits + fails) / 2;
        const ChannelRow worst{QString(kIdChars, widest), QString(length, widest), true, {}, {}};
        (LineFits(sheet, worst) ? fits : fails) = length;
    }
    return fits;
}

} // namespace

NameFit LabelNameFit(const LabelSheet& sheet)
{
    NameFit fit;
    fit.where = u"the %1 labels at %2 pt"_s.arg(sheet.name, QString::number(kSmallestPoints));
    // Setting a line costs more than all the other rules on its channel: a name short enough
    // to fit whatever its characters are is not set. That length is worked out once, when
    // first needed, by whichever thread needs it first.
    struct Sure
    {
        std::once_flag once;
        int length = -1;
    };
    auto sure = std::make_shared<Sure>();
    fit.fits = [sheet, sure](const ChannelRow& row) {
        std::call_once(sure->once, [&] { sure->length = SureLength(sheet); });
        const auto printable = [](const QString& text) {
            return std::all_of(text.begin(), text.end(), Printable);
        };
        if (row.Chan.size() <= kIdChars && row.relNam.size() <= sure->length && printable(row.Chan) &&
            printable(row.relNam))
            return true;
        return LineFits(sheet, row);
    };
    return fit;
}

LabelSheet LastLabelSheet(const SettingsStore& settings)
{
    // Where the Print labels dialog keeps the sheet it last printed on.
    const std::optional<QString> name = settings.Get(u"Labels"_s, u"sheet"_s);
    return FindSheet(name.value_or(QString()), LoadCustomSheets(settings))
        .value_or(BuiltInSheets().front());
}

} // namespace mr640

#include "label_fit.h"

#include "labels/label_renderer.h"
#include "labels/label_settings.h"
#include "platform/settings_store.h"

#include <memory>

namespace mr640 {

using namespace Qt::StringLiterals;

NameFit LabelNameFit(const LabelSheet& sheet)
{
    NameFit fit;
    fit.where = u"the %1 labels at %2 pt"_s.arg(sheet.name, QString::number(kSmallestPoints));
    fit.fits = [sheet](const ChannelRow& row) {
        LabelJob job;
        job.sheet = sheet;
        job.largestPoints = kSmallestPoints;
        // A line as a four-channel print (the default) sets it: a one-channel label would put
        // a long name on a line of its own.
        job.labels = MakeLabels({row}, {0}, {});
        return LabelPrint(std::move(job)).Unfit().empty();
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

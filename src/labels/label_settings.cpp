#include "label_settings.h"

#include "platform/settings_store.h"

#include <QStringList>
#include <cmath>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

const QString kSheets = u"LabelSheets"_s;
const QString kOffsets = u"PrinterOffsets"_s;
const QString kFirstLabels = u"FirstLabel"_s;

// A '/' in a key would open a sub-group of the store, so names are kept escaped.
QString KeyOf(const QString& name)
{
    return QString(name).replace(u'%', u"%25"_s).replace(u'/', u"%2F"_s).replace(u'\\', u"%5C"_s);
}

QString NameOf(const QString& key)
{
    return QString(key)
        .replace(u"%5C"_s, u"\\"_s)
        .replace(u"%2F"_s, u"/"_s)
        .replace(u"%25"_s, u"%"_s);
}

// Numbers as the store keeps them: blank-separated, in C's notation whatever the locale.
QString Numbers(std::initializer_list<double> values)
{
    QStringList texts;
    for (double value : values)
        texts << QString::number(value, 'g', 10);
    return texts.join(u' ');
}

std::optional<std::vector<double>> ReadNumbers(const std::optional<QString>& text, qsizetype count)
{
    if (!text)
        return std::nullopt;
    const QStringList texts = text->split(u' ', Qt::SkipEmptyParts);
    if (texts.size() != count)
        return std::nullopt;
    std::vector<double> values;
    for (const QString& t : texts) {
        bool ok = false;
        values.push_back(t.toDouble(&ok));
        if (!ok)
            return std::nullopt;
    }
    return values;
}

} // namespace

std::vector<LabelSheet> LoadCustomSheets(const SettingsStore& settings)
{
    std::vector<LabelSheet> sheets;
    for (const QString& key : settings.Keys(kSheets)) {
        const auto v = ReadNumbers(settings.Get(kSheets, key), 11);
        // A count that is no whole int would not survive the conversion: such a sheet is as
        // bad as any SheetProblem names.
        const auto count = [](double value) {
            return value >= 0 && value <= kMostColumnsOrRows && value == std::trunc(value);
        };
        if (!v || !count((*v)[5]) || !count((*v)[6]))
            continue;
        const LabelSheet sheet{NameOf(key),
                               u"Custom sheet"_s,
                               (*v)[0],
                               (*v)[1],
                               (*v)[2],
                               (*v)[3],
                               (*v)[4],
                               static_cast<int>((*v)[5]),
                               static_cast<int>((*v)[6]),
                               (*v)[7],
                               (*v)[8],
                               (*v)[9],
                               (*v)[10]};
        if (!SheetProblem(sheet))
            sheets.push_back(sheet);
    }
    return sheets;
}

void SaveCustomSheet(SettingsStore& settings, const LabelSheet& sheet)
{
    settings.Save(kSheets, KeyOf(sheet.name),
                  Numbers({sheet.pageWidth, sheet.pageHeight, sheet.labelWidth, sheet.labelHeight,
                           sheet.cornerRadius, double(sheet.columns), double(sheet.rows), sheet.x0,
                           sheet.y0, sheet.dx, sheet.dy}));
}

void RemoveCustomSheet(SettingsStore& settings, const QString& name)
{
    settings.Remove(kSheets, KeyOf(name));
    settings.Remove(kFirstLabels, KeyOf(name));
}

int LoadFirstLabel(const SettingsStore& settings, const QString& sheet)
{
    bool ok = false;
    const int slot = settings.Get(kFirstLabels, KeyOf(sheet)).value_or(QString()).toInt(&ok);
    return ok && slot > 0 ? slot : 0;
}

void SaveFirstLabel(SettingsStore& settings, const QString& sheet, int slot)
{
    settings.Save(kFirstLabels, KeyOf(sheet), QString::number(slot));
}

QPointF LoadPrinterOffsets(const SettingsStore& settings, const QString& printer)
{
    const auto v = ReadNumbers(settings.Get(kOffsets, KeyOf(printer)), 2);
    return v ? QPointF((*v)[0], (*v)[1]) : QPointF();
}

void SavePrinterOffsets(SettingsStore& settings, const QString& printer, QPointF offsets)
{
    settings.Save(kOffsets, KeyOf(printer), Numbers({offsets.x(), offsets.y()}));
}

} // namespace mr640

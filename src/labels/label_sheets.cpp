#include "label_sheets.h"

#include <cmath>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

constexpr double kInch = 25.4;
// Published figures carry two decimals; a grid this close to an edge still lies inside.
constexpr double kTolerance = 0.005;

LabelSheet Sheet(const QString& name, const QString& description, double pageWidth,
                 double pageHeight, double labelWidth, double labelHeight, double radius,
                 int columns, int rows, double dx, double dy)
{
    // Each of these sheets centres its grid on the page.
    const double x0 = (pageWidth - (columns - 1) * dx - labelWidth) / 2;
    const double y0 = (pageHeight - (rows - 1) * dy - labelHeight) / 2;
    return {name,    description, pageWidth, pageHeight, labelWidth, labelHeight, radius,
            columns, rows,        x0,        y0,         dx,         dy};
}

} // namespace

QRectF LabelSheet::Slot(int slot) const
{
    const int column = slot % columns;
    const int row = slot / columns;
    return {x0 + column * dx, y0 + row * dy, labelWidth, labelHeight};
}

const std::vector<LabelSheet>& BuiltInSheets()
{
    static const std::vector<LabelSheet> sheets{
        Sheet(u"L7163"_s, u"Avery L7163, 99.1 × 38.1 mm, 2 × 7 on A4"_s, kA4Width, kA4Height, 99.1,
              38.1, 2.5, 2, 7, 101.6, 38.1),
        Sheet(u"L7160"_s, u"Avery L7160, 63.5 × 38.1 mm, 3 × 7 on A4"_s, kA4Width, kA4Height, 63.5,
              38.1, 2.5, 3, 7, 66.04, 38.1),
        Sheet(u"L7162"_s, u"Avery L7162, 99.1 × 33.9 mm, 2 × 8 on A4"_s, kA4Width, kA4Height, 99.1,
              33.9, 2.5, 2, 8, 101.6, 33.9),
        Sheet(u"L7651"_s, u"Avery L7651, 38.1 × 21.2 mm, 5 × 13 on A4"_s, kA4Width, kA4Height, 38.1,
              21.2, 1.0, 5, 13, 40.64, 21.2),
        Sheet(u"L7165"_s, u"Avery L7165, 99.1 × 67.7 mm, 2 × 4 on A4"_s, kA4Width, kA4Height, 99.1,
              67.7, 2.5, 2, 4, 101.6, 67.7),
        Sheet(u"3474"_s, u"Zweckform 3474 and equals, 70 × 37 mm, 3 × 8 on A4, no margins"_s,
              kA4Width, kA4Height, 70, 37, 0, 3, 8, 70, 37),
        Sheet(u"5160"_s, u"Avery 5160, 2 5/8 × 1 in, 3 × 10 on US Letter"_s, kLetterWidth,
              kLetterHeight, 2.625 * kInch, 1 * kInch, kInch / 16, 3, 10, 2.75 * kInch, 1 * kInch),
        Sheet(u"5163"_s, u"Avery 5163, 4 × 2 in, 2 × 5 on US Letter"_s, kLetterWidth, kLetterHeight,
              4 * kInch, 2 * kInch, kInch / 16, 2, 5, 4.1875 * kInch, 2 * kInch),
    };
    return sheets;
}

std::optional<LabelSheet> FindSheet(const QString& name, const std::vector<LabelSheet>& custom)
{
    for (const auto* list : {&BuiltInSheets(), &custom}) {
        for (const LabelSheet& sheet : *list) {
            if (sheet.name.compare(name, Qt::CaseInsensitive) == 0)
                return sheet;
        }
    }
    return std::nullopt;
}

std::optional<QString> SheetProblem(const LabelSheet& sheet)
{
    if (sheet.name.trimmed().isEmpty())
        return u"The sheet has no name."_s;
    for (double length : {sheet.pageWidth, sheet.pageHeight, sheet.labelWidth, sheet.labelHeight,
                          sheet.cornerRadius, sheet.x0, sheet.y0, sheet.dx, sheet.dy}) {
        if (!std::isfinite(length))
            return u"Every length must be a number of millimetres."_s;
    }
    if (!(sheet.pageWidth > 0 && sheet.pageHeight > 0))
        return u"The page must be wider and taller than 0 mm."_s;
    if (!(sheet.labelWidth > 0 && sheet.labelHeight > 0))
        return u"The labels must be wider and taller than 0 mm."_s;
    if (sheet.columns < 1 || sheet.rows < 1)
        return u"The sheet must hold at least one column and one row of labels."_s;
    if (sheet.columns > kMostColumnsOrRows || sheet.rows > kMostColumnsOrRows)
        return u"The sheet may hold at most %1 columns and %1 rows of labels."_s.arg(
            kMostColumnsOrRows);
    // Labels laid over each other would print over each other.
    if ((sheet.columns > 1 && sheet.dx < sheet.labelWidth - kTolerance) ||
        (sheet.rows > 1 && sheet.dy < sheet.labelHeight - kTolerance))
        return u"The labels overlap: the pitch is smaller than the label."_s;

    const QRectF last = sheet.Slot(sheet.LabelsPerPage() - 1);
    const struct
    {
        const char* edge;
        double overrun;
    } edges[] = {{"left", -sheet.x0},
                 {"top", -sheet.y0},
                 {"right", last.right() - sheet.pageWidth},
                 {"bottom", last.bottom() - sheet.pageHeight}};
    for (const auto& e : edges) {
        if (e.overrun > kTolerance)
            return u"The labels overrun the %1 edge of the page by %2 mm."_s
                .arg(QLatin1StringView(e.edge))
                .arg(e.overrun, 0, 'f', 2);
    }
    return std::nullopt;
}

QString PaperName(double width, double height)
{
    const auto near = [](double a, double b) { return std::abs(a - b) < 0.05; };
    if (near(width, kA4Width) && near(height, kA4Height))
        return u"A4"_s;
    if (near(width, kLetterWidth) && near(height, kLetterHeight))
        return u"US Letter"_s;
    return u"%1 × %2 mm"_s.arg(width, 0, 'g', 6).arg(height, 0, 'g', 6);
}

} // namespace mr640

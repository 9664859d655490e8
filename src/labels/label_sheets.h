#pragma once

#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

namespace mr640 {

// A sheet of labels: a page and a regular grid of labels on it. Every length is in
// millimetres, measured from the page's top-left corner.
struct LabelSheet
{
    QString name;        // the part number the user picks it by: "L7163", "5160"
    QString description; // what the sheet is, shown beside the name
    double pageWidth = 0;
    double pageHeight = 0;
    double labelWidth = 0;
    double labelHeight = 0;
    double cornerRadius = 0;
    int columns = 0;
    int rows = 0;
    double x0 = 0; // the first label's left edge
    double y0 = 0; // the first label's top edge
    double dx = 0; // from one label's left edge to the next one's in a row
    double dy = 0; // from one label's top edge to the next one's in a column

    int LabelsPerPage() const { return columns * rows; }
    // Slot 0 is the top-left label; slots run along the rows.
    QRectF Slot(int slot) const;

    friend bool operator==(const LabelSheet&, const LabelSheet&) = default;
};

inline constexpr int kMostColumnsOrRows = 1000; // keeps every count of slots an int

inline constexpr double kA4Width = 210;
inline constexpr double kA4Height = 297;
inline constexpr double kLetterWidth = 215.9;
inline constexpr double kLetterHeight = 279.4;

// The sheets the program knows, in the order they are offered; L7163 first.
const std::vector<LabelSheet>& BuiltInSheets();

// The sheet called name among the built-in sheets, then the custom ones; matched without
// regard to case. std::nullopt when there is none.
std::optional<LabelSheet> FindSheet(const QString& name,
                                    const std::vector<LabelSheet>& custom = {});

// Why the sheet cannot be printed on: no name, a length that is no number (NaN, infinite),
// a size that is not positive, no labels or more than kMostColumnsOrRows a side, or
// a grid that overruns an edge of its page ("The labels overrun the right edge of the
// page by 1.20 mm."). std::nullopt for a sound sheet.
std::optional<QString> SheetProblem(const LabelSheet& sheet);

// The paper's name for a page size: "A4", "US Letter", else "210 × 297 mm".
QString PaperName(double width, double height);

} // namespace mr640

#pragma once

#include "label_layout.h"
#include "label_sheets.h"

#include <QFont>
#include <QHash>
#include <array>
#include <QPageSize>
#include <QPointF>
#include <QString>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace mr640 {

inline constexpr double kLargestPoints = 10; // the size labels are set in when they fit
inline constexpr double kSmallestPoints = 6; // below this a label is reported, not shrunk
inline constexpr double kLabelPadding = 1.5; // mm between a label's edge and its text

// Everything one print needs: the sheet, the labels, where the first goes, and the
// printer's calibration.
struct LabelJob
{
    LabelSheet sheet;
    std::vector<Label> labels;
    int first = 0; // the first unused slot of the first sheet
    int copies = 1;
    double largestPoints = kLargestPoints;
    double offsetX = 0; // mm; moves everything printed right (negative: left)
    double offsetY = 0; // mm; moves everything printed down (negative: up)
    bool outlines = false;
};

// A text set on a page: its left end on the baseline, in mm from the page's top-left corner.
struct PlacedText
{
    QString text;
    QPointF baseline;
    double points = 0;
};

// Widths and heights of the labels' font. Each distinct character is measured once, at one
// reference size, and a text's width is the sum of its characters' (the font is set without
// kerning, so that is what is painted); every size scales from it, as an unhinted outline
// font does.
class TextMeasure
{
public:
    TextMeasure();
    // The width of text at size points, in mm.
    double Width(const QString& text, double points);
    double LineHeight(double points) const { return lineEm_ * points * kMmPerPoint; }
    double Ascent(double points) const { return ascentEm_ * points * kMmPerPoint; }
    // The font the labels are painted in, at a size in points.
    QFont Font(double points) const;

    static constexpr double kMmPerPoint = 25.4 / 72;

private:
    double AdvanceEm(QChar c);

    QFont reference_;
    std::array<double, 256> latinEm_; // < 0: not measured yet
    QHash<char16_t, double> otherEm_;
    double lineEm_ = 0;
    double ascentEm_ = 0;
};

// The labels of a job fitted and set on their sheets, ready to paint on any device: a PDF
// writer, a printer, a preview or an image. The same job always paints the same pages.
class LabelPrint
{
public:
    explicit LabelPrint(LabelJob job);

    const LabelJob& Job() const { return job_; }
    SheetRun Run() const;
    int PageCount() const { return Run().PageCount(); }
    // The size label i is set in: the largest up to the job's in steps of half a point at
    // which every line fits, kSmallestPoints when none does.
    double PointsOf(int label) const { return points_[static_cast<std::size_t>(label)]; }
    // The labels that do not fit even at kSmallestPoints; they print at that size and
    // their text runs past the label's edge rather than being cut.
    const std::vector<int>& Unfit() const { return unfit_; }

    // The texts of label i set in the slot whose rectangle (mm) is given.
    std::vector<PlacedText> TextsIn(int label, const QRectF& slot) const;
    // Every text of a page, calibration offsets included, moved by shift (mm) besides.
    std::vector<PlacedText> PageTexts(int page, QPointF shift = {}) const;

    // Paints page `page` with a painter on a device whose origin is the page's top-left
    // corner. The painter is used as it comes, unscaled; lengths are converted to the
    // device's own units and fonts are set in points. Shift (mm) moves everything besides
    // the calibration, for a device whose page is not where the sheet's is.
    void PaintPage(QPainter& painter, int page, QPointF shift = {}) const;
    // Paints every page on the device, starting a new page between them. False when the
    // device could not be painted on.
    bool Paint(QPagedPaintDevice& device, QPointF shift = {}) const;

private:
    struct Columns
    {
        double id = 0;
        double states = 0;
        double contact = 0;
    };
    Columns ColumnsOf(const Label& label, double points) const;
    double FitPoints(const Label& label);

    LabelJob job_;
    mutable TextMeasure measure_;
    std::vector<double> points_;
    std::vector<Columns> columns_; // each label's, at 1 pt
    std::vector<int> unfit_;
};

// The page size of a sheet for a printer or PDF writer. Qt keeps it in whole points; painted
// with SheetPageShift, the labels still sit where they belong on the real page.
QPageSize SheetPageSize(const LabelSheet& sheet);
QPointF SheetPageShift(const LabelSheet& sheet);

// Writes the job as a PDF whose pages are the sheet's size exactly, through the program's
// atomic save. False with the reason in *error when it could not be written.
bool WriteLabelsPdf(const LabelPrint& print, const QString& path, QString* error);

} // namespace mr640

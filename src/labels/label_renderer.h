#pragma once

#include "label_layout.h"
#include "label_sheets.h"

#include <QFont>
#include <QHash>
#include <QPageSize>
#include <QPointF>
#include <QString>
#include <array>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace mr640 {

inline constexpr double kLargestPoints = 10; // the size labels are set in when they fit
inline constexpr double kSmallestPoints = 6; // a label that needs less is reported
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
    // Every label that fits at kSmallestPoints is set in one size, the largest at which all
    // of them fit; false: each in its own largest.
    bool sameSize = true;
    double offsetX = 0; // mm; moves everything printed right (negative: left)
    double offsetY = 0; // mm; moves everything printed down (negative: up)
    bool outlines = false;
};

// A text set on a page, in mm from the page's top-left corner: the left end of its
// baseline, and the box it takes, as wide as its advance and as tall as the font's ascent
// and descent.
struct PlacedText
{
    QString text;
    QPointF baseline;
    double points = 0;
    QRectF box;
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
    double Descent(double points) const { return descentEm_ * points * kMmPerPoint; }
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
    double descentEm_ = 0;
};

// The labels of a job fitted and set on their sheets, ready to paint on any device: a PDF
// writer, a printer, a preview or an image. The same job always paints the same pages.
//
// Each label's text is set inside its label, padding kept, and no text touches another: a
// label of one channel whose line is too long puts the name on a line of its own under its
// id before its text is made smaller; any other is made smaller.
class LabelPrint
{
public:
    explicit LabelPrint(LabelJob job);

    const LabelJob& Job() const { return job_; }
    SheetRun Run() const;
    int PageCount() const { return Run().PageCount(); }
    // The size label i is set in: the largest up to the job's, in steps of half a point, at
    // which its text fits (with sameSize, the smallest of these among the labels that fit
    // at kSmallestPoints). A label that does not is set as small as it must be to stay
    // inside, in steps of a tenth; 0 when its label has no room for text at all.
    double PointsOf(int label) const { return fits_[static_cast<std::size_t>(label)].points; }
    // The labels that do not fit even at kSmallestPoints.
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
    // Draws the outlines of the slots besides, or not.
    void DrawOutlines(bool on) { job_.outlines = on; }

private:
    struct Columns
    {
        double id = 0;
        double states = 0;
        double contact = 0;
    };
    // A label's text at 1 pt: every length scales with the size.
    struct Extent
    {
        Columns columns;
        double oneLine = 0;   // the widest line, a channel a line
        double nameBelow = 0; // the widest line, the name under its id; 0: not offered
        int lines = 0;        // a channel a line, the title included
    };
    struct Fit
    {
        double points = 0;
        bool nameBelow = false;
    };
    Extent ExtentOf(const Label& label) const;
    // The largest size, rounded down, at which lines of text no wider than widest at 1 pt
    // fit in a label.
    double FitPoints(double widest, int lines) const;

    LabelJob job_;
    mutable TextMeasure measure_;
    std::vector<Extent> extents_;
    std::vector<Fit> fits_;
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

#include "label_renderer.h"

#include "platform/save_file.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// Measured at this pixel size, advances are free of hinting and read as ems directly.
constexpr int kReferencePixels = 1000;
// What the painted text may differ from the measured one by, as a share of its width.
constexpr double kWidthMargin = 1.02;
constexpr double kGapEm = 0.4; // between the columns of a line
constexpr double kLeadingEm = 0.1;
constexpr double kOutlinePen = 0.2; // mm

// The labels' font: a sans-serif one that embeds in PDF files, unhinted so that widths
// scale with the size.
QFont LabelFont()
{
    QFont font(u"DejaVu Sans"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    return font;
}

// Qt sets a PDF page in whole points. The sheet's own size goes back into the page boxes,
// written as wide as Qt's figures so that the file's cross-reference offsets still hold;
// a size whose figures would not keep their width stays rounded.
void WriteExactPageSize(QByteArray& pdf, QSize rounded, QSizeF exact)
{
    const auto box = [](double width, double height) {
        return "/MediaBox [0 0 " + QByteArray::number(width, 'f', 6) + ' ' +
               QByteArray::number(height, 'f', 6) + ']';
    };
    const QByteArray qt = box(rounded.width(), rounded.height());
    const QByteArray own = box(exact.width(), exact.height());
    if (own.size() == qt.size())
        pdf.replace(qt, own);
}

} // namespace

TextMeasure::TextMeasure() : reference_(LabelFont())
{
    latinEm_.fill(-1);
    reference_.setPixelSize(kReferencePixels);
    const QFontMetricsF metrics(reference_);
    ascentEm_ = metrics.ascent() / kReferencePixels;
    lineEm_ = (metrics.ascent() + metrics.descent()) / kReferencePixels + kLeadingEm;
}

double TextMeasure::AdvanceEm(QChar c)
{
    double* known = c.unicode() < latinEm_.size() ? &latinEm_[c.unicode()] : nullptr;
    if (!known) {
        auto it = otherEm_.find(c.unicode());
        known = it != otherEm_.end() ? &*it : &*otherEm_.insert(c.unicode(), -1);
    }
    if (*known < 0)
        *known = QFontMetricsF(reference_).horizontalAdvance(c) / kReferencePixels;
    return *known;
}

double TextMeasure::Width(const QString& text, double points)
{
    double em = 0;
    for (QChar c : text)
        em += AdvanceEm(c);
    return em * points * kMmPerPoint * kWidthMargin;
}

QFont TextMeasure::Font(double points) const
{
    QFont font = LabelFont();
    font.setPointSizeF(points);
    return font;
}

LabelPrint::LabelPrint(LabelJob job) : job_(std::move(job))
{
    points_.reserve(job_.labels.size());
    columns_.reserve(job_.labels.size());
    for (std::size_t i = 0; i < job_.labels.size(); ++i) {
        const double points = FitPoints(job_.labels[i]);
        if (points < kSmallestPoints)
            unfit_.push_back(static_cast<int>(i));
        points_.push_back(std::max(points, kSmallestPoints));
    }
}

SheetRun LabelPrint::Run() const
{
    return {static_cast<int>(job_.labels.size()), job_.first, std::max(job_.copies, 1),
            job_.sheet.LabelsPerPage()};
}

LabelPrint::Columns LabelPrint::ColumnsOf(const Label& label, double points) const
{
    Columns columns;
    for (const LabelLine& line : label.lines) {
        columns.id = std::max(columns.id, measure_.Width(line.id, points));
        columns.states = std::max(columns.states, measure_.Width(line.states, points));
        columns.contact = std::max(columns.contact, measure_.Width(line.contact, points));
    }
    return columns;
}

// Every width and height is proportional to the size, so the largest size that fits
// follows from the widths at one size; then it is rounded down to a half point.
double LabelPrint::FitPoints(const Label& label)
{
    const double unit = 1; // the widths at 1 pt
    const Columns columns = ColumnsOf(label, unit);
    columns_.push_back(columns);
    const double gap = kGapEm * unit * TextMeasure::kMmPerPoint;
    const double fixed = columns.id + (columns.states > 0 ? gap + columns.states : 0) +
                         (columns.contact > 0 ? gap + columns.contact : 0);
    double widest = measure_.Width(label.title, unit);
    for (const LabelLine& line : label.lines)
        widest = std::max(widest, fixed + gap + measure_.Width(line.name, unit));
    const int lineCount = static_cast<int>(label.lines.size()) + (label.title.isEmpty() ? 0 : 1);

    const double width = job_.sheet.labelWidth - 2 * kLabelPadding;
    const double height = job_.sheet.labelHeight - 2 * kLabelPadding;
    double points = job_.largestPoints;
    if (widest > 0)
        points = std::min(points, width / widest);
    if (lineCount > 0)
        points = std::min(points, height / (lineCount * measure_.LineHeight(unit)));
    return std::floor(points * 2) / 2;
}

std::vector<PlacedText> LabelPrint::TextsIn(int label, const QRectF& slot) const
{
    const Label& content = job_.labels[static_cast<std::size_t>(label)];
    const double points = PointsOf(label);
    const Columns atOne = columns_[static_cast<std::size_t>(label)];
    const Columns columns{atOne.id * points, atOne.states * points, atOne.contact * points};
    const double gap = kGapEm * points * TextMeasure::kMmPerPoint;
    const double lineHeight = measure_.LineHeight(points);
    const int lineCount =
        static_cast<int>(content.lines.size()) + (content.title.isEmpty() ? 0 : 1);

    // The block of lines sits in the middle of the label's height.
    const double top =
        slot.top() + std::max(kLabelPadding, (slot.height() - lineCount * lineHeight) / 2);
    double baseline = top + measure_.Ascent(points);
    const double left = slot.left() + kLabelPadding;
    const double right = slot.right() - kLabelPadding;

    std::vector<PlacedText> texts;
    if (!content.title.isEmpty()) {
        const double x = slot.center().x() - measure_.Width(content.title, points) / 2;
        texts.push_back({content.title, {std::max(x, left), baseline}, points});
        baseline += lineHeight;
    }
    for (const LabelLine& line : content.lines) {
        texts.push_back({line.id, {left, baseline}, points});
        texts.push_back({line.name, {left + columns.id + gap, baseline}, points});
        if (!line.contact.isEmpty())
            texts.push_back({line.contact, {right - columns.contact, baseline}, points});
        if (!line.states.isEmpty()) {
            const double end = columns.contact > 0 ? right - columns.contact - gap : right;
            texts.push_back({line.states, {end - columns.states, baseline}, points});
        }
        baseline += lineHeight;
    }
    return texts;
}

std::vector<PlacedText> LabelPrint::PageTexts(int page, QPointF shift) const
{
    const SheetRun run = Run();
    const QPointF offset = QPointF(job_.offsetX, job_.offsetY) + shift;
    std::vector<PlacedText> texts;
    const auto [begin, end] = run.OnPage(page);
    for (int k = begin; k < end; ++k) {
        for (PlacedText& text : TextsIn(run.LabelAt(k), job_.sheet.Slot(run.SlotOf(k)))) {
            text.baseline += offset;
            texts.push_back(std::move(text));
        }
    }
    return texts;
}

void LabelPrint::PaintPage(QPainter& painter, int page, QPointF shift) const
{
    const QPaintDevice* device = painter.device();
    const double sx = device->logicalDpiX() / 25.4;
    const double sy = device->logicalDpiY() / 25.4;
    const auto toDevice = [&](QPointF mm) { return QPointF(mm.x() * sx, mm.y() * sy); };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (job_.outlines) {
        painter.setPen(QPen(Qt::black, kOutlinePen * sx));
        painter.setBrush(Qt::NoBrush);
        const QPointF offset = QPointF(job_.offsetX, job_.offsetY) + shift;
        for (int slot = 0; slot < job_.sheet.LabelsPerPage(); ++slot) {
            const QRectF mm = job_.sheet.Slot(slot).translated(offset);
            painter.drawRoundedRect(QRectF(toDevice(mm.topLeft()), toDevice(mm.bottomRight())),
                                    job_.sheet.cornerRadius * sx, job_.sheet.cornerRadius * sy);
        }
    }
    painter.setPen(Qt::black);
    double current = -1;
    for (const PlacedText& text : PageTexts(page, shift)) {
        if (text.points != current) {
            painter.setFont(measure_.Font(text.points));
            current = text.points;
        }
        painter.drawText(toDevice(text.baseline), text.text);
    }
    painter.restore();
}

bool LabelPrint::Paint(QPagedPaintDevice& device, QPointF shift) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int page = 0; page < PageCount(); ++page) {
        if (page > 0 && !device.newPage())
            return false;
        PaintPage(painter, page, shift);
    }
    return painter.end();
}

QPageSize SheetPageSize(const LabelSheet& sheet)
{
    return QPageSize(QSizeF(sheet.pageWidth, sheet.pageHeight), QPageSize::Millimeter, sheet.name,
                     QPageSize::ExactMatch);
}

QPointF SheetPageShift(const LabelSheet& sheet)
{
    // Qt measures from the top of its rounded page; the real page's top lies this far lower.
    const double rounded = SheetPageSize(sheet).sizePoints().height() * TextMeasure::kMmPerPoint;
    return {0, rounded - sheet.pageHeight};
}

bool WriteLabelsPdf(const LabelPrint& print, const QString& path, QString* error)
{
    const LabelSheet& sheet = print.Job().sheet;
    const QPageSize pageSize = SheetPageSize(sheet);
    const QSizeF exact = QSizeF(sheet.pageWidth, sheet.pageHeight) / TextMeasure::kMmPerPoint;
    const QPointF shift = SheetPageShift(sheet);

    QByteArray content;
    {
        QBuffer buffer(&content);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(pageSize);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setCreator(u"MR640Config"_s);
        writer.setTitle(u"Relay labels"_s);
        if (!print.Paint(writer, shift)) {
            *error = u"The labels could not be painted."_s;
            return false;
        }
    }
    WriteExactPageSize(content, pageSize.sizePoints(), exact);
    return SaveFileAtomically(path, content, error);
}

} // namespace mr640

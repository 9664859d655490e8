#include "label_renderer.h"

#include "platform/save_file.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <optional>

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
    descentEm_ = metrics.descent() / kReferencePixels;
    lineEm_ = ascentEm_ + descentEm_ + kLeadingEm;
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
    const std::size_t count = job_.labels.size();
    extents_.reserve(count);
    fits_.reserve(count);
    std::vector<double> oneLine(count);
    double common = job_.largestPoints;
    for (std::size_t i = 0; i < count; ++i) {
        const Extent& extent = extents_.emplace_back(ExtentOf(job_.labels[i]));
        oneLine[i] = FitPoints(extent.oneLine, extent.lines);
        const double best =
            extent.nameBelow > 0
                ? std::max(oneLine[i], FitPoints(extent.nameBelow, extent.lines + 1))
                : oneLine[i];
        fits_.push_back({best, false});
        if (best < kSmallestPoints)
            unfit_.push_back(static_cast<int>(i));
        else
            common = std::min(common, best);
    }
    // A label that does not fit at the smallest size keeps its own, so that it does not make
    // every other label smaller. A label takes a second line only where one does not fit.
    for (std::size_t i = 0; i < count; ++i) {
        Fit& fit = fits_[i];
        if (job_.sameSize && fit.points >= kSmallestPoints)
            fit.points = common;
        fit.nameBelow = oneLine[i] < fit.points;
    }
}

SheetRun LabelPrint::Run() const
{
    return {static_cast<int>(job_.labels.size()), job_.first, std::max(job_.copies, 1),
            job_.sheet.LabelsPerPage()};
}

LabelPrint::Extent LabelPrint::ExtentOf(const Label& label) const
{
    Extent extent;
    Columns& columns = extent.columns;
    for (const LabelLine& line : label.lines) {
        columns.id = std::max(columns.id, measure_.Width(line.id, 1));
        columns.states = std::max(columns.states, measure_.Width(line.states, 1));
        columns.contact = std::max(columns.contact, measure_.Width(line.contact, 1));
    }
    const double gap = kGapEm * TextMeasure::kMmPerPoint;
    // What follows the name on its line: the states and the contact, each after a gap.
    const double after = (columns.states > 0 ? gap + columns.states : 0) +
                         (columns.contact > 0 ? gap + columns.contact : 0);
    const double title = measure_.Width(label.title, 1);
    extent.oneLine = title;
    for (const LabelLine& line : label.lines)
        extent.oneLine =
            std::max(extent.oneLine, columns.id + gap + measure_.Width(line.name, 1) + after);
    if (label.oneChannel && label.lines.size() == 1)
        extent.nameBelow =
            std::max({title, columns.id + after, measure_.Width(label.lines.front().name, 1)});
    extent.lines = static_cast<int>(label.lines.size()) + (label.title.isEmpty() ? 0 : 1);
    return extent;
}

// Every width and height is proportional to the size, so the largest size that fits
// follows from the widths at 1 pt.
double LabelPrint::FitPoints(double widest, int lines) const
{
    const double width = job_.sheet.labelWidth - 2 * kLabelPadding;
    const double height = job_.sheet.labelHeight - 2 * kLabelPadding;
    double points = job_.largestPoints;
    if (widest > 0)
        points = std::min(points, width / widest);
    if (lines > 0)
        points = std::min(points, height / (lines * measure_.LineHeight(1)));
    if (points >= kSmallestPoints)
        return std::floor(points * 2) / 2;
    return std::max(std::floor(points * 10) / 10, 0.0);
}

std::vector<PlacedText> LabelPrint::TextsIn(int label, const QRectF& slot) const
{
    const std::size_t i = static_cast<std::size_t>(label);
    const Label& content = job_.labels[i];
    const Fit fit = fits_[i];
    if (fit.points <= 0)
        return {}; // no room for any text
    const double points = fit.points;
    const Columns& atOne = extents_[i].columns;
    const Columns columns{atOne.id * points, atOne.states * points, atOne.contact * points};
    const double gap = kGapEm * points * TextMeasure::kMmPerPoint;
    const double lineHeight = measure_.LineHeight(points);
    const int lineCount = extents_[i].lines + (fit.nameBelow ? 1 : 0);

    // The block of lines sits in the middle of the label's height.
    const double top =
        slot.top() + std::max(kLabelPadding, (slot.height() - lineCount * lineHeight) / 2);
    double baseline = top + measure_.Ascent(points);
    const double left = slot.left() + kLabelPadding;
    const double right = slot.right() - kLabelPadding;

    std::vector<PlacedText> texts;
    const auto place = [&](const QString& text, double x) {
        if (text.isEmpty())
            return;
        const double ascent = measure_.Ascent(points);
        const QRectF box(x, baseline - ascent, measure_.Width(text, points),
                         ascent + measure_.Descent(points));
        texts.push_back({text, {x, baseline}, points, box});
    };
    if (!content.title.isEmpty()) {
        const double x = slot.center().x() - measure_.Width(content.title, points) / 2;
        place(content.title, std::max(x, left));
        baseline += lineHeight;
    }
    for (const LabelLine& line : content.lines) {
        place(line.id, left);
        if (!fit.nameBelow)
            place(line.name, left + columns.id + gap);
        place(line.contact, right - columns.contact);
        const double end = columns.contact > 0 ? right - columns.contact - gap : right;
        place(line.states, end - columns.states);
        baseline += lineHeight;
        if (fit.nameBelow) {
            place(line.name, left);
            baseline += lineHeight;
        }
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
            text.box.translate(offset);
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
    // A PDF places the glyphs as laid out. A picture of few pixels a mm sets them on whole
    // pixels, wider than laid out at a small size: there a text wider than its box is drawn
    // smaller, so that it never runs into the next.
    const bool exact = painter.paintEngine()->type() == QPaintEngine::Pdf;
    double current = -1;
    std::optional<QFontMetricsF> metrics;
    for (const PlacedText& text : PageTexts(page, shift)) {
        if (text.points != current) {
            painter.setFont(measure_.Font(text.points));
            metrics.emplace(painter.font(), device);
            current = text.points;
        }
        const QPointF at = toDevice(text.baseline);
        const double room = text.box.width() * sx;
        const double width = exact ? room : metrics->horizontalAdvance(text.text);
        if (width <= room) {
            painter.drawText(at, text.text);
            continue;
        }
        painter.save();
        painter.translate(at);
        painter.scale(room / width, room / width);
        painter.drawText(QPointF(), text.text);
        painter.restore();
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

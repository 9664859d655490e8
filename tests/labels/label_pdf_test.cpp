#include "editor/channel_ids.h"
#include "labels/label_renderer.h"
#include "pdf_words.h"

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::PdfInfo;
using test::PdfWord;
using test::ReadPdfWords;

constexpr double kMmPerPt = 25.4 / 72;

// A full site as a user leaves it: named relays, some back contacts, some spares.
std::vector<ChannelRow> FullSite()
{
    std::vector<ChannelRow> rows = DefaultRows(kMaxChannels);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        rows[r].relNam = r % 5 == 4 ? u"SPARE"_s : u"TPR%1"_s.arg(r);
        rows[r].back = r % 3 == 0;
    }
    return rows;
}

LabelJob Job(const QString& sheet, std::vector<Label> labels, int first = 0)
{
    LabelJob job;
    job.sheet = *FindSheet(sheet);
    job.labels = std::move(labels);
    job.first = first;
    return job;
}

class LabelPdf : public ::testing::Test
{
protected:
    // Writes the job and reads it back: the words of every page.
    std::vector<std::vector<PdfWord>> Write(const LabelJob& job)
    {
        const QString path = dir_.filePath(u"labels.pdf"_s);
        QString error;
        EXPECT_TRUE(WriteLabelsPdf(LabelPrint(job), path, &error)) << error.toStdString();
        info_ = PdfInfo(path);
        return ReadPdfWords(path);
    }
    QString info_;

private:
    QTemporaryDir dir_;
};

// The first word on the page that reads text, drawn first; fails the test when there is none
// or, when `once` is asked, more than one.
PdfWord Find(const std::vector<PdfWord>& page, const QString& text, bool once = true)
{
    std::vector<PdfWord> found;
    std::copy_if(page.begin(), page.end(), std::back_inserter(found),
                 [&](const PdfWord& w) { return w.text == text; });
    EXPECT_TRUE(once ? found.size() == 1 : !found.empty())
        << text.toStdString() << " " << found.size();
    return found.empty() ? PdfWord{} : found.front();
}

TEST_F(LabelPdf, AFullSiteOnL7163PutsEveryChannelOnceOnItsSlot)
{
    const std::vector<ChannelRow> rows = FullSite();
    const auto pages =
        Write(Job(u"L7163"_s, MakeLabels(rows, RowsInRange(rows, 1, kMaxChannels), {})));
    EXPECT_TRUE(info_.contains(u"Pages:           55"_s)) << info_.toStdString();
    EXPECT_TRUE(info_.contains(u"Page size:       595.276 x 841.89 pts (A4)"_s))
        << info_.toStdString();
    ASSERT_EQ(pages.size(), 55u);

    QHash<QString, int> seen;
    for (const auto& page : pages)
        for (const PdfWord& word : page)
            ++seen[word.text];
    const LabelSheet sheet = *FindSheet(u"L7163"_s);
    for (int n = 1; n <= kMaxChannels; ++n) {
        const QString id = ChannelIdFromNumber(n);
        ASSERT_EQ(seen.value(id), 1) << id.toStdString();
        if ((n - 1) % 4 != 0)
            continue;
        // The first id of label k starts at its slot's left edge and padding, inside the slot.
        const int k = (n - 1) / 4;
        const PdfWord word = Find(pages[static_cast<std::size_t>(k / 14)], id);
        const QRectF slot = sheet.Slot(k % 14);
        ASSERT_NEAR(word.box.left() * kMmPerPt, slot.left() + kLabelPadding, 0.3)
            << id.toStdString();
        ASSERT_TRUE(
            slot.contains(QRectF(word.box.topLeft() * kMmPerPt, word.box.size() * kMmPerPt)))
            << id.toStdString();
    }
    EXPECT_EQ(pages.back().size(), 12u * 4 * 2 + 12 * 4 / 3); // ids, names and every third a B
}

TEST_F(LabelPdf, StartsAtTheChosenSlotAndMovesByThePrintersOffsets)
{
    const std::vector<ChannelRow> rows = FullSite();
    const std::vector<Label> labels = MakeLabels(rows, RowsInRange(rows, 1, 40), {});
    LabelJob job = Job(u"L7160"_s, labels, 19);
    const auto plain = Write(job);
    ASSERT_EQ(plain.size(), 2u);
    // The first label in slot 19, the 3rd at the top of page 2, the 9th in its slot 6.
    for (auto [page, id, slot] :
         {std::tuple(0, u"AA01"_s, 19), {1, u"AA09"_s, 0}, {1, u"AA33"_s, 6}})
        EXPECT_NEAR(Find(plain[page], id).box.left() * kMmPerPt,
                    job.sheet.Slot(slot).left() + kLabelPadding, 0.3);

    job.offsetX = 2.5;
    job.offsetY = -1.5;
    const auto moved = Write(job);
    for (const QString& id : {u"AA01"_s, u"AA17"_s}) {
        const int page = id == u"AA01"_s ? 0 : 1;
        const QPointF shift =
            (Find(moved[page], id).box.topLeft() - Find(plain[page], id).box.topLeft()) * kMmPerPt;
        EXPECT_NEAR(shift.x(), 2.5, 0.05);
        EXPECT_NEAR(shift.y(), -1.5, 0.05);
    }
}

// A site that makes labels crowded: long names of the widest letter, state texts as a dip
// file pads them, back contacts and a title line.
std::vector<ChannelRow> CrowdedSite()
{
    std::vector<ChannelRow> rows = DefaultRows(kChannelsPerUnit);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r % 4 != 3)
            rows[r].relNam = u"WWWWWWWWWWWWWWWW"_s;
        rows[r].back = r % 2 == 1;
        rows[r].stUp = u"UP "_s;
        rows[r].stDn = u"DN "_s;
    }
    return rows;
}

TEST_F(LabelPdf, CrowdedLabelsKeepEveryWordApartAndInsideItsSlot)
{
    const std::vector<ChannelRow> rows = CrowdedSite();
    LabelContent content;
    content.stateTexts = true;
    content.title = u"North Junction"_s;
    for (auto [sheet, perLabel] :
         {std::pair(u"L7160"_s, 4), {u"L7651"_s, 4}, {u"L7651"_s, 1}, {u"3474"_s, 1}}) {
        content.channelsPerLabel = perLabel;
        const LabelJob job = Job(sheet, MakeLabels(rows, RowsInRange(rows, 1, 40), content), 3);
        const auto pages = Write(job);
        const std::string trace = sheet.toStdString() + ' ' + std::to_string(perLabel);
        int wide = 0;
        for (std::size_t p = 0; p < pages.size(); ++p) {
            const auto& words = pages[p];
            for (std::size_t a = 0; a < words.size(); ++a) {
                const QRectF box(words[a].box.topLeft() * kMmPerPt, words[a].box.size() * kMmPerPt);
                wide += words[a].text == u"WWWWWWWWWWWWWWWW"_s;
                bool inSlot = false;
                for (int slot = 0; slot < job.sheet.LabelsPerPage(); ++slot)
                    inSlot = inSlot || job.sheet.Slot(slot).contains(box);
                EXPECT_TRUE(inSlot) << trace << " page " << p << ' ' << words[a].text.toStdString();
                for (std::size_t b = a + 1; b < words.size(); ++b) {
                    const QRectF both = words[a].box & words[b].box;
                    EXPECT_TRUE(both.isEmpty())
                        << trace << " page " << p << ' ' << words[a].text.toStdString() << " and "
                        << words[b].text.toStdString();
                }
            }
        }
        EXPECT_EQ(wide, 30) << trace; // every name printed whole
    }
}

// The picture in the dialog paints at a few pixels a mm, where fonts come out wider.
TEST(LabelPicture, KeepsTheTextOfCrowdedLabelsInsideThemAtAFewPixelsAMillimetre)
{
    const std::vector<ChannelRow> rows = CrowdedSite();
    LabelContent content;
    content.stateTexts = true;
    content.title = u"North Junction"_s;
    for (int perLabel : {1, 4}) {
        content.channelsPerLabel = perLabel;
        const LabelJob job = Job(u"L7651"_s, MakeLabels(rows, RowsInRange(rows, 1, 260), content));
        constexpr double kPixelsPerMm = 1.66;
        QImage page(qRound(210 * kPixelsPerMm), qRound(297 * kPixelsPerMm),
                    QImage::Format_Grayscale8);
        page.setDotsPerMeterX(qRound(kPixelsPerMm * 1000));
        page.setDotsPerMeterY(qRound(kPixelsPerMm * 1000));
        page.fill(Qt::white);
        QPainter painter(&page);
        LabelPrint(job).PaintPage(painter, 0);
        painter.end();
        // The labels touch nothing but their own pixels, and those of the row beside them.
        QRegion labels;
        for (int slot = 0; slot < job.sheet.LabelsPerPage(); ++slot) {
            const QRectF mm = job.sheet.Slot(slot);
            labels += QRectF(mm.topLeft() * kPixelsPerMm, mm.size() * kPixelsPerMm)
                          .toAlignedRect()
                          .adjusted(-1, -1, 1, 1);
        }
        int outside = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                outside += qGray(page.pixel(x, y)) < 200 && !labels.contains(QPoint(x, y));
        EXPECT_EQ(outside, 0) << perLabel;
    }
}

TEST(LabelOutlines, AreDrawnOnEverySlotAndMoveWithTheOffsets)
{
    LabelJob job = Job(u"L7163"_s, {});
    job.outlines = true;
    job.offsetX = 3;
    QImage page(210 * 10, 297 * 10, QImage::Format_Grayscale8); // 10 px a mm
    page.setDotsPerMeterX(10000);
    page.setDotsPerMeterY(10000);
    const auto darkAt = [&](double xMm, double yMm) {
        return qGray(page.pixel(qRound(xMm * 10), qRound(yMm * 10))) < 160;
    };
    for (bool outlines : {false, true}) {
        job.outlines = outlines;
        page.fill(Qt::white);
        QPainter painter(&page);
        LabelPrint(job).PaintPage(painter, 0);
        painter.end();
        const QRectF last = job.sheet.Slot(13);
        EXPECT_EQ(darkAt(last.center().x() + 3, last.bottom()), outlines);
        EXPECT_EQ(darkAt(job.sheet.x0 + 3, job.sheet.Slot(2).center().y()), outlines);
        EXPECT_FALSE(darkAt(job.sheet.x0, job.sheet.Slot(2).center().y()));
    }
}

} // namespace
} // namespace mr640

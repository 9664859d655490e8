#include "editor/channel_ids.h"
#include "labels/label_renderer.h"
#include "pdf_words.h"

#include <QImage>
#include <QPainter>
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

TEST_F(LabelPdf, LongNamesOfWideLettersShrinkOrAreListedButAreNeverCut)
{
    std::vector<ChannelRow> rows = DefaultRows(kChannelsPerUnit);
    for (ChannelRow& row : rows)
        row.relNam = u"WWWWWWWWWWWWWWWW"_s;
    // The size each label is set in; 0: it does not fit and is listed.
    for (auto [sheet, perLabel, points] : {std::tuple(u"L7163"_s, 4, 10.0),
                                           {u"L7160"_s, 4, 8.5},
                                           {u"L7651"_s, 4, 0.0},
                                           {u"L7651"_s, 1, 0.0}}) {
        LabelContent content;
        content.channelsPerLabel = perLabel;
        const LabelJob job = Job(sheet, MakeLabels(rows, RowsInRange(rows, 1, 8), content));
        const LabelPrint print(job);
        EXPECT_EQ(print.Unfit().size(), points > 0 ? 0 : job.labels.size()) << sheet.toStdString();
        if (points == 0)
            continue;
        EXPECT_EQ(print.PointsOf(0), points) << sheet.toStdString();
        // Every word of a label that fits lies inside its label, padding kept.
        const auto pages = Write(job);
        const QRectF slot = job.sheet.Slot(0).adjusted(kLabelPadding, 0, -kLabelPadding, 0);
        const PdfWord name = Find(pages[0], u"WWWWWWWWWWWWWWWW"_s, false);
        EXPECT_LE(name.box.right() * kMmPerPt, slot.right() + 0.1) << sheet.toStdString();
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

// The labels of a full site written as a PDF on L7163, against the floor of that work: the
// same strings at the same places in the same fonts, drawn with one QPainter on a
// QPdfWriter and saved the same way, with no fitting and no layout.

#include "bench_support.h"
#include "labels/label_renderer.h"
#include "platform/save_file.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <numeric>

namespace mr640::bench {

using namespace Qt::StringLiterals;

namespace {

LabelJob FullSiteJob()
{
    const std::vector<ChannelRow> rows = SiteRows(3072);
    std::vector<int> all(rows.size());
    std::iota(all.begin(), all.end(), 0);
    LabelJob job;
    job.sheet = *FindSheet(u"L7163"_s);
    job.labels = MakeLabels(rows, all, {});
    return job;
}

// Every page's texts drawn plainly and the PDF saved; false when it could not be.
bool PlainPdf(const std::vector<std::vector<PlacedText>>& pages, const LabelSheet& sheet, const QString& path)
{
    QByteArray content;
    {
        QBuffer buffer(&content);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(SheetPageSize(sheet));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        const double scale = writer.logicalDpiX() / 25.4;
        TextMeasure fonts;
        for (std::size_t page = 0; page < pages.size(); ++page) {
            if (page > 0)
                writer.newPage();
            double current = -1;
            for (const PlacedText& text : pages[page]) {
                if (text.points != current) {
                    painter.setFont(fonts.Font(text.points));
                    current = text.points;
                }
                painter.drawText(text.baseline * scale, text.text);
            }
        }
    }
    QString error;
    return SaveFileAtomically(path, content, &error);
}

} // namespace

void RegisterLabelPrintBenchmarks()
{
    const QString path = ScratchPath(u"labels.pdf"_s);
    Add("labels_pdf/3072", [=](State& state) {
        const LabelJob job = FullSiteJob();
        QString error;
        for (auto _ : state) {
            if (!WriteLabelsPdf(LabelPrint(job), path, &error)) {
                state.SkipWithError(qPrintable(error));
                break;
            }
        }
    });
    Add("labels_pdf_plain/3072", [=](State& state) {
        const LabelPrint print(FullSiteJob());
        std::vector<std::vector<PlacedText>> pages;
        for (int page = 0; page < print.PageCount(); ++page)
            pages.push_back(print.PageTexts(page, SheetPageShift(print.Job().sheet)));
        for (auto _ : state) {
            if (!PlainPdf(pages, print.Job().sheet, path)) {
                state.SkipWithError("the plain PDF could not be saved");
                break;
            }
        }
    });
    Compare("labels PDF of 3072 channels (768 labels, 55 pages on L7163) vs plain drawing",
            "labels_pdf/3072", "labels_pdf_plain/3072", 1.5);
}

} // namespace mr640::bench

#include "pdf_words.h"

#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace mr640::test {

using namespace Qt::StringLiterals;

namespace {

QString Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << ": " << process.errorString().toStdString()
                      << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

std::vector<std::vector<PdfWord>> ReadPdfWords(const QString& path)
{
    // pdftotext -bbox writes XHTML: <page ...> then <word xMin=".." yMin=".." xMax=".."
    // yMax="..">text</word>.
    static const QRegularExpression tag(
        uR"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    std::vector<std::vector<PdfWord>> pages;
    const QString xhtml = Run(u"pdftotext"_s, {u"-bbox"_s, path, u"-"_s});
    for (const QRegularExpressionMatch& m : tag.globalMatch(xhtml)) {
        if (m.captured(0) == u"<page "_s) {
            pages.emplace_back();
            continue;
        }
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        QString text = m.captured(5);
        text.replace(u"&amp;"_s, u"&"_s).replace(u"&lt;"_s, u"<"_s).replace(u"&gt;"_s, u">"_s);
        if (!pages.empty())
            pages.back().push_back({text, QRectF(topLeft, bottomRight)});
    }
    return pages;
}

QString PdfInfo(const QString& path)
{
    return Run(u"pdfinfo"_s, {path});
}

} // namespace mr640::test

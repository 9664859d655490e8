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
        if (!pages.empty()) // XML entities stay as they are: label words have none
            pages.back().push_back({m.captured(5), QRectF(topLeft, bottomRight)});
    }
    return pages;
}

QString PdfInfo(const QString& path)
{
    return Run(u"pdfinfo"_s, {path});
}

} // namespace mr640::test

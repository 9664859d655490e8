#pragma once

#include <QRectF>
#include <QString>
#include <vector>

namespace mr640::test {

// A word of a PDF page as poppler's pdftotext reads it: its text and its box in points
// from the page's top-left corner.
struct PdfWord
{
    QString text;
    QRectF box;
};

// The words of every page of the PDF file at path, in the order they were drawn; empty
// (and the test failed) when pdftotext could not read it.
std::vector<std::vector<PdfWord>> ReadPdfWords(const QString& path);

// What poppler's pdfinfo says of the file (its "Pages:" and "Page size:" lines).
QString PdfInfo(const QString& path);

} // namespace mr640::test

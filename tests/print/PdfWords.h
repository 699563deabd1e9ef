// Reading the words of a PDF file with their places, through poppler's pdftotext.
#pragma once

#include <QRectF>
#include <QString>

#include <vector>

namespace quire::test {

struct PdfWord {
    int Page;     // 1-based
    QString Text; // compatibility forms folded (a "ﬁ" ligature reads "fi")
    QRectF Box;   // points, from the page's top left
};

struct PdfDocument {
    QSizeF PageSize; // of the first page, points
    int PageCount = 0;
    std::vector<PdfWord> Words;

    // The words of one page in reading order, joined by blanks.
    QString PageText(int Page) const;
    // The first word on Page that is Text, or null.
    const PdfWord* Find(int Page, const QString& Text) const;
};

// Empty (PageCount 0) when the file cannot be read.
PdfDocument ReadPdf(const QString& Path);

} // namespace quire::test

// Reading the words of a PDF file.
#include "PdfWords.h"

#include <QProcess>
#include <QXmlStreamReader>

namespace quire::test {

QString PdfDocument::PageText(int Page) const {
    QStringList words;
    for (const PdfWord& w : Words)
        if (w.Page == Page) words << w.Text;
    return words.join(QLatin1Char(' '));
}

const PdfWord* PdfDocument::Find(int Page, const QString& Text) const {
    for (const PdfWord& w : Words)
        if (w.Page == Page && w.Text == Text) return &w;
    return nullptr;
}

PdfDocument ReadPdf(const QString& Path) {
    PdfDocument doc;
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), Path, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return doc;
    QXmlStreamReader xml(p.readAllStandardOutput());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const auto a = xml.attributes();
        if (xml.name() == QLatin1String("page")) {
            if (++doc.PageCount == 1)
                doc.PageSize =
                    QSizeF(a.value(QLatin1String("width")).toDouble(), a.value(QLatin1String("height")).toDouble());
        } else if (xml.name() == QLatin1String("word")) {
            const double x0 = a.value(QLatin1String("xMin")).toDouble(), y0 = a.value(QLatin1String("yMin")).toDouble();
            const double x1 = a.value(QLatin1String("xMax")).toDouble(), y1 = a.value(QLatin1String("yMax")).toDouble();
            const QString text = xml.readElementText().normalized(QString::NormalizationForm_KC);
            doc.Words.push_back({doc.PageCount, text, QRectF(QPointF(x0, y0), QPointF(x1, y1))});
        }
    }
    return doc;
}

} // namespace quire::test

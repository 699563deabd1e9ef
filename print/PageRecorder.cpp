// Drawing laid-out pages into recorded pictures.
#include "PageRecorder.h"

#include "Cp932Codec.h"
#include "MetaFileList.h"
#include "PrintProgress.h"
#include "PrintTemplate.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QPicture>
#include <QTextOption>

namespace quire {

TPageRecorder::TPageRecorder(TRecordStyle Style, const std::vector<std::string>& Lines, const TPageFrame& Frame,
                             QSize Page, TMetaFileList& Pages, TPrintProgress& Progress)
    : FStyle(std::move(Style)), FLines(Lines), FFrame(Frame), FPage(Page), FPages(Pages), FProgress(Progress),
      FFont(FStyle.Font), FColor(FStyle.Color) {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(8.0 * QFontMetrics(FFont).averageCharWidth());
    FLayout.setTextOption(option);
    FLayout.setFont(FFont);
}

TPageRecorder::~TPageRecorder() {
    if (FPainter.isActive()) FPainter.end();
}

int TPageRecorder::MeasureLine(int Index, int Width) {
    const std::string& line = FLines[static_cast<std::size_t>(Index)];
    FLayoutIndex = Index;
    if (line.empty()) {
        FLayout.clearLayout();
        FLayout.setText(QString());
        return FFrame.LineHeight;
    }
    FLayout.setText(cp932::ToDisplay(line, FStyle.CharTable));
    FLayout.beginLayout();
    int rows = 0;
    for (QTextLine row = FLayout.createLine(); row.isValid(); row = FLayout.createLine()) {
        row.setLineWidth(Width);
        row.setPosition(QPointF(0, rows * FFrame.LineHeight));
        ++rows;
    }
    FLayout.endLayout();
    return std::max(1, rows) * FFrame.LineHeight;
}

void TPageRecorder::BeginPage(int Number) {
    FPicture = &FPages.Add();
    FPainter.begin(FPicture);
    FPainter.setFont(FFont);
    FPainter.setPen(FColor);
    drawBand(FFrame.Header, FStyle.Header, FStyle.HeaderAlign, Number);
}

void TPageRecorder::EndPage(int Number) {
    drawBand(FFrame.Footer, FStyle.Footer, FStyle.FooterAlign, Number);
    FPainter.end();
    FPicture->setBoundingRect(QRect(QPoint(0, 0), FPage));
}

void TPageRecorder::drawBand(const QRect& Band, const QString& Template, TStringsPrinterHeaderAlign Align, int Number) {
    if (Align == TStringsPrinterHeaderAlign::haNone || Template.isEmpty()) return;
    int flags = Qt::AlignTop | Qt::TextSingleLine;
    switch (Align) {
    case TStringsPrinterHeaderAlign::haCenter: flags |= Qt::AlignHCenter; break;
    case TStringsPrinterHeaderAlign::haRight: flags |= Qt::AlignRight; break;
    default: flags |= Qt::AlignLeft; break;
    }
    const QString text = ExpandTemplate(Template, Number, FStyle.FileName, QDateTime::currentDateTime());
    FPainter.drawText(QRect(Band.left(), Band.top(), Band.width(), FFrame.LineHeight), flags, text);
}

void TPageRecorder::DrawLineNumber(int Index, const QRect& Rect) {
    FPainter.drawText(Rect, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
                      QString::number(Index + 1) + QLatin1Char(':'));
}

void TPageRecorder::DrawLine(int Index, const QRect& Rect) {
    if (Index != FLayoutIndex || FLayout.text().isEmpty()) return;
    FLayout.draw(&FPainter, Rect.topLeft());
}

bool TPageRecorder::Progress(int Position) { return FProgress.Step(Position); }

} // namespace quire

// TPageRecorder: draws the laid-out pages of a print into recorded pictures.
#pragma once

#include "PageLayout.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QString>
#include <QTextLayout>

#include <string>
#include <vector>

namespace quire {

class TMetaFileList;
class TOutsideCharTable;
class TPrintProgress;

// What the recorder takes from the printer's settings: the text's font and colour, and the
// header and footer with the file name their templates may name.
struct TRecordStyle {
    QFont Font;
    QColor Color;
    QString Header, Footer;
    TStringsPrinterHeaderAlign HeaderAlign = TStringsPrinterHeaderAlign::haNone;
    TStringsPrinterHeaderAlign FooterAlign = TStringsPrinterHeaderAlign::haNone;
    QString FileName;
    // The table of the printed page's characters outside code page 932 (a UTF-8 page's), so
    // that its codes print as those characters; null for other pages.
    const TOutsideCharTable* CharTable = nullptr;
};

// Lines are measured once and drawn from the same text layout. Tabs stop every 8 average
// characters; a word wider than its column is broken inside.
class TPageRecorder : public TLayoutTarget {
public:
    TPageRecorder(TRecordStyle Style, const std::vector<std::string>& Lines, const TPageFrame& Frame, QSize Page,
                  TMetaFileList& Pages, TPrintProgress& Progress);
    ~TPageRecorder() override;

    int MeasureLine(int Index, int Width) override;
    void BeginPage(int Number) override;
    void EndPage(int Number) override;
    void DrawLineNumber(int Index, const QRect& Rect) override;
    void DrawLine(int Index, const QRect& Rect) override;
    bool Progress(int Position) override;

private:
    void drawBand(const QRect& Band, const QString& Template, TStringsPrinterHeaderAlign Align, int Number);

    const TRecordStyle FStyle;
    const std::vector<std::string>& FLines;
    const TPageFrame& FFrame;
    QSize FPage;
    TMetaFileList& FPages;
    TPrintProgress& FProgress;
    QFont FFont;
    QColor FColor;
    QTextLayout FLayout;
    int FLayoutIndex = -1;
    QPainter FPainter;
    QPicture* FPicture = nullptr;
};

} // namespace quire

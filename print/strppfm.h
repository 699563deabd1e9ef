// TFormStrPreview: the preview window that shows laid-out pages one at a time.
#pragma once

#include "MetaFileList.h"
#include "PageFrame.h"

#include <QDialog>

#include <memory>

class QLabel;
class QScrollArea;
class QToolButton;

namespace quire {

enum class TPreviewZoom { FitHeight, FitWidth, Actual };

class TFormStrPreview : public QDialog {
    Q_OBJECT

public:
    // Offsets is the unprintable border around the recorded pages; ScreenToPrinter is the
    // screen's resolution divided by the printer's (the scale of "100%").
    TFormStrPreview(std::unique_ptr<TMetaFileList> Pages, const TUnprintable& Offsets, double ScreenToPrinter,
                    QWidget* Parent = nullptr);

    int PageCount() const { return FPages->Count(); }
    int CurrentPage() const noexcept { return FPage; }
    // Shows page K (0-based, limited to the pages there are) in the current zoom.
    void GoToPage(int K);
    TPreviewZoom Zoom() const noexcept { return FZoom; }
    void SetZoom(TPreviewZoom Value);
    // The size of the page image in a zoom: the whole sheet, for a scroll box of Box with
    // scroll bars of the given extents.
    static QSize ImageSize(TPreviewZoom Zoom, QSize Sheet, double ScreenToPrinter, QSize Box, int VerticalBarWidth,
                           int HorizontalBarHeight);
    QSize SheetSize() const;

    QLabel* Label1 = nullptr;
    QToolButton* FirstButton = nullptr;
    QToolButton* PriorButton = nullptr;
    QToolButton* NextButton = nullptr;
    QToolButton* LastButton = nullptr;
    QToolButton* FitHeightButton = nullptr;
    QToolButton* FitWidthButton = nullptr;
    QToolButton* ActualButton = nullptr;
    QToolButton* CloseButton = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QLabel* Image1 = nullptr;

protected:
    void resizeEvent(QResizeEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    void createToolBar();
    void drawPage();
    QToolButton* button(const QString& Name, const QString& Text, const QIcon& Icon);

    std::unique_ptr<TMetaFileList> FPages;
    TUnprintable FOffsets;
    double FScreenToPrinter;
    int FPage = 0;
    TPreviewZoom FZoom = TPreviewZoom::Actual;
};

// The preview of Pages over the main window (the outermost window of Parent), showing page
// 1 at 100 %; returns when the user closes it. The pages are freed with the window.
void ShowPreview(std::unique_ptr<TMetaFileList> Pages, const TUnprintable& Offsets, double PrinterDpi, QWidget* Parent);

} // namespace quire

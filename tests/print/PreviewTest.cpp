// The preview window: page label, buttons, zoom, and what it draws.
#include "PrintFixture.h"

#include "Printer.h"
#include "TextGenerator.h"
#include "WidgetGrab.h"
#include "strpefm.h"
#include "strppfm.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace quire;
using namespace quire::test;

namespace {

class PreviewTest : public PrintFixture {
protected:
    // The preview of Lines laid out by the fixture's printer.
    std::unique_ptr<TFormStrPreview> preview(const TPrintLines& Lines) {
        auto pages = printer->LayOut(Lines, QStringLiteral("プレビューを作成中"));
        return std::make_unique<TFormStrPreview>(std::move(pages), printer->Offsets(), 96.0 / printer->PrinterDpi());
    }
    int linesPerPage() const {
        const TPageFrame f = printer->Frame(0);
        return (f.BodyBottom() - f.BodyTop()) / f.LineHeight;
    }
};

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

} // namespace

TEST_F(PreviewTest, TheLabelShowsPageAndCountInThreePlacesAndTheButtonsFollow) {
    auto p = preview(NumberedLines(12 * linesPerPage(), "n"));
    ASSERT_EQ(p->PageCount(), 12);
    EXPECT_EQ(p->windowTitle(), QStringLiteral("Preview"));
    EXPECT_EQ(p->Label1->text(), QStringLiteral("  1 /  12"));
    EXPECT_FALSE(p->FirstButton->isEnabled());
    EXPECT_FALSE(p->PriorButton->isEnabled());
    EXPECT_TRUE(p->NextButton->isEnabled());
    p->show();
    click(p->NextButton);
    EXPECT_EQ(p->Label1->text(), QStringLiteral("  2 /  12"));
    EXPECT_TRUE(p->FirstButton->isEnabled());
    EXPECT_TRUE(p->PriorButton->isEnabled());
    click(p->LastButton);
    EXPECT_EQ(p->CurrentPage(), 11);
    EXPECT_FALSE(p->NextButton->isEnabled());
    EXPECT_FALSE(p->LastButton->isEnabled());
    p->GoToPage(40);
    EXPECT_EQ(p->CurrentPage(), 11);
    p->GoToPage(-3);
    EXPECT_EQ(p->CurrentPage(), 0);
    QTest::keyClick(p.get(), Qt::Key_PageDown);
    EXPECT_EQ(p->CurrentPage(), 1);
}

TEST_F(PreviewTest, AOnePageDocumentDisablesAllFourButtons) {
    auto p = preview({"only"});
    EXPECT_EQ(p->Label1->text(), QStringLiteral("  1 /   1"));
    for (QToolButton* b : {p->FirstButton, p->PriorButton, p->NextButton, p->LastButton}) EXPECT_FALSE(b->isEnabled());
}

TEST_F(PreviewTest, ZoomSizes) {
    const QSize sheet(9921, 14031);
    EXPECT_EQ(TFormStrPreview::ImageSize(TPreviewZoom::Actual, sheet, 96.0 / 1200, {500, 400}, 15, 15),
              QSize(794, 1122));
    EXPECT_EQ(TFormStrPreview::ImageSize(TPreviewZoom::FitWidth, sheet, 96.0 / 1200, {500, 400}, 15, 15),
              QSize(485, 686));
    EXPECT_EQ(TFormStrPreview::ImageSize(TPreviewZoom::FitHeight, sheet, 96.0 / 1200, {500, 400}, 15, 15),
              QSize(272, 385));
    EXPECT_EQ(TFormStrPreview::ImageSize(TPreviewZoom::FitWidth, QSize(0, 0), 1, {500, 400}, 15, 15), QSize(1, 1));

    auto p = preview({"zoom"});
    p->resize(700, 500);
    p->show();
    EXPECT_EQ(p->Image1->size(),
              TFormStrPreview::ImageSize(TPreviewZoom::Actual, p->SheetSize(), 96.0 / printer->PrinterDpi(), {}, 0, 0));
    click(p->FitHeightButton);
    const QSize fitted = p->Image1->size();
    EXPECT_LT(fitted.height(), p->ScrollBox1->height());
    EXPECT_GT(fitted.height(), p->ScrollBox1->height() - 40);
    // Smaller than the box across: centred.
    EXPECT_NEAR(p->Image1->x() + fitted.width() / 2, p->ScrollBox1->viewport()->width() / 2, 2);
    click(p->FitWidthButton);
    EXPECT_GT(p->Image1->width(), p->ScrollBox1->width() - 40);
    p->resize(900, 500);
    QApplication::processEvents();
    EXPECT_GT(p->Image1->width(), 900 - 60) << "a fitted page follows the window";
}

TEST_F(PreviewTest, ThePageIsDrawnAtItsPlaceOnTheSheet) {
    printer->SetHeader(QStringLiteral("%p"));
    printer->SetHeaderAlign(TStringsPrinterHeaderAlign::haRight);
    printer->SetMarginLeft(30);
    auto p = preview({"\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67", "second"});
    p->resize(900, 1200);
    const QImage shot = ShowAndGrab(*p);
    KeepShot(shot, QStringLiteral("preview.png"));
    const QImage page = p->Image1->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    // Ink in the text's place (30 mm from the left, at the top), none in the left margin.
    const double perMm = page.width() / 210.0;
    const int top = static_cast<int>(15 * perMm);
    EXPECT_TRUE(HasInk(page, QRect(int(30 * perMm), 0, int(40 * perMm), top), qRgb(255, 255, 255)));
    EXPECT_FALSE(HasInk(page, QRect(0, 0, int(28 * perMm), page.height()), qRgb(255, 255, 255)));
    // The header's page number at the right margin.
    EXPECT_TRUE(HasInk(page, QRect(page.width() - int(12 * perMm), 0, int(9 * perMm), top), qRgb(255, 255, 255)));
}

TEST_F(PreviewTest, ThePreviewButtonOfTheDialogShowsThePagesOverTheMainWindow) {
    SetUpFilePrinter(Printer());
    TPrintLines lines = NumberedLines(3, "p");
    QWidget main;
    main.setGeometry(50, 60, 640, 480);
    TFormStringsPrint d(&main);
    d.Setup(*printer, &lines);
    d.StringsPrinter1.SetProgress(&progress);
    d.show();
    QString label;
    QRect geometry;
    QTimer::singleShot(0, [&] {
        if (auto* p = qobject_cast<TFormStrPreview*>(QApplication::activeModalWidget())) {
            label = p->Label1->text();
            geometry = p->geometry();
            click(p->CloseButton);
        }
    });
    click(d.Button6);
    EXPECT_EQ(label, QStringLiteral("  1 /   1"));
    EXPECT_EQ(geometry.size(), main.geometry().size());
    EXPECT_EQ(progress.Caption, QStringLiteral("プレビューを作成中"));
}

TEST_F(PreviewTest, AGeneratedJapaneseDocumentFitsTheWindowPageByPage) {
    printer->SetColumnCount(2);
    printer->SetLineNumber(true);
    printer->SetHeader(QStringLiteral("%F  %p ページ"));
    printer->SetHeaderAlign(TStringsPrinterHeaderAlign::haRight);
    printer->SetFooter(QStringLiteral("- %p -"));
    printer->SetFooterAlign(TStringsPrinterHeaderAlign::haCenter);
    printer->SetFileName(QStringLiteral("/home/user/見本.txt"));
    printer->SetMarginLeft(15);
    printer->SetMarginTop(15);
    auto p = preview(SplitPrintLines(bench::GenerateShiftJis(20000)));
    ASSERT_GE(p->PageCount(), 3);
    p->resize(800, 900);
    p->show();
    click(p->FitHeightButton);
    click(p->NextButton);
    const QImage shot = ShowAndGrab(*p);
    KeepShot(shot, QStringLiteral("preview-japanese.png"));
    const QImage page = p->Image1->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(HasInk(
        page, page.rect().adjusted(page.width() / 10, page.height() / 10, -page.width() / 10, -page.height() / 10),
        qRgb(255, 255, 255)));
    EXPECT_EQ(p->Label1->text(), QStringLiteral("  2 / %1").arg(p->PageCount(), 3));
}

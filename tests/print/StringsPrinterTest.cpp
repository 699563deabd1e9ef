// TStringsPrinter: options, paper table, and pages printed to PDF and read back.
#include "PrintFixture.h"

#include "PlatformError.h"
#include "PropertyStream.h"

#include <QFile>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>

using namespace quire;
using namespace quire::test;

namespace {

constexpr double kTolerance = 1.5; // points

const std::string kJapanese = "\x93\xfa\x96\x7b\x8c\xea"; // 日本語 in Shift_JIS

} // namespace

TEST(StringsPrinter, SettersLimitTheirValues) {
    // Each value given to a setter of one printer, in turn, and the value its getter keeps.
    struct TLimit {
        const char* Name;
        void (TStringsPrinter::*Set)(int);
        int (TStringsPrinter::*Get)() const;
        int Given, Kept;
    };
    using P = TStringsPrinter;
    const TLimit limits[] = {
        {"ColumnCount", &P::SetColumnCount, &P::ColumnCount, 0, 1},
        {"ColumnCount", &P::SetColumnCount, &P::ColumnCount, 4, 3},
        {"MarginLeft", &P::SetMarginLeft, &P::MarginLeft, 150, 100},
        {"MarginTop", &P::SetMarginTop, &P::MarginTop, -1, 0},
        {"ColumnSpace", &P::SetColumnSpace, &P::ColumnSpace, 101, 100},
        {"FirstPageNumber", &P::SetFirstPageNumber, &P::FirstPageNumber, 0, 1},
        {"StartPage", &P::SetStartPage, &P::StartPage, 10000, 9999},
        {"LastPage", &P::SetLastPage, &P::LastPage, -3, 1},
    };
    TStringsPrinter p;
    for (const TLimit& l : limits) {
        (p.*l.Set)(l.Given);
        EXPECT_EQ((p.*l.Get)(), l.Kept) << l.Name << " given " << l.Given;
    }
    // The initial values.
    TStringsPrinter fresh;
    EXPECT_EQ(fresh.ColumnSpace(), 4);
    EXPECT_EQ(fresh.LastPage(), 9999);
    EXPECT_EQ(fresh.PageOption(), TStringsPrinterPageOption::poBoth);
    EXPECT_EQ(fresh.HeaderAlign(), TStringsPrinterHeaderAlign::haNone);
    EXPECT_EQ(TStringsPrinter::MainFormFont().pointSize(), 9);
}

namespace {

void changeEverything(TStringsPrinter& p) {
    p.SetColumnCount(3);
    p.SetColumnSpace(12);
    p.SetFileName(QStringLiteral("/tmp/メモ.txt"));
    p.SetFirstPageNumber(5);
    QFont f(QStringLiteral("IPAGothic"));
    f.setPointSize(14);
    f.setBold(true);
    f.setUnderline(true);
    p.SetFont(f);
    p.SetFontColor(0x0000FF);
    p.SetFooter(QStringLiteral("- %p -"));
    p.SetFooterAlign(TStringsPrinterHeaderAlign::haCenter);
    p.SetHeader(QStringLiteral("%F 印刷"));
    p.SetHeaderAlign(TStringsPrinterHeaderAlign::haRight);
    p.SetLastPage(7);
    p.SetLineNumber(true);
    p.SetMarginBottom(11);
    p.SetMarginLeft(22);
    p.SetMarginRight(33);
    p.SetMarginTop(44);
    p.SetPageOption(TStringsPrinterPageOption::poEven);
    p.SetRangeOption(TStringsPrinterRangeOption::roLimited);
    p.SetStartPage(2);
}

void expectSameOptions(const TStringsPrinter& a, const TStringsPrinter& b) {
    EXPECT_EQ(a.ColumnCount(), b.ColumnCount());
    EXPECT_EQ(a.ColumnSpace(), b.ColumnSpace());
    EXPECT_EQ(a.FileName(), b.FileName());
    EXPECT_EQ(a.FirstPageNumber(), b.FirstPageNumber());
    EXPECT_EQ(a.Font().family(), b.Font().family());
    EXPECT_EQ(a.Font().pointSize(), b.Font().pointSize());
    EXPECT_EQ(a.Font().bold(), b.Font().bold());
    EXPECT_EQ(a.Font().italic(), b.Font().italic());
    EXPECT_EQ(a.Font().underline(), b.Font().underline());
    EXPECT_EQ(a.FontColor(), b.FontColor());
    EXPECT_EQ(a.Footer(), b.Footer());
    EXPECT_EQ(a.FooterAlign(), b.FooterAlign());
    EXPECT_EQ(a.Header(), b.Header());
    EXPECT_EQ(a.HeaderAlign(), b.HeaderAlign());
    EXPECT_EQ(a.LastPage(), b.LastPage());
    EXPECT_EQ(a.LineNumber(), b.LineNumber());
    EXPECT_EQ(a.MarginBottom(), b.MarginBottom());
    EXPECT_EQ(a.MarginLeft(), b.MarginLeft());
    EXPECT_EQ(a.MarginRight(), b.MarginRight());
    EXPECT_EQ(a.MarginTop(), b.MarginTop());
    EXPECT_EQ(a.PageOption(), b.PageOption());
    EXPECT_EQ(a.RangeOption(), b.RangeOption());
    EXPECT_EQ(a.StartPage(), b.StartPage());
}

} // namespace

TEST(StringsPrinter, AssignAndThePropertyStreamCarryEveryOption) {
    TStringsPrinter changed;
    changeEverything(changed);
    TStringsPrinter assigned;
    assigned.Assign(changed);
    expectSameOptions(assigned, changed);

    const std::optional<TStreamedObject> object = ReadPropertyStream(changed.WriteProperties());
    ASSERT_TRUE(object);
    EXPECT_EQ(object->ClassName, QStringLiteral("TStringsPrinter"));
    TStringsPrinter read;
    read.ReadProperties(*object);
    expectSameOptions(read, changed);
    // Font sizes survive the pixel height they are kept as.
    for (int points = 6; points <= 30; ++points) {
        QFont f = read.Font();
        f.setPointSize(points);
        changed.SetFont(f);
        read.ReadProperties(*ReadPropertyStream(changed.WriteProperties()));
        EXPECT_EQ(read.Font().pointSize(), points);
    }
}

TEST(StringsPrinter, UnknownAndIllTypedPropertiesAreSkipped) {
    TPropertyWriter w(QStringLiteral("TStringsPrinter"), QStringLiteral("StringsPrinter1"));
    w.WriteInteger(QStringLiteral("Unknown"), 3);
    w.WriteString(QStringLiteral("ColumnCount"), QStringLiteral("2"));         // wrong type
    w.WriteIdent(QStringLiteral("HeaderAlign"), QStringLiteral("haSideways")); // no such value
    w.WriteInteger(QStringLiteral("MarginLeft"), 500);                         // limited like the setter
    w.WriteIdent(QStringLiteral("PageOption"), QStringLiteral("poOdd"));
    TStringsPrinter p;
    p.ReadProperties(*ReadPropertyStream(w.Finish()));
    EXPECT_EQ(p.ColumnCount(), 1);
    EXPECT_EQ(p.HeaderAlign(), TStringsPrinterHeaderAlign::haNone);
    EXPECT_EQ(p.MarginLeft(), 100);
    EXPECT_EQ(p.PageOption(), TStringsPrinterPageOption::poOdd);
}

TEST(PaperTable, TellingRowsAndTheBounds) {
    struct Row {
        int Code;
        const char* Name;
        int W, H;
    };
    for (const Row& r :
         {Row{1, "DMPAPER_LETTER", 216, 279}, Row{8, "DMPAPER_A3", 297, 420}, Row{9, "DMPAPER_A4", 210, 297},
          Row{11, "DMPAPER_A5", 148, 210}, Row{12, "DMPAPER_B4", 250, 354}, Row{13, "DMPAPER_B5", 182, 257},
          Row{43, "DMPAPER_JAPANESE_POSTCARD", 100, 148}, Row{66, "DMPAPER_A2", 420, 594},
          Row{68, "DMPAPER_A3_EXTRA_TRANSVERSE", 322, 445}}) {
        const TPaperKind* k = TStringsPrinterInfo::PaperKind(r.Code);
        ASSERT_NE(k, nullptr) << r.Code;
        EXPECT_STREQ(k->Name, r.Name);
        EXPECT_EQ(k->Width, r.W) << r.Name;
        EXPECT_EQ(k->Height, r.H) << r.Name;
    }
    EXPECT_STREQ(TStringsPrinterInfo::PaperKind(48)->Name, "DMPAPER_RESERVED_48");
    EXPECT_STREQ(TStringsPrinterInfo::PaperKind(49)->Name, "DMPAPER_RESERVED_49");
    EXPECT_EQ(TStringsPrinterInfo::PaperKind(0), nullptr);
    EXPECT_EQ(TStringsPrinterInfo::PaperKind(69), nullptr);
    for (int code = 1; code <= 68; ++code) {
        const TPaperKind* k = TStringsPrinterInfo::PaperKind(code);
        if (code == 48 || code == 49) continue;
        EXPECT_LE(k->Width, k->Height) << k->Name << " is kept portrait";
        EXPECT_GT(k->Width, 0) << k->Name;
    }
}

TEST_F(PrintFixture, ThePrinterReportsItsPaperAndItsUnprintableBorder) {
    const TStringsPrinterInfo& info = printer->PrinterInfo();
    EXPECT_EQ(info.PaperName(), QStringLiteral("DMPAPER_A4"));
    EXPECT_EQ(info.PaperSize(), QSize(210, 297));
    // A4 with Qt's border of 10 points on each side.
    const int border = static_cast<int>(10 * device.resolution() / 72.0);
    const TUnprintable u = printer->Offsets();
    EXPECT_NEAR(u.Left, border, 4);
    EXPECT_NEAR(u.Right, border, 4);
    EXPECT_NEAR(u.Top, border, 4);
    EXPECT_NEAR(u.Bottom, border, 4);
    device.setPageOrientation(QPageLayout::Landscape);
    EXPECT_NEAR(printer->Offsets().Left, border, 4) << "the paper turns with the page";
    device.setPageSize(QPageSize(QPageSize::JisB5));
    EXPECT_EQ(info.PaperName(), QStringLiteral("DMPAPER_B5"));
    device.setPageSize(QPageSize(QSizeF(123, 45), QPageSize::Millimeter));
    EXPECT_EQ(info.PaperName(), QString());
    const TUnprintable none = printer->Offsets();
    EXPECT_EQ(none.Left + none.Top + none.Right + none.Bottom, 0) << "an unknown paper has no border";
}

TEST_F(PrintFixture, AnEmptyDocumentPrintsOnePageWithHeaderAndFooterWhereTheLayoutPutsThem) {
    printer->SetHeader(QStringLiteral("HEAD-%p"));
    printer->SetHeaderAlign(TStringsPrinterHeaderAlign::haLeft);
    printer->SetFooter(QStringLiteral("FOOT-%p"));
    printer->SetFooterAlign(TStringsPrinterHeaderAlign::haRight);
    printer->SetMarginTop(20);
    printer->SetMarginBottom(15);
    printer->SetMarginLeft(25);
    printer->SetMarginRight(30);
    const PdfDocument doc = print({});
    ASSERT_EQ(doc.PageCount, 1);
    EXPECT_EQ(doc.PageText(1), QStringLiteral("HEAD-1 FOOT-1"));
    const TPageFrame f = printer->Frame(0);
    const PdfWord* head = doc.Find(1, QStringLiteral("HEAD-1"));
    const PdfWord* foot = doc.Find(1, QStringLiteral("FOOT-1"));
    ASSERT_TRUE(head && foot);
    const double mm = 72 / 25.4;
    EXPECT_NEAR(head->Box.left(), 25 * mm, kTolerance);
    EXPECT_NEAR(head->Box.top(), 20 * mm, kTolerance);
    EXPECT_NEAR(foot->Box.right(), doc.PageSize.width() - 30 * mm, kTolerance);
    EXPECT_NEAR(foot->Box.top(), y(f.Footer.top()), kTolerance);
    EXPECT_LT(foot->Box.bottom(), doc.PageSize.height() - 15 * mm + kTolerance);
    EXPECT_GT(foot->Box.bottom(), doc.PageSize.height() - 15 * mm - points(f.LineHeight));
    // The text is drawn at the font's size: 9 points.
    EXPECT_NEAR(head->Box.height(), 9, 1.5);
}

TEST_F(PrintFixture, AHeaderOfTheFileNameAndPageNumberOnAThreePageDocument) {
    printer->SetHeader(QStringLiteral("%F %p"));
    printer->SetHeaderAlign(TStringsPrinterHeaderAlign::haCenter);
    printer->SetFileName(dir.filePath(QStringLiteral("memo.txt")));
    const TPageFrame f = printer->Frame(0);
    const int perPage = (f.BodyBottom() - f.BodyTop()) / f.LineHeight;
    const PdfDocument doc = print(NumberedLines(2 * perPage + 1, "row"));
    ASSERT_EQ(doc.PageCount, 3);
    for (int page = 1; page <= 3; ++page) {
        const PdfWord* name = doc.Find(page, QStringLiteral("memo.txt"));
        ASSERT_TRUE(name) << page;
        EXPECT_FALSE(doc.PageText(page).contains(dir.path())) << "no folder in %F";
        EXPECT_TRUE(doc.PageText(page).startsWith(QStringLiteral("memo.txt %1 row").arg(page)))
            << doc.PageText(page).left(40).toStdString();
        // Centred over the text area.
        EXPECT_NEAR(name->Box.left() - x(f.Area.left()),
                    x(f.Area.left() + f.Area.width()) - doc.Find(page, QString::number(page))->Box.right(),
                    2 * kTolerance);
    }
    EXPECT_TRUE(doc.Find(2, QStringLiteral("row") + QString::number(perPage + 1)));
    EXPECT_TRUE(doc.Find(3, QStringLiteral("row") + QString::number(2 * perPage + 1)));
}

TEST_F(PrintFixture, ThreeColumnsWithLineNumbersContinueAcrossColumnsAndPages) {
    printer->SetColumnCount(3);
    printer->SetLineNumber(true);
    const TPageFrame f = printer->Frame(400);
    const int perColumn = (f.BodyBottom() - f.BodyTop()) / f.LineHeight;
    const int perPage = 3 * perColumn;
    ASSERT_LT(perPage, 400);
    // The text touches its number ("12:text"); a leading blank keeps them two words here.
    const int blank = QFontMetrics(printer->PrinterFont()).horizontalAdvance(QLatin1Char(' '));
    const PdfDocument doc = print(NumberedLines(400, " L"));
    EXPECT_EQ(doc.PageCount, (400 + perPage - 1) / perPage);
    struct Probe {
        int Line; // 1-based
        int Page, Column, Row;
    };
    for (const Probe& p :
         {Probe{1, 1, 1, 0}, Probe{perColumn, 1, 1, perColumn - 1}, Probe{perColumn + 1, 1, 2, 0},
          Probe{2 * perColumn + 1, 1, 3, 0}, Probe{perPage + 1, 2, 1, 0}, Probe{perPage + perColumn + 2, 2, 2, 1}}) {
        const PdfWord* text = doc.Find(p.Page, QStringLiteral("L%1").arg(p.Line));
        const PdfWord* number = doc.Find(p.Page, QStringLiteral("%1:").arg(p.Line));
        ASSERT_TRUE(text && number) << "line " << p.Line;
        EXPECT_NEAR(text->Box.left(), x(f.TextColumn(p.Column).left() + blank), kTolerance) << "line " << p.Line;
        EXPECT_NEAR(text->Box.top(), y(f.BodyTop() + p.Row * f.LineHeight), kTolerance) << "line " << p.Line;
        // The number is right-aligned in the column's own number column.
        EXPECT_NEAR(number->Box.right(), x(f.NumberColumn(p.Column).right() + 1), kTolerance) << "line " << p.Line;
        EXPECT_NEAR(number->Box.top(), text->Box.top(), 0.5) << "line " << p.Line;
    }
}

TEST_F(PrintFixture, LongLinesWrapInsideTheirColumnAndTabsExpand) {
    printer->SetColumnCount(2);
    std::string japanese;
    for (int i = 0; i < 80; ++i) japanese += kJapanese;
    const TPrintLines lines = {std::string(400, 'x'), japanese, "a\tb", "after"};
    const TPageFrame f = printer->Frame(4);
    const PdfDocument doc = print(lines);
    ASSERT_EQ(doc.PageCount, 1);
    const double right = x(f.TextColumn(1).right() + 1);
    int rows = 0;
    for (const PdfWord& w : doc.Words) {
        EXPECT_LE(w.Box.right(), right + 0.5) << w.Text.toStdString();
        if (w.Text.startsWith(QLatin1Char('x'))) ++rows;
    }
    EXPECT_GE(rows, 3) << "a word wider than the column is broken inside";
    EXPECT_TRUE(doc.PageText(1).contains(QStringLiteral("日本語日本語")));
    const PdfWord* a = doc.Find(1, QStringLiteral("a"));
    const PdfWord* b = doc.Find(1, QStringLiteral("b"));
    ASSERT_TRUE(a && b);
    EXPECT_NEAR(b->Box.left() - x(f.TextColumn(1).left()),
                points(8 * QFontMetrics(printer->PrinterFont()).averageCharWidth()), kTolerance);
    // The line after the wrapped ones starts below all of them.
    EXPECT_GT(doc.Find(1, QStringLiteral("after"))->Box.top(), a->Box.top());
}

TEST_F(PrintFixture, OddPagesOnlyAndALimitedRange) {
    printer->SetHeader(QStringLiteral("P%p"));
    printer->SetHeaderAlign(TStringsPrinterHeaderAlign::haLeft);
    const TPageFrame f = printer->Frame(0);
    const int perPage = (f.BodyBottom() - f.BodyTop()) / f.LineHeight;
    const TPrintLines five = NumberedLines(5 * perPage, "t");
    printer->SetPageOption(TStringsPrinterPageOption::poOdd);
    PdfDocument doc = print(five, QStringLiteral("odd.pdf"));
    ASSERT_EQ(doc.PageCount, 3) << "no blank sheet after the last printed page";
    EXPECT_TRUE(doc.PageText(1).startsWith(QStringLiteral("P1 t1 ")));
    EXPECT_TRUE(doc.PageText(2).startsWith(QStringLiteral("P3 ")));
    EXPECT_TRUE(doc.PageText(3).startsWith(QStringLiteral("P5 ")));
    EXPECT_EQ(printer->PrintedPageCount(), 3);

    printer->SetPageOption(TStringsPrinterPageOption::poBoth);
    printer->SetRangeOption(TStringsPrinterRangeOption::roLimited);
    printer->SetStartPage(2);
    printer->SetLastPage(3);
    doc = print(five, QStringLiteral("range.pdf"));
    ASSERT_EQ(doc.PageCount, 2);
    EXPECT_TRUE(doc.PageText(1).startsWith(QStringLiteral("P1 t%1 ").arg(perPage + 1)))
        << doc.PageText(1).left(30).toStdString();
    EXPECT_TRUE(doc.PageText(2).startsWith(QStringLiteral("P2 t%1 ").arg(2 * perPage + 1)));
}

TEST_F(PrintFixture, MarginsInsideTheBorderPrintAtThePrintableEdge) {
    printer->SetMarginLeft(2); // Qt's PDF border is 10 points, 3.5 mm
    printer->SetMarginTop(1);
    PdfDocument doc = print({"edge"}, QStringLiteral("edge.pdf"));
    const QRectF printable = device.pageLayout().paintRect(QPageLayout::Point);
    ASSERT_TRUE(doc.Find(1, QStringLiteral("edge")));
    EXPECT_NEAR(doc.Find(1, QStringLiteral("edge"))->Box.left(), printable.left(), kTolerance);
    EXPECT_NEAR(doc.Find(1, QStringLiteral("edge"))->Box.top(), printable.top(), kTolerance);
    printer->SetMarginLeft(30);
    doc = print({"inside"}, QStringLiteral("inside.pdf"));
    ASSERT_TRUE(doc.Find(1, QStringLiteral("inside")));
    EXPECT_NEAR(doc.Find(1, QStringLiteral("inside"))->Box.left(), 30 * 72 / 25.4, kTolerance);
}

TEST_F(PrintFixture, ACancelledLayoutPrintsNothingAndLeavesAnExistingFileAlone) {
    {
        QFile old(pdf());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    device.setOutputFileName(pdf());
    progress.CancelAt = 3;
    EXPECT_FALSE(printer->Print(NumberedLines(10, "c")));
    EXPECT_EQ(progress.Steps, 4);
    EXPECT_EQ(progress.Caption, QStringLiteral("印刷中"));
    QFile old(pdf());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old contents"));
}

TEST_F(PrintFixture, AFileThatCannotBeWrittenIsReportedAndNoPagesInTheRangeWriteNothing) {
    device.setOutputFileName(dir.filePath(QStringLiteral("no/such/folder/out.pdf")));
    EXPECT_THROW(printer->Print({"x"}), EPlatformError);
    device.setOutputFileName(pdf());
    printer->SetRangeOption(TStringsPrinterRangeOption::roLimited);
    printer->SetStartPage(5);
    EXPECT_TRUE(printer->Print({"x"}));
    EXPECT_EQ(printer->PrintedPageCount(), 0);
    EXPECT_FALSE(QFile::exists(pdf()));
}

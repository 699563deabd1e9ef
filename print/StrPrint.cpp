// TStringsPrinter: options, layout into recorded pages, printing of the selected pages.
#include "StrPrint.h"

#include "PageRecorder.h"
#include "PlatformError.h"
#include "PrintProgress.h"
#include "Printer.h"
#include "PropertyStream.h"
#include "ShiftJis.h"
#include "StrPprog.h"
#include "strppfm.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <limits>

namespace quire {

namespace {

constexpr int kMaxFontPoints = 400;

// Stores the value limited to Low..High, when it differs from the current one.
void setClamped(int& Field, int Value, int Low, int High) {
    if (Value != Field) Field = std::clamp(Value, Low, High);
}

// Sets a printer to the replay resolution and its painter's origin to the paper's corner
// for one print, and back.
class ReplayDevice {
public:
    explicit ReplayDevice(QPrinter& p) : p_(p), resolution_(p.resolution()), fullPage_(p.fullPage()) {
        p_.setResolution(TMetaFileList::ReplayDpi);
        p_.setFullPage(true);
    }
    ~ReplayDevice() {
        p_.setFullPage(fullPage_);
        p_.setResolution(resolution_);
    }
    ReplayDevice(const ReplayDevice&) = delete;
    ReplayDevice& operator=(const ReplayDevice&) = delete;

private:
    QPrinter& p_;
    int resolution_;
    bool fullPage_;
};

// The printable page of Layout in replay pixels from the paper's corner, exactly (the
// printer's own page is in whole pixels).
QRectF replayPage(const QPageLayout& Layout) {
    const QRectF points = Layout.paintRect(QPageLayout::Point);
    const double k = TMetaFileList::ReplayDpi / 72.0;
    return QRectF(points.x() * k, points.y() * k, points.width() * k, points.height() * k);
}

} // namespace

TPrintLines SplitPrintLines(std::string_view Text) {
    const std::vector<std::string_view> lines = sjis::SplitLines(Text);
    return TPrintLines(lines.begin(), lines.end());
}

TStringsPrinter::TStringsPrinter(QObject* Owner, QPrinter* Printer) : QObject(Owner), FInfo(Printer) {
    SetFont(QGuiApplication::font());
    setObjectName(QStringLiteral("StringsPrinter1"));
}

QFont TStringsPrinter::MainFormFont() {
    QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
    f.setPointSize(9);
    return f;
}

void TStringsPrinter::Assign(const TStringsPrinter& Source) {
    if (&Source == this) return;
    FColumnCount = Source.FColumnCount;
    FColumnSpace = Source.FColumnSpace;
    FFileName = Source.FFileName;
    FCharTable = Source.FCharTable; // the print dialog's copy draws the page's own characters
    FFont = Source.FFont;
    FFontColor = Source.FFontColor;
    FFooter = Source.FFooter;
    FFooterAlign = Source.FFooterAlign;
    FHeader = Source.FHeader;
    FHeaderAlign = Source.FHeaderAlign;
    FLineNumber = Source.FLineNumber;
    FMarginBottom = Source.FMarginBottom;
    FMarginLeft = Source.FMarginLeft;
    FMarginRight = Source.FMarginRight;
    FMarginTop = Source.FMarginTop;
    FSelection = Source.FSelection;
}

void TStringsPrinter::SetColumnCount(int Value) { setClamped(FColumnCount, Value, 1, 3); }
void TStringsPrinter::SetColumnSpace(int Value) { setClamped(FColumnSpace, Value, 0, 100); }
void TStringsPrinter::SetFirstPageNumber(int Value) { setClamped(FSelection.FirstPageNumber, Value, 1, 9999); }
void TStringsPrinter::SetLastPage(int Value) { setClamped(FSelection.LastPage, Value, 1, 9999); }
void TStringsPrinter::SetStartPage(int Value) { setClamped(FSelection.StartPage, Value, 1, 9999); }
void TStringsPrinter::SetMarginBottom(int Value) { setClamped(FMarginBottom, Value, 0, 100); }
void TStringsPrinter::SetMarginLeft(int Value) { setClamped(FMarginLeft, Value, 0, 100); }
void TStringsPrinter::SetMarginRight(int Value) { setClamped(FMarginRight, Value, 0, 100); }
void TStringsPrinter::SetMarginTop(int Value) { setClamped(FMarginTop, Value, 0, 100); }

void TStringsPrinter::SetFont(const QFont& Value) {
    FFont = Value;
    // A size kept in pixels, or none, prints at 9 points; absurd sizes are limited.
    if (FFont.pointSize() <= 0) FFont.setPointSize(9);
    if (FFont.pointSize() > kMaxFontPoints) FFont.setPointSize(kMaxFontPoints);
}

// --- layout --------------------------------------------------------------------------

int TStringsPrinter::PrinterDpi() const { return Printer().resolution(); }

QFont TStringsPrinter::PrinterFont() const {
    QFont f(FFont);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(FFont.pointSizeF() * PrinterDpi() / 72.0))));
    return f;
}

TUnprintable TStringsPrinter::Offsets() const {
    const QPrinter& p = Printer();
    const int dpi = PrinterDpi();
    const QSize mm = FInfo.PaperSize();
    QSize paper(MmToPixels(dpi, mm.width()), MmToPixels(dpi, mm.height()));
    if (p.pageLayout().orientation() == QPageLayout::Landscape) paper.transpose();
    return UnprintableOffsets(paper, QSize(p.width(), p.height()));
}

TPageFrame TStringsPrinter::Frame(int LineCount) const {
    const QFontMetrics metrics(PrinterFont());
    TFrameInput in;
    in.Page = QSize(Printer().width(), Printer().height());
    in.Offsets = Offsets();
    in.Dpi = PrinterDpi();
    in.MarginLeft = FMarginLeft;
    in.MarginTop = FMarginTop;
    in.MarginRight = FMarginRight;
    in.MarginBottom = FMarginBottom;
    in.ColumnCount = FColumnCount;
    in.ColumnSpace = FColumnSpace;
    in.LineNumber = FLineNumber;
    in.HasHeader = FHeaderAlign != TStringsPrinterHeaderAlign::haNone && !FHeader.isEmpty();
    in.HasFooter = FFooterAlign != TStringsPrinterHeaderAlign::haNone && !FFooter.isEmpty();
    in.LineHeight = std::max(1, metrics.height() + metrics.leading());
    in.CharWidth = metrics.averageCharWidth();
    in.LineCount = LineCount;
    return ComputePageFrame(in);
}

std::unique_ptr<TMetaFileList> TStringsPrinter::LayOut(const TPrintLines& Lines, const QString& Caption,
                                                       QWidget* Parent) {
    const int count = static_cast<int>(std::min<std::size_t>(Lines.size(), std::numeric_limits<int>::max()));
    const TPageFrame frame = Frame(count);
    auto pages = std::make_unique<TMetaFileList>();
    std::unique_ptr<TFormStrProgress> window;
    if (!FProgress) window = std::make_unique<TFormStrProgress>(Parent);
    TPrintProgress& progress = FProgress ? *FProgress : *window;
    progress.Start(Caption, Parent);
    struct FinishGuard {
        TPrintProgress& p;
        ~FinishGuard() { p.Finish(); }
    } finish{progress};
    TRecordStyle style;
    style.Font = PrinterFont();
    style.Color = FontColor() & 0x80000000u ? QColor(Qt::black) // a system colour prints black
                                            : QColor(int(FontColor() & 0xFF), int((FontColor() >> 8) & 0xFF),
                                                     int((FontColor() >> 16) & 0xFF));
    style.Header = Header();
    style.Footer = Footer();
    style.HeaderAlign = HeaderAlign();
    style.FooterAlign = FooterAlign();
    style.FileName = FileName();
    style.CharTable = CharTable();
    TPageRecorder recorder(std::move(style), Lines, frame, QSize(Printer().width(), Printer().height()), *pages,
                           progress);
    if (!LayOutPages(count, frame, FColumnCount, FLineNumber, FirstLayoutNumber(), recorder)) return nullptr;
    return pages;
}

// --- printing ------------------------------------------------------------------------

bool TStringsPrinter::Print(const TPrintLines& Lines, QWidget* Parent) {
    FPrintedPageCount = 0;
    const std::unique_ptr<TMetaFileList> pages = LayOut(Lines, QStringLiteral("印刷中"), Parent);
    if (!pages) return false;
    FPrintedPageCount = PrintPages(*pages);
    return true;
}

bool TStringsPrinter::Preview(const TPrintLines& Lines, QWidget* Parent) {
    std::unique_ptr<TMetaFileList> pages = LayOut(Lines, QStringLiteral("プレビューを作成中"), Parent);
    if (!pages) return false;
    ShowPreview(std::move(pages), Offsets(), PrinterDpi(), Parent);
    return true;
}

int TStringsPrinter::PrintPages(const TMetaFileList& Pages) {
    const std::vector<int> selected = FSelection.PagesToPrint(Pages.Count());
    if (selected.empty()) return 0;
    QPrinter& printer = Printer();
    if (IsFilePrinter(printer)) {
        printToPdf(Pages, selected);
    } else {
        printer.setDocName(QFileInfo(FFileName).fileName());
        const QRectF target = replayPage(printer.pageLayout());
        const ReplayDevice replay(printer);
        paintPages(printer, target, Pages, selected);
    }
    return static_cast<int>(selected.size());
}

// Each selected page's picture stretched onto the whole printable page (Target); a new
// sheet only between printed pages, so that pages left out at the end leave no blank sheet.
void TStringsPrinter::paintPages(QPagedPaintDevice& Device, const QRectF& Target, const TMetaFileList& Pages,
                                 const std::vector<int>& Selected) {
    QPainter painter;
    if (!painter.begin(&Device)) throw EPlatformError("印刷を開始できません。");
    for (std::size_t k = 0; k < Selected.size(); ++k) {
        if (k > 0) Device.newPage();
        const QPicture& page = Pages.Items(Selected[k]);
        painter.save();
        painter.translate(Target.topLeft());
        if (page.width() > 0 && page.height() > 0)
            painter.scale(Target.width() / page.width(), Target.height() / page.height());
        painter.drawPicture(0, 0, page);
        painter.restore();
    }
    if (!painter.end()) throw EPlatformError("印刷を終了できません。");
}

// A PDF file printer writes through a temporary file that replaces the chosen one only when
// the whole document is written, so that a failure leaves an existing file as it was.
void TStringsPrinter::printToPdf(const TMetaFileList& Pages, const std::vector<int>& Selected) {
    const QPrinter& printer = Printer();
    const QString name = printer.outputFileName();
    const auto fail = [&name](const QString& why) {
        return EPlatformError(QStringLiteral("PDF ファイル \"%1\" を書き込めません: %2").arg(name, why).toStdString());
    };
    if (name.isEmpty()) throw fail(QStringLiteral("ファイル名がありません。"));
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) throw fail(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setResolution(TMetaFileList::ReplayDpi);
        QPageLayout fullPage = printer.pageLayout();
        fullPage.setMode(QPageLayout::FullPageMode);
        writer.setPageLayout(fullPage);
        writer.setTitle(QFileInfo(FFileName).fileName());
        writer.setCreator(QStringLiteral("Quire"));
        paintPages(writer, replayPage(printer.pageLayout()), Pages, Selected);
    }
    if (!file.flush() || file.error() != QFileDevice::NoError) throw fail(file.errorString());
    if (!file.commit()) throw fail(file.errorString());
}

} // namespace quire

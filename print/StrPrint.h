// TStringsPrinter: prints a list of text lines in one font, in up to three columns, with
// line numbers, a header and a footer; lays every page out first as a recorded picture.
#pragma once

#include "MetaFileList.h"
#include "PageLayout.h"
#include "StrPrintInfo.h"

#include <QFont>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QWidget;
class QPagedPaintDevice;
class QRectF;

namespace quire {

class TPrintProgress;
class TOutsideCharTable;
class TPropertyWriter;
struct TStreamedObject;

// The lines to print, Shift_JIS, one string per line.
using TPrintLines = std::vector<std::string>;

// The lines of a text, split at CR LF, CR and LF as the editor splits them.
TPrintLines SplitPrintLines(std::string_view Text);

class TStringsPrinter : public QObject {
public:
    // Printer is the printer used (not owned); null means the process's printer.
    explicit TStringsPrinter(QObject* Owner = nullptr, QPrinter* Printer = nullptr);

    // The font the main window's printer starts with: "ＭＳ Ｐゴシック", 9 points.
    static QFont MainFormFont();

    // Copies every option below and the character table (not the printer used).
    void Assign(const TStringsPrinter& Source);

    int ColumnCount() const noexcept { return FColumnCount; }
    void SetColumnCount(int Value); // 1..3
    int ColumnSpace() const noexcept { return FColumnSpace; }
    void SetColumnSpace(int Value); // 0..100 mm
    const QString& FileName() const noexcept { return FFileName; }
    void SetFileName(const QString& Value) { FFileName = Value; }
    // The table of the printed text's characters outside code page 932 (a UTF-8 page's); it
    // must live while the text is laid out and printed.
    const TOutsideCharTable* CharTable() const noexcept { return FCharTable; }
    void SetCharTable(const TOutsideCharTable* Value) noexcept { FCharTable = Value; }
    int FirstPageNumber() const noexcept { return FSelection.FirstPageNumber; }
    void SetFirstPageNumber(int Value); // 1..9999
    // Name, size in points, bold, italic, underline and strike-out.
    const QFont& Font() const noexcept { return FFont; }
    void SetFont(const QFont& Value);
    // 0x00BBGGRR; a system colour (high bit set) prints black.
    std::uint32_t FontColor() const noexcept { return FFontColor; }
    void SetFontColor(std::uint32_t Value) { FFontColor = Value; }
    const QString& Footer() const noexcept { return FFooter; }
    void SetFooter(const QString& Value) { FFooter = Value; }
    TStringsPrinterHeaderAlign FooterAlign() const noexcept { return FFooterAlign; }
    void SetFooterAlign(TStringsPrinterHeaderAlign Value) { FFooterAlign = Value; }
    const QString& Header() const noexcept { return FHeader; }
    void SetHeader(const QString& Value) { FHeader = Value; }
    TStringsPrinterHeaderAlign HeaderAlign() const noexcept { return FHeaderAlign; }
    void SetHeaderAlign(TStringsPrinterHeaderAlign Value) { FHeaderAlign = Value; }
    int LastPage() const noexcept { return FSelection.LastPage; }
    void SetLastPage(int Value); // 1..9999
    bool LineNumber() const noexcept { return FLineNumber; }
    void SetLineNumber(bool Value) { FLineNumber = Value; }
    int MarginBottom() const noexcept { return FMarginBottom; }
    void SetMarginBottom(int Value); // 0..100 mm, from the paper's edge
    int MarginLeft() const noexcept { return FMarginLeft; }
    void SetMarginLeft(int Value);
    int MarginRight() const noexcept { return FMarginRight; }
    void SetMarginRight(int Value);
    int MarginTop() const noexcept { return FMarginTop; }
    void SetMarginTop(int Value);
    TStringsPrinterPageOption PageOption() const noexcept { return FSelection.PageOption; }
    void SetPageOption(TStringsPrinterPageOption Value) { FSelection.PageOption = Value; }
    TStringsPrinterRangeOption RangeOption() const noexcept { return FSelection.RangeOption; }
    void SetRangeOption(TStringsPrinterRangeOption Value) { FSelection.RangeOption = Value; }
    int StartPage() const noexcept { return FSelection.StartPage; }
    void SetStartPage(int Value); // 1..9999

    const TStringsPrinterInfo& PrinterInfo() const noexcept { return FInfo; }
    QPrinter& Printer() const { return FInfo.Printer(); }
    void SetPrinter(QPrinter* Value) { FInfo.SetPrinter(Value); }

    // The progress shown while laying out (not owned); null shows the progress window.
    void SetProgress(TPrintProgress* Value) noexcept { FProgress = Value; }

    // Lays out all pages ("印刷中") and prints the selected ones. False when the user
    // cancelled the layout (nothing is printed). Raises EPlatformError when the printer or
    // the PDF file cannot be written (an existing PDF file is then left as it was).
    bool Print(const TPrintLines& Lines, QWidget* Parent = nullptr);
    // Lays out all pages ("プレビューを作成中") and shows them in the preview window;
    // false when cancelled.
    bool Preview(const TPrintLines& Lines, QWidget* Parent = nullptr);
    // The pages printed by the last Print (0 when the range or odd/even choice left none).
    int PrintedPageCount() const noexcept { return FPrintedPageCount; }

    // The steps of Print and Preview, for tests. LayOut gives null when cancelled.
    std::unique_ptr<TMetaFileList> LayOut(const TPrintLines& Lines, const QString& Caption, QWidget* Parent = nullptr);
    TUnprintable Offsets() const;
    TPageFrame Frame(int LineCount) const;
    // The font as it is drawn on the printer: its pixel size at the printer's resolution.
    QFont PrinterFont() const;
    // The printer's horizontal resolution in dots per inch.
    int PrinterDpi() const;
    // Prints the selected pages of Pages; returns how many were printed.
    int PrintPages(const TMetaFileList& Pages);
    // The number the layout gives to the first page.
    int FirstLayoutNumber() const noexcept { return FSelection.FirstLayoutNumber(); }

    // The options as a property stream, and back. ReadProperties applies the properties it
    // knows and leaves the others unchanged.
    QByteArray WriteProperties() const;
    void ReadProperties(const TStreamedObject& Object);

private:
    void paintPages(QPagedPaintDevice& Device, const QRectF& Target, const TMetaFileList& Pages,
                    const std::vector<int>& Selected);
    void printToPdf(const TMetaFileList& Pages, const std::vector<int>& Selected);

    TStringsPrinterInfo FInfo;
    int FColumnCount = 1;
    int FColumnSpace = 4;
    QString FFileName;
    const TOutsideCharTable* FCharTable = nullptr;
    QFont FFont;
    std::uint32_t FFontColor = 0;
    QString FFooter;
    TStringsPrinterHeaderAlign FFooterAlign = TStringsPrinterHeaderAlign::haNone;
    QString FHeader;
    TStringsPrinterHeaderAlign FHeaderAlign = TStringsPrinterHeaderAlign::haNone;
    bool FLineNumber = false;
    int FMarginBottom = 0, FMarginLeft = 0, FMarginRight = 0, FMarginTop = 0;
    TPageSelection FSelection;
    TPrintProgress* FProgress = nullptr;
    int FPrintedPageCount = 0;
};

} // namespace quire

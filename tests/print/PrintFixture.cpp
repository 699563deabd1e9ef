// The printing test fixture.
#include "PrintFixture.h"

#include "Fonts.h"
#include "Printer.h"

#include <QImage>
#include <QPageLayout>

namespace quire::test {

void PrintFixture::SetUp() {
    InstallFontSubstitutions();
    SetUpFilePrinter(device);
    printer = std::make_unique<TStringsPrinter>(nullptr, &device);
    printer->SetFont(TStringsPrinter::MainFormFont());
    printer->SetProgress(&progress);
}

PdfDocument PrintFixture::print(const TPrintLines& Lines, const QString& Name) {
    device.setOutputFileName(pdf(Name));
    EXPECT_TRUE(printer->Print(Lines));
    return ReadPdf(pdf(Name));
}

double PrintFixture::points(int Px) const { return Px * 72.0 / device.resolution(); }
double PrintFixture::x(int Px) const { return device.pageLayout().paintRect(QPageLayout::Point).left() + points(Px); }
double PrintFixture::y(int Px) const { return device.pageLayout().paintRect(QPageLayout::Point).top() + points(Px); }

void KeepShot(const QImage& Image, const QString& Name) {
    const QString folder = qEnvironmentVariable("QUIRE_SHOTS");
    if (!folder.isEmpty()) Image.save(folder + QLatin1Char('/') + Name);
}

TPrintLines NumberedLines(int N, const std::string& Prefix) {
    TPrintLines lines;
    for (int i = 1; i <= N; ++i) lines.push_back(Prefix + std::to_string(i));
    return lines;
}

} // namespace quire::test

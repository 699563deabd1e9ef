// A TStringsPrinter on a PDF file printer of its own, for tests that print and read back.
#pragma once

#include "PdfWords.h"
#include "PrintProgress.h"
#include "StrPrint.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace quire::test {

// Cancels when asked to step at line CancelAt (0-based); counts the steps.
struct TestProgress : TPrintProgress {
    int CancelAt = -1;
    int Steps = 0;
    QString Caption;
    void Start(const QString& c, QWidget*) override { Caption = c; }
    bool Step(int) override { return Steps++ != CancelAt; }
};

class PrintFixture : public ::testing::Test {
protected:
    void SetUp() override;

    QString pdf(const QString& Name = QStringLiteral("out.pdf")) const { return dir.filePath(Name); }
    // Prints Lines to the PDF file Name and reads it back.
    PdfDocument print(const TPrintLines& Lines, const QString& Name = QStringLiteral("out.pdf"));
    // Printer pixels as points on the paper, from its left or top edge.
    double x(int Px) const;
    double y(int Px) const;
    double points(int Px) const;

    QTemporaryDir dir;
    QPrinter device{QPrinter::HighResolution};
    TestProgress progress;
    std::unique_ptr<TStringsPrinter> printer;
};

// Saves Image as Name in the folder QUIRE_SHOTS names, if any: run the tests with it set to
// look at the dialog and the preview of a generated Japanese document.
void KeepShot(const QImage& Image, const QString& Name);

// Lines "prefix1", "prefix2", ... of N lines.
TPrintLines NumberedLines(int N, const std::string& Prefix);

} // namespace quire::test

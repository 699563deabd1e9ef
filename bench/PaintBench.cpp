// Benchmarks of painting: one full repaint of a 200 x 60 cell view of coloured Japanese text,
// and the repaint after typing one character, offscreen, at 1 000 and 1 500 000 rows.
#include "Editor.h"
#include "Fonts.h"
#include "TextGenerator.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <chrono>

using namespace quire;
using Clock = std::chrono::steady_clock;

namespace {

std::unique_ptr<TEditor> makeEditor(int rows) {
    auto e = std::make_unique<TEditor>();
    e->View().SetUrl(true);
    e->View().SetMail(true);
    e->View().SetCommenter(">");
    e->View().Colors().Url().SetColor(0xFF0000);
    e->View().Colors().Comment().SetColor(0x008000);
    e->View().Colors().DBCS().SetColor(0x800000);
    e->View().Colors().Int().SetColor(0x0000FF);
    e->Leftbar().SetVisible(true);
    e->Ruler().SetVisible(true);
    e->Marks().RetMark().SetVisible(true);
    e->Marks().EofMark().SetVisible(true);
    std::string text = bench::GenerateShiftJis(static_cast<std::size_t>(rows) * 60, 9);
    // Exactly ROWS rows of the generated lines, cut to 200 columns' worth.
    std::string doc;
    doc.reserve(text.size());
    std::size_t start = 0;
    for (int r = 0; r < rows; ++r) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            start = 0;
            end = text.find("\r\n", start);
        }
        doc.append(text, start, std::min<std::size_t>(end - start, 180));
        doc += "\r\n";
        start = end + 2;
    }
    e->Lines().SetText(doc);
    const int w = e->TextLeft() + 200 * e->CharWidth() + e->CharWidth();
    const int h = e->TextTop() + 60 * e->RowHeight() + 6;
    e->resize(w + 2 * e->frameWidth(), h + 2 * e->frameWidth());
    e->show();
    QApplication::processEvents();
    return e;
}

double renderSeconds(TEditor& e, const QRegion& region) {
    QImage target(e.viewport()->size(), QImage::Format_RGB32);
    const auto t0 = Clock::now();
    e.viewport()->render(&target, QPoint(), region, QWidget::DrawChildren);
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

void BM_FullRepaint(benchmark::State& state) {
    auto e = makeEditor(static_cast<int>(state.range(0)));
    e->SetTopRow(static_cast<int>(state.range(0)) / 2);
    // The first paint of a place far down computes the row states up to it; that happens
    // once and is not what is measured.
    renderSeconds(*e, QRegion(e->viewport()->rect()));
    double s = 0;
    for (auto _ : state) {
        s = renderSeconds(*e, QRegion(e->viewport()->rect()));
        state.SetIterationTime(s);
    }
    state.counters["visible_rows"] = e->VisibleRows();
    state.counters["visible_cols"] = e->VisibleCols();
}
BENCHMARK(BM_FullRepaint)->Arg(1000)->Arg(1500000)->UseManualTime()->Unit(benchmark::kMillisecond);

// Typing one character in the middle of the view: the row it changes is what gets repainted.
void BM_RepaintAfterTyping(benchmark::State& state) {
    auto e = makeEditor(static_cast<int>(state.range(0)));
    const int top = static_cast<int>(state.range(0)) / 2;
    e->SetTopRow(top);
    renderSeconds(*e, QRegion(e->viewport()->rect()));
    const int row = top + 30;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        TEditorScreenStrings& s = e->ScreenStrings();
        const std::string text = "x" + std::string(s.Get(row)) + "\r\n";
        s.ReplaceRows(row, 1, text);
        const QRect changed(0, e->TextTop() + 30 * e->RowHeight(), e->viewport()->width(), e->RowHeight());
        const double edit = std::chrono::duration<double>(Clock::now() - t0).count();
        state.SetIterationTime(edit + renderSeconds(*e, QRegion(changed)));
        s.Undo();
    }
}
BENCHMARK(BM_RepaintAfterTyping)->Arg(1000)->Arg(1500000)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Typing through the control's key path at the middle of the document, with the repaint
// of what each keystroke changed.
void BM_TypingKeystroke(benchmark::State& state) {
    auto e = makeEditor(static_cast<int>(state.range(0)));
    e->setFocus();
    const int row = static_cast<int>(state.range(0)) / 2;
    e->SetRowCol(row, 10);
    QApplication::processEvents();
    renderSeconds(*e, QRegion(e->viewport()->rect()));
    std::vector<double> samples;
    int typed = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(e.get(), &press);
        const QRect changed(0, e->TextTop() + (e->Row() - e->TopRow()) * e->RowHeight(), e->viewport()->width(),
                            e->RowHeight());
        const double s = std::chrono::duration<double>(Clock::now() - t0).count() + renderSeconds(*e, QRegion(changed));
        samples.push_back(s);
        state.SetIterationTime(s);
        if (++typed % 150 == 0) e->SetRowCol(e->Row() + 1, 10); // stay within the row limit
    }
    std::nth_element(samples.begin(), samples.begin() + static_cast<long>(samples.size() / 2), samples.end());
    state.counters["median_ms"] = samples[samples.size() / 2] * 1e3;
}
BENCHMARK(BM_TypingKeystroke)
    ->Arg(1000)
    ->Arg(1500000)
    ->Iterations(10000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// Pasting 1 MB of text at the middle of the document.
void BM_Paste1MB(benchmark::State& state) {
    auto e = makeEditor(1500000);
    const std::string text = bench::GenerateShiftJis(1u << 20, 4);
    for (auto _ : state) {
        e->SetRowCol(750000, 0);
        const auto t0 = Clock::now();
        e->InsertText(text);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
        e->Undo();
    }
}
BENCHMARK(BM_Paste1MB)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

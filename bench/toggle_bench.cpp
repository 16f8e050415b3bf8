// Double-clicks toggled and repainted per second, in process, through QTest.
// Usage: toggle_bench [iterations]   (default 2000; also TOGGLE_ITERATIONS;
// TOGGLE_REPETITIONS runs, default 5)
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <vector>

#include "editor/Unit1.h"

namespace {

struct Figure {
    double microseconds = 0;
    long iterations = 0;
};

QPoint CellCentre(const TFontEditor& editor, long i) {
    // Walks the cells so that no single cell or cache line is favoured.
    const int col = static_cast<int>(i % TDrawGrid::ColCount);
    const int row = static_cast<int>((i / TDrawGrid::ColCount) % TDrawGrid::RowCount);
    return editor.DrawGrid->CellRect(col, row).center();
}

void DoubleClick(TFontEditor& editor, QPoint at) {
    QTest::mousePress(editor.DrawGrid, Qt::LeftButton, {}, at);
    QTest::mouseRelease(editor.DrawGrid, Qt::LeftButton, {}, at);
    QTest::mouseDClick(editor.DrawGrid, Qt::LeftButton, {}, at);
    QTest::mouseRelease(editor.DrawGrid, Qt::LeftButton, {}, at);
}

glyph::TColor CellAt(const TFontEditor& editor, QPoint at) {
    const auto cell = editor.DrawGrid->CellAt(at);
    return editor.Cells()->Get(cell->x(), cell->y());
}

// Checks every toggle, so that a figure is never reported for clicks that did nothing.
template <typename After>
Figure Run(TFontEditor& editor, long iterations, After after) {
    QElapsedTimer timer;
    timer.start();
    for (long i = 0; i < iterations; ++i) {
        const QPoint at = CellCentre(editor, i);
        const glyph::TColor before = CellAt(editor, at);
        DoubleClick(editor, at);
        after();
        if (CellAt(editor, at) == before) {
            std::fprintf(stderr, "toggle_bench: double-click %ld did not toggle the cell\n", i);
            std::exit(2);
        }
    }
    return {static_cast<double>(timer.nsecsElapsed()) / 1000.0, iterations};
}

// Repetitions rather than one long loop, so that a disturbed stretch shows as an outlier.
void Print(const char* what, std::vector<Figure> reps) {
    std::vector<double> perOne;
    for (const Figure& f : reps) perOne.push_back(f.microseconds / static_cast<double>(f.iterations));
    std::sort(perOne.begin(), perOne.end());
    const double median = perOne[perOne.size() / 2];
    std::printf("  %-32s %8.0f /s  %7.1f us each  (%.1f .. %.1f us)\n", what, 1e6 / median,
                median, perOne.front(), perOne.back());
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    long iterations = 2000;
    if (const char* env = std::getenv("TOGGLE_ITERATIONS")) iterations = std::atol(env);
    if (argc > 1) iterations = std::atol(argv[1]);
    if (iterations <= 0) iterations = 2000;
    int repetitions = 5;
    if (const char* env = std::getenv("TOGGLE_REPETITIONS")) repetitions = std::atoi(env);
    if (repetitions <= 0) repetitions = 5;

    int errors = 0;
    auto editor = std::make_unique<TFontEditor>([&errors](std::exception_ptr) { ++errors; });
    editor->show();
    if (!QTest::qWaitForWindowExposed(editor.get())) {
        std::fprintf(stderr, "toggle_bench: the window was never exposed\n");
        return 1;
    }
    editor->activateWindow();
    QApplication::processEvents();

    // The full width makes every cell toggleable, so the walk covers the whole grid.
    editor->WidthEdit->setText(QString::number(TDrawGrid::ColCount));
    QTest::keyClick(editor->WidthEdit, Qt::Key_Return);
    if (editor->Cells()->Get(TDrawGrid::ColCount - 1, 0) != glyph::clWindow) {
        std::fprintf(stderr, "toggle_bench: could not widen the glyph to the whole grid\n");
        return 1;
    }

    auto* grid = editor->DrawGrid;
    const auto repaint = [grid] { grid->repaint(); };
    const auto eventLoop = [] { QApplication::processEvents(); };

    Run(*editor, 200, repaint);  // warm-up: first paints, glyph caches, allocator
    std::vector<Figure> full, viaLoop, paintOnly;
    for (int rep = 0; rep < repetitions; ++rep) {
        full.push_back(Run(*editor, iterations, repaint));
        viaLoop.push_back(Run(*editor, iterations, eventLoop));
        QElapsedTimer timer;
        timer.start();
        for (long i = 0; i < iterations; ++i) grid->repaint();
        paintOnly.push_back({static_cast<double>(timer.nsecsElapsed()) / 1000.0, iterations});
    }

    std::printf("toggle_bench (platform %s, %ld iterations x %d repetitions; median (min .. max)):\n",
                qPrintable(QGuiApplication::platformName()), iterations, repetitions);
    Print("double-click + repaint()", full);
    Print("double-click + processEvents()", viaLoop);
    Print("repaint() alone", paintOnly);
    if (errors != 0) {
        std::fprintf(stderr, "toggle_bench: the editor reported %d error(s)\n", errors);
        return 1;
    }
    return 0;
}

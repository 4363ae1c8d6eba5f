// What the Wine benchmarks share: the English library from the build tree, a visible main
// window with the program's edit control in it, and the median of their timings.
#ifndef TARNWICK_BENCH_WINE_BENCH_WINDOW_H
#define TARNWICK_BENCH_WINE_BENCH_WINDOW_H

#include <windows.h>

#include <vector>

// Loads languages\English.dll of the build tree as the language library; false (with a line
// that says why) when it cannot be had.
bool LoadEnglishLibrary();
// A visible 800 × 600 window with this procedure as MainWindow, and in it an edit control of
// the program's kind, `editHeight` pixels high, as EditControl with no limit on its text.
void CreateBenchWindows(WNDPROC procedure, int editHeight);
double Median(std::vector<double> values);

#endif

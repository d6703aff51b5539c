#pragma once
// Frame counting for the benchmark (VELORAN_FPS=1); does nothing otherwise.

void InitSwapStats();
// After each buffer swap.
void CountSwap();
// At the end of the run: the average over the whole run.
void ReportSwapStats();

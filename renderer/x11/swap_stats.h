#pragma once
// Frame statistics for measurements, off unless VELORAN_FPS=1 is set: the wall-clock
// time of the first shown frame and the frames per second, on standard error.

extern bool g_swap_stats_enabled;

void InitSwapStats();
// After each buffer swap (only when enabled).
void CountSwap();
// At the end of the run: the average over the whole run.
void ReportSwapStats();

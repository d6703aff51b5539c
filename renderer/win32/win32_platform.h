#pragma once
// State the Windows platform services share with the program entry.
#include <windows.h>

// Device context of the renderer window; null before InitGL and after shutdown.
extern HDC g_dc;

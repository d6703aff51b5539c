#pragma once
// The real profile file of the platform the tests are built for, without a runtime:
// our own reader and writer on Linux (platform_profile_x11.cpp), the Windows calls
// themselves (platform_profile_win32.cpp, under Wine).
#include "runtime.h"

ProfileFile& PlatformProfile();

// The profile file of the Windows tests (see platform_profile.h).
#include "platform_profile.h"
#include "profile_win32.h"

ProfileFile& PlatformProfile() {
  static Win32ProfileFile profile;
  return profile;
}

// The profile file of the Linux tests (see platform_profile.h).
#include "ini_profile.h"
#include "platform_profile.h"

ProfileFile& PlatformProfile() {
  static IniProfileFile profile;
  return profile;
}

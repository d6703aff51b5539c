// The bitmap decoder on any bytes: it never reads outside them (the sanitizers
// watch), it refuses or gives a picture of the size it claims within the bound, and
// a refusal leaves the picture untouched.
#include <cstdint>

#include "dib.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RgbImage image;
  image.width = -1;
  const DibStatus status = DecodeDib(data, size, &image);
  if (status != DibStatus::kOk) {
    FUZZ_CHECK(image.width == -1 && image.data.empty());
    FUZZ_CHECK(DibStatusMessage(status) != nullptr);
    return 0;
  }
  FUZZ_CHECK(image.width > 0 && image.width <= kDibMaxSide);
  FUZZ_CHECK(image.height > 0 && image.height <= kDibMaxSide);
  FUZZ_CHECK(image.data.size() == static_cast<std::size_t>(image.width) * image.height * 3);
  return 0;
}

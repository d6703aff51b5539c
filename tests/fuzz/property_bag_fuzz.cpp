// Fuzz harness: the stored properties of the Command button (property_bag.h). Any
// text parses; what a bag writes parses back to the same bag; a font or a number
// read from it and written again reads back the same.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "property_bag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const PropertyBag bag = PropertyBag::Parse(text);

  const std::string written = bag.Text();
  const PropertyBag again = PropertyBag::Parse(written);
  FUZZ_CHECK(again.Keys() == bag.Keys());
  FUZZ_CHECK(again.Text() == written);
  for (const std::string& key : bag.Keys())
    FUZZ_CHECK(again.ReadText(key, "\x01") == bag.ReadText(key, "\x02"));

  // The six keys the button stores, each read as its type and written back.
  PropertyBag copy;
  const FontSpec font = bag.ReadFont("Font", DialogFont());
  const std::int64_t colour = bag.ReadInteger("FontColour", 0, INT32_MIN, INT32_MAX);
  const bool enabled = bag.ReadBool("Enabled", true);
  const std::string caption = bag.ReadText("Caption", "Command1");
  copy.WriteFont("Font", font, FontSpec{});
  copy.WriteInteger("FontColour", colour, colour + 1);
  copy.WriteBool("Enabled", enabled, !enabled);
  copy.WriteText("Caption", caption, caption + "x");
  const PropertyBag back = PropertyBag::Parse(copy.Text());
  FUZZ_CHECK(back.ReadFont("Font", FontSpec{}) == font);
  FUZZ_CHECK(back.ReadInteger("FontColour", colour + 1, INT32_MIN, INT32_MAX) == colour);
  FUZZ_CHECK(back.ReadBool("Enabled", !enabled) == enabled);
  if (caption.find('\0') == std::string::npos) FUZZ_CHECK(back.ReadText("Caption", "") == caption);
  return 0;
}

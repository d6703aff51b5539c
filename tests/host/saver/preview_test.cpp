// The preview: the window number on the command line and the form's placement.
#include <gtest/gtest.h>

#include "fake_runtime.h"
#include "preview.h"
#include "settings.h"

namespace {

// Digits from the fourth character; hex too where the platform writes window ids so.
TEST(PreviewWindowNumber, ReadsTheNumberFromTheFourthCharacter) {
  const struct {
    const char* cmd;
    bool hex;
    std::int64_t number;
    // clang-format off
  } cases[] = {
      {"/p 1234", false, 1234},   {"/p:1234", false, 1234},  {"/P   77abc", false, 77},
      {"/p 12.5", false, 12},     {"/p 13.5", false, 14},    // halves go to the even neighbour
      {"/p -5", false, -5},       {"/p", false, 0},          {"/p ", false, 0},
      {"/p abc", false, 0},       {"/p 0x1A", false, 0},
      {"/p 99999999999", false, 0},  // beyond 32 bits
      {"/p 0x1A", true, 26},      {"/p:0X400004", true, 0x400004}, {"/p 1234", true, 1234},
      {"/p 0x", true, 0},         {"/p 0x1FFFFFFFF", true, 0},
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(PreviewWindowNumber(c.cmd, c.hex), c.number) << c.cmd << " " << c.hex;
}

TEST(PreviewForm, FillsTheParentWithTheFormShowsItAndClosesItselfAtUnload) {
  FakeRuntime rt;
  rt.rects[1234] = ScreenRect{100, 200, 300, 350};
  PreviewForm form(rt);
  form.Load("/p 1234");
  EXPECT_EQ(rt.log, (Log{"preview form Preview Window", "child style", "parent 1234", "move 0,0 200x150",
                         "picture 200x150", "show"}));
  EXPECT_EQ(API_Result, 1);
  EXPECT_EQ(rt.preview_picture.width, 152);
  EXPECT_EQ(rt.preview_picture.height, 112);
  EXPECT_FALSE(rt.ended);
  rt.log.clear();
  rt.preview_unload();
  EXPECT_EQ(rt.log, (Log{"owner", "post close"}));
}

TEST(PreviewForm, NoSuchWindowEndsTheProgramAndOversizeIsLeftAtZero) {
  for (const char* cmd : {"/p 999", "/p", "/p xyz"}) {
    FakeRuntime rt;
    PreviewForm(rt).Load(cmd);
    EXPECT_EQ(rt.log, (Log{"end"})) << cmd;
  }
  // A size beyond the form's twips range is left at zero.
  FakeRuntime rt;
  rt.rects[7] = ScreenRect{0, 0, 3000, 100};  // 45000 twips wide
  PreviewForm(rt).Load("/p:7");
  EXPECT_EQ(rt.log[3], "move 0,0 0x100");
}

}  // namespace

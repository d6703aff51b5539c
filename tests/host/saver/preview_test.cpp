// The preview: the window number on the command line and the form's placement.
#include <gtest/gtest.h>

#include "fake_runtime.h"
#include "preview.h"
#include "settings.h"

namespace {

TEST(PreviewWindowNumber, ReadsDigitsFromTheFourthCharacter) {
  EXPECT_EQ(PreviewWindowNumber("/p 1234", false), 1234);
  EXPECT_EQ(PreviewWindowNumber("/p:1234", false), 1234);
  EXPECT_EQ(PreviewWindowNumber("/P   77abc", false), 77);
  EXPECT_EQ(PreviewWindowNumber("/p 12.5", false), 12);  // halves go to the even neighbour
  EXPECT_EQ(PreviewWindowNumber("/p 13.5", false), 14);
  EXPECT_EQ(PreviewWindowNumber("/p -5", false), -5);
  EXPECT_EQ(PreviewWindowNumber("/p", false), 0);
  EXPECT_EQ(PreviewWindowNumber("/p ", false), 0);
  EXPECT_EQ(PreviewWindowNumber("/p abc", false), 0);
  EXPECT_EQ(PreviewWindowNumber("/p 99999999999", false), 0);  // beyond 32 bits
  EXPECT_EQ(PreviewWindowNumber("/p 0x1A", false), 0);
}

TEST(PreviewWindowNumber, HexWhereThePlatformWritesWindowIdsSo) {
  EXPECT_EQ(PreviewWindowNumber("/p 0x1A", true), 26);
  EXPECT_EQ(PreviewWindowNumber("/p:0X400004", true), 0x400004);
  EXPECT_EQ(PreviewWindowNumber("/p 1234", true), 1234);
  EXPECT_EQ(PreviewWindowNumber("/p 0x", true), 0);
  EXPECT_EQ(PreviewWindowNumber("/p 0x1FFFFFFFF", true), 0);
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

TEST(PreviewForm, NoSuchWindowEndsTheProgram) {
  for (const char* cmd : {"/p 999", "/p", "/p xyz"}) {
    FakeRuntime rt;
    PreviewForm(rt).Load(cmd);
    EXPECT_EQ(rt.log, (Log{"end"})) << cmd;
  }
}

TEST(PreviewForm, SizeBeyondTheFormsTwipsRangeIsLeftAtZero) {
  FakeRuntime rt;
  rt.rects[7] = ScreenRect{0, 0, 3000, 100};  // 45000 twips wide
  PreviewForm form(rt);
  form.Load("/p:7");
  EXPECT_EQ(rt.log[3], "move 0,0 0x100");
}

}  // namespace

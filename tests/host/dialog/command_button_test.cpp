// The skinned button: its state machine, its drawing geometry and its stored
// properties, against a surface that records what a platform would show.
#include <gtest/gtest.h>

#include "button_image.h"
#include "property_bag.h"
#include "recording_surface.h"

namespace {

using namespace std::string_literals;

// A dialog's button: loaded from stored properties (enabled, Normal drawn) and started.
struct Loaded {
  RecordingSurface surface;
  CommandButton button{surface};
  int clicks = 0;
  Loaded() {
    button.LoadProperties(PropertyBag::Parse("Caption=設定\n"));
    button.Initialize();
    button.Click = [this] { ++clicks; };
    surface.drawn.clear();
  }
  // The hover poll's tick, with `under` the window under the pointer.
  void Poll(WindowHandle under) {
    surface.under_pointer = under;
    surface.tick();
  }
};

// Notification script letters: m move, d/u left down/up, r/R right down/up,
// f/F focus gained/lost, k/K space down/up, o a poll with the pointer outside,
// i inside, s resize, x disable, e enable.
void Play(Loaded& l, const std::string& script) {
  for (char c : script) {
    switch (c) {
      case 'm': l.button.OnMouseMove(); break;
      case 'd': l.button.OnMouseDown(MouseButton::Left); break;
      case 'u': l.button.OnMouseUp(MouseButton::Left); break;
      case 'r': l.button.OnMouseDown(MouseButton::Right); break;
      case 'R': l.button.OnMouseUp(MouseButton::Right); break;
      case 'f': l.button.OnFocusGained(); break;
      case 'F': l.button.OnFocusLost(); break;
      case 'k': l.button.OnSpaceDown(); break;
      case 'K': l.button.OnSpaceUp(); break;
      case 'o': l.Poll(l.surface.parent); break;
      case 'p': l.Poll(99); break;  // another control
      case 'i': l.Poll(l.surface.own); break;
      case 's': l.button.OnResize(); break;
      case 'x': l.button.SetEnabled(false); break;
      case 'e': l.button.SetEnabled(true); break;
    }
  }
}

std::string Join(const std::vector<std::string>& v) {
  std::string s;
  for (const auto& e : v) s += (s.empty() ? "" : " ") + e;
  return s;
}

TEST(CommandButton, StateMachine) {
  struct Row {
    const char* what;
    const char* script;
    int state;
    const char* drawn;  // pictures presented, in order
    int clicks;
    bool inverted;  // gradient of the last drawing
  };
  // clang-format off
  const Row rows[] = {
      {"hover", "m", 2, "HighLight", 0, true},
      {"hover then leave", "mo", 1, "HighLight Normal", 0, false},
      {"another control under the pointer counts as outside", "mp", 1, "HighLight Normal", 0, false},
      {"pointer still inside", "mi", 2, "HighLight", 0, true},
      {"focus while not hovered", "f", 3, "Selected", 0, false},
      {"focus while hovered shows Pressed", "mf", 4, "HighLight Pressed", 0, true},
      {"focus lost", "fF", 1, "Selected Normal", 0, false},
      {"focus lost in state 1 draws nothing", "F", 1, "", 0, false},
      {"click from hover keeps the hover's gradient", "mdfu", 4, "HighLight Pressed Pressed HighLightSelect", 1, true},
      {"left up in state 2 draws Normal, still clicks", "mdu", 2, "HighLight Pressed Normal", 1, true},
      {"drag off and back: no click", "mfdomu", 3, "HighLight Pressed Pressed Selected", 0, false},
      {"the next move with the button up shows HighLightSelect", "mfdomum", 4,
       "HighLight Pressed Pressed Selected HighLightSelect", 0, false},
      {"release before the poll notices: click", "mfdu", 4, "HighLight Pressed Pressed HighLightSelect", 1, true},
      {"right press draws nothing, right release clicks", "mfrR", 4, "HighLight Pressed", 1, true},
      {"right release in state 3: no click", "fR", 3, "Selected", 0, false},
      {"leave and re-enter while focused: normal gradient", "mfdumoim", 4,
       "HighLight Pressed Pressed HighLightSelect Selected HighLightSelect", 1, false},
      {"resize shows Normal in any state", "ms", 2, "HighLight Normal", 0, true},
      {"disabled: Disable, nothing reacts", "xmdufoRs", 1, "Disable Disable", 0, false},
      {"enabled again", "xe", 1, "Disable Normal", 0, false},
      {"space on the focused control clicks on its release", "fkkK", 3, "Selected Pressed Selected", 1, false},
      {"space while focused and hovered", "mfkK", 4, "HighLight Pressed Pressed HighLightSelect", 1, true},
      {"focus lost while space is down: no click", "fkFK", 1, "Selected Pressed Normal", 0, false},
      {"disabled: space does nothing", "xfkK", 1, "Disable", 0, false},
  };
  // clang-format on
  for (const Row& r : rows) {
    Loaded l;
    Play(l, r.script);
    SCOPED_TRACE(r.what);
    EXPECT_EQ(l.button.State(), r.state);
    EXPECT_EQ(Join(l.surface.drawn), r.drawn);
    EXPECT_EQ(l.clicks, r.clicks);
    EXPECT_EQ(l.button.InvertGradient(), r.inverted);
  }
}

TEST(CommandButton, BeforeInitializeAndFirstRun) {
  // Loaded but not started: moves change nothing, focus shows Selected, a release clicks.
  RecordingSurface s;
  CommandButton b(s);
  int clicks = 0;
  b.Click = [&] { ++clicks; };
  b.LoadProperties(PropertyBag());
  EXPECT_EQ(b.State(), 0);
  EXPECT_FALSE(s.timer_on);
  b.OnMouseMove();
  b.OnMouseUp(MouseButton::Middle);
  b.OnFocusGained();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(b.State(), 3);
  b.Initialize();
  EXPECT_TRUE(s.timer_on);
  EXPECT_EQ(b.State(), 1);

  // A fresh instance: the design caption, black, in the dialog's font; disabled until
  // the first read of Enabled turns it on.
  RecordingSurface fresh;
  CommandButton f(fresh);
  EXPECT_EQ(f.Caption(), "Command");
  EXPECT_EQ(f.FontColour(), CommandButton::kBlack);
  EXPECT_EQ(f.Font(), DialogFont());
  fresh.colour = 0x123456;
  f.OnMouseUp(MouseButton::Left);
  EXPECT_TRUE(fresh.drawn.empty());
  EXPECT_TRUE(f.Enabled());
  EXPECT_EQ(Join(fresh.drawn), "Normal");
  EXPECT_EQ(fresh.colour, 0x123456u);  // its ApplyLook ran while still disabled
  // Loaded with FirstRun 0, the caption colour is forced to black over the stored one.
  RecordingSurface forced;
  CommandButton g(forced);
  g.LoadProperties(PropertyBag::Parse("FirstRun=0\nFontColour=255\n"));
  EXPECT_EQ(forced.colour, 0u);
}

TEST(CommandButton, BorderPiecesInPixels) {
  // The dialog's buttons: 81 x 25 (Set, Cancel) and 29 x 25 (the file button).
  // clang-format off
  const std::vector<std::pair<int, std::vector<std::pair<PixelRect, PixelRect>>>> cases = {
      {1215,
       {{{0, 0, 4, 4}, {0, 0, 4, 4}},       {{4, 0, 73, 4}, {4, 0, 56, 4}},
        {{77, 0, 4, 4}, {60, 0, 4, 4}},     {{77, 4, 4, 17}, {60, 4, 4, 17}},
        {{77, 21, 4, 4}, {60, 21, 4, 4}},   {{4, 21, 73, 4}, {4, 21, 56, 4}},
        {{0, 21, 4, 4}, {0, 21, 4, 4}},     {{0, 4, 4, 17}, {0, 4, 4, 17}}}},
      {435,
       {{{0, 0, 4, 4}, {0, 0, 4, 4}},       {{4, 0, 21, 4}, {4, 0, 56, 4}},
        {{25, 0, 4, 4}, {60, 0, 4, 4}},     {{25, 4, 4, 17}, {60, 4, 4, 17}},
        {{25, 21, 4, 4}, {60, 21, 4, 4}},   {{4, 21, 21, 4}, {4, 21, 56, 4}},
        {{0, 21, 4, 4}, {0, 21, 4, 4}},     {{0, 4, 4, 17}, {0, 4, 4, 17}}}},
  };
  // clang-format on
  for (const auto& [width, expected] : cases) {
    RecordingSurface s;
    s.width_twips = width;
    CommandButton b(s);
    b.LoadProperties(PropertyBag());
    EXPECT_EQ(s.pieces, expected) << width;
    EXPECT_DOUBLE_EQ(s.caption_top, 80.0);
    // Gradient from (0, 0) white to (W - 1, H - 1) grey-lavender, channels in the high byte.
    EXPECT_EQ(s.top.x, 0);
    EXPECT_EQ(s.bottom.x, width / 15 - 1);
    EXPECT_EQ(s.bottom.y, 24);
    EXPECT_EQ(s.top.red, 0xFF00);
    EXPECT_EQ(s.bottom.red, 0xC600);
    EXPECT_EQ(s.bottom.green, 0xC500);
    EXPECT_EQ(s.bottom.blue, 0xD700);
    EXPECT_EQ(s.bottom.alpha, 0);
  }
  // A value that leaves the 16-bit range keeps the previous drawing's.
  const BorderPieces before = CommandButton::BorderGeometry(1215, 375, BorderPieces{});
  const BorderPieces after = CommandButton::BorderGeometry(40000, 375, before);
  EXPECT_EQ(after[2].destination.x, before[2].destination.x);          // W - 60 overflows
  EXPECT_EQ(after[1].destination.width, before[1].destination.width);  // so does W - 120
  EXPECT_EQ(after[3].destination.height, before[3].destination.height);
}

TEST(CommandButton, ImageOfTheBodyInMemory) {
  // The in-memory image a platform without gradient fill presents: white on top,
  // grey-lavender towards the bottom, stretched border from the picture.
  ButtonImage image;
  image.Resize(81, 25);
  const auto v = CommandButton::GradientVertices(81, 25, false);
  image.FillGradient(v[0], v[1]);
  auto px = [&](int x, int y) {
    const std::uint8_t* p = image.Pixel(x, y);
    return (p[0] << 16) | (p[1] << 8) | p[2];
  };
  EXPECT_EQ(px(40, 0), 0xFFFFFF);
  EXPECT_EQ(px(40, 23), 0xC8C7D8);  // 23/24 of the way down
  EXPECT_EQ(px(80, 12), 0xFFFFFF);  // the last column is left out
  const auto inverted = CommandButton::GradientVertices(81, 25, true);
  image.FillGradient(inverted[0], inverted[1]);
  EXPECT_EQ(px(0, 0), 0xC6C5D7);

  Picture picture{64, 25, std::vector<std::uint8_t>(64 * 25 * 3, 0)};
  for (int x = 0; x < 64; ++x) picture.rgb[x * 3] = static_cast<std::uint8_t>(x);  // row 0: red = column
  image.Copy(picture, {4, 0, 73, 4}, {4, 0, 56, 4});
  EXPECT_EQ(px(4, 0) >> 16, 4);
  EXPECT_EQ(px(76, 0) >> 16, 59);  // the last destination column takes the last source one
  image.Copy(picture, {-5, -5, 200, 200}, {0, 0, 64, 25});  // clipped, no over-read
}

TEST(CommandButton, StoredProperties) {
  // Saving: only what differs from the write default, in the save order.
  RecordingSurface s;
  CommandButton b(s);
  b.LoadProperties(PropertyBag::Parse("Enabled=0\nVisible=0\nFontColour=255\nCaption=Go\n"));
  EXPECT_EQ(Join(s.drawn), "");  // a disabled instance draws nothing on loading
  EXPECT_FALSE(s.opaque);
  PropertyBag saved;
  b.SaveProperties(saved);
  EXPECT_EQ(saved.Text(), "Enabled=0\nCaption=Go\nFontColour=255\nVisible=0\n");

  // Defaults: "Command" is not stored and reads back as "Command1"; Visible 7 reads
  // back as 255 and is not stored.
  RecordingSurface d;
  CommandButton c(d);
  c.LoadProperties(PropertyBag());
  EXPECT_EQ(c.Caption(), "Command1");
  c.SetCaption("Command");
  c.SetVisible(7);
  EXPECT_EQ(c.Visible(), 255);
  EXPECT_EQ(Join(d.changed), "Caption Visible");
  PropertyBag bag;
  c.SaveProperties(bag);
  EXPECT_EQ(bag.Text(), "");
  c.LoadProperties(bag);
  EXPECT_EQ(c.Caption(), "Command1");

  // A font other than the container's is stored whole and comes back whole.
  FontSpec bold = DialogFont();
  bold.weight = 700;
  bold.underline = true;
  bold.face = "A \"quoted\" face";
  c.SetFont(bold);
  c.SetCaption("Line1\nLine2\\");
  c.SaveProperties(bag);
  RecordingSurface e;
  CommandButton reloaded(e);
  reloaded.LoadProperties(PropertyBag::Parse(bag.Text()));
  EXPECT_EQ(reloaded.Font(), bold);
  EXPECT_EQ(reloaded.Caption(), "Line1\nLine2\\");

  // A failing caption colour: the read gives 0, the write reports nothing.
  s.colour_fails = true;
  s.changed.clear();
  EXPECT_EQ(b.FontColour(), 0u);
  b.SetFontColour(5);
  EXPECT_TRUE(s.changed.empty());
}

TEST(PropertyBag, UnreadableValuesGiveTheReadDefault) {
  const PropertyBag bag = PropertyBag::Parse(
      "Enabled=yes\r\nFirstRun=300\nFontColour=12abc\nVisible=\nFont=\"x\",9.75,400,0,0\n"
      "no equals sign\n=nokey\nCaption=first\nCaption=second\nTail=a\\qb\\\nFace=\"a\0b\",9,400,0,0,0,0\n"s);
  EXPECT_TRUE(bag.ReadBool("Enabled", true));
  EXPECT_EQ(bag.ReadInteger("FirstRun", 1, 0, 255), 1);
  EXPECT_EQ(bag.ReadInteger("FontColour", 0, INT32_MIN, INT32_MAX), 0);
  EXPECT_EQ(bag.ReadInteger("Visible", 1, -32768, 32767), 1);
  EXPECT_EQ(bag.ReadFont("Font", DialogFont()), DialogFont());
  EXPECT_EQ(bag.ReadText("Caption", ""), "first");
  EXPECT_EQ(bag.ReadText("Tail", ""), "a\\qb\\");
  EXPECT_EQ(bag.ReadFont("Face", DialogFont()), DialogFont());  // a NUL in the face
  EXPECT_EQ(bag.Keys(), (std::vector<std::string>{"Enabled", "FirstRun", "FontColour", "Visible", "Font",
                                                  "Caption", "Tail", "Face"}));
}

}  // namespace

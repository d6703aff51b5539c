#include "command_button.h"

#include <cmath>
#include <limits>

namespace {

// Border layout in twips: a 1-twip margin, a 4-pixel (60-twip) border band and the
// state pictures' constant size of 64 x 25 pixels.
constexpr int kMargin = 1;
constexpr int kBorder = 60;
constexpr int kPictureWidth = 960;
constexpr int kPictureHeight = 375;
constexpr int kEdgeSourceWidth = kPictureWidth - 2 * kBorder;    // 840
constexpr int kSideSourceHeight = kPictureHeight - 2 * kBorder;  // 255
constexpr int kRightSourceX = kEdgeSourceWidth + kBorder;        // 900
constexpr int kBottomSourceY = kBorder + kSideSourceHeight;      // 315

// The gradient's two colours, white and a pale grey-lavender (red, green, blue).
constexpr std::uint8_t kGradientLight[3] = {0xFF, 0xFF, 0xFF};
constexpr std::uint8_t kGradientDark[3] = {0xC6, 0xC5, 0xD7};

// A 16-bit signed result, or `previous` when it does not fit.
std::int16_t Checked(int value, std::int16_t previous) {
  if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
    return previous;
  return static_cast<std::int16_t>(value);
}

GradientVertex Vertex(int x, int y, const std::uint8_t colour[3]) {
  GradientVertex v;
  v.x = x;
  v.y = y;
  v.red = static_cast<std::uint16_t>(colour[0] << 8);
  v.green = static_cast<std::uint16_t>(colour[1] << 8);
  v.blue = static_cast<std::uint16_t>(colour[2] << 8);
  return v;
}

}  // namespace

CommandButton::CommandButton(ButtonSurface& surface) : surface_(surface) {
  surface_.SetCaptionText("Command");
  surface_.SetCaptionFont(DialogFont());
  surface_.SetCaptionColour(kBlack);
}

void CommandButton::Initialize() {
  State_ = kNormal;
  if (!TmrMouse) TmrMouse = surface_.CreateTimer(kPollIntervalMs, [this] { OnPollTick(); });
  if (TmrMouse) TmrMouse->SetEnabled(true);
}

// --- Properties ---

bool CommandButton::Enabled() {
  if (FirstRun == 0) {
    ApplyLook();
    FirstRun = 1;
    Enabled_ = true;
  }
  const bool result = Enabled_;
  ShowEnabledState();
  return result;
}

void CommandButton::SetEnabled(bool enabled) {
  Enabled_ = enabled;
  surface_.PropertyChanged("Enabled");
  ShowEnabledState();
}

std::uint8_t CommandButton::Visible() {
  if (!opaque_) return 0;
  ApplyLook();
  return 255;
}

void CommandButton::SetVisible(std::uint8_t value) {
  opaque_ = value != 0;
  surface_.SetBodyOpaque(opaque_);
  if (opaque_) ApplyLook();
  surface_.PropertyChanged("Visible");
}

std::uint32_t CommandButton::FontColour() {
  std::uint32_t colour = 0;
  if (!surface_.CaptionColour(&colour)) colour = 0;
  ApplyLook();
  return colour;
}

void CommandButton::SetFontColour(std::uint32_t colour) {
  const bool set = surface_.SetCaptionColour(colour);
  ApplyLook();
  if (set) surface_.PropertyChanged("FontColour");
}

std::string CommandButton::Caption() { return surface_.CaptionText(); }

void CommandButton::SetCaption(const std::string& utf8) {
  surface_.SetCaptionText(utf8);
  surface_.PropertyChanged("Caption");
}

FontSpec CommandButton::Font() { return surface_.CaptionFont(); }

void CommandButton::SetFont(const FontSpec& font) {
  surface_.SetCaptionFont(font);
  surface_.PropertyChanged("Font");
}

void CommandButton::LoadProperties(const PropertyBag& bag) {
  Enabled_ = bag.ReadBool("Enabled", true);
  surface_.SetCaptionText(bag.ReadText("Caption", "Command1"));
  surface_.SetCaptionFont(bag.ReadFont("Font", surface_.ContainerFont()));
  FirstRun = static_cast<std::uint8_t>(bag.ReadInteger("FirstRun", 1, 0, 255));
  const auto colour = bag.ReadInteger("FontColour", 0, std::numeric_limits<std::int32_t>::min(),
                                      std::numeric_limits<std::int32_t>::max());
  if (!surface_.SetCaptionColour(static_cast<std::uint32_t>(colour))) surface_.SetCaptionColour(kBlack);
  opaque_ = bag.ReadInteger("Visible", 1, std::numeric_limits<std::int16_t>::min(),
                            std::numeric_limits<std::int16_t>::max()) != 0;
  surface_.SetBodyOpaque(opaque_);
  ApplyLook();
}

void CommandButton::SaveProperties(PropertyBag& bag) {
  bag.WriteBool("Enabled", Enabled_, true);
  bag.WriteText("Caption", surface_.CaptionText(), "Command");
  bag.WriteInteger("FirstRun", FirstRun, 1);
  bag.WriteFont("Font", surface_.CaptionFont(), surface_.ContainerFont());
  std::uint32_t colour = 0;
  if (!surface_.CaptionColour(&colour)) colour = 0;
  bag.WriteInteger("FontColour", static_cast<std::int32_t>(colour), 0);
  bag.WriteInteger("Visible", opaque_ ? 1 : 0, 1);
  ApplyLook();
}

// --- Notifications ---

void CommandButton::OnResize() { ShowEnabledState(); }

void CommandButton::OnFocusGained() {
  if (!Enabled_) return;
  if (State_ != kHighLight) {
    State_ = kSelected;
    DrawButton(ButtonPicture::Selected);
  } else {
    State_ = kHighLightSelect;
    DrawButton(ButtonPicture::Pressed);
  }
}

void CommandButton::OnFocusLost() {
  SpaceDown = false;
  if (!Enabled_ || State_ == kNormal) return;
  State_ = kNormal;
  DrawButton(ButtonPicture::Normal);
}

void CommandButton::OnMouseDown(MouseButton button) {
  if (!Enabled_ || button != MouseButton::Left) return;
  DrawButton(ButtonPicture::Pressed);
  LeftDown = true;
}

void CommandButton::OnMouseMove() {
  if (!Enabled_) return;
  if (State_ == kNormal) {
    State_ = kHighLight;
    DrawButton(ButtonPicture::HighLight);
  } else if (State_ == kSelected && !LeftDown) {
    State_ = kHighLightSelect;
    DrawButton(ButtonPicture::HighLightSelect);
  }
}

void CommandButton::OnMouseUp(MouseButton button) {
  if (!Enabled_) return;
  if (button == MouseButton::Left) {
    if (State_ == kHighLight) DrawButton(ButtonPicture::Normal);
    else if (State_ == kHighLightSelect) DrawButton(ButtonPicture::HighLightSelect);
    LeftDown = false;
  }
  // Last: the container's handler may close the dialog and with it this control.
  if (State_ != kSelected && Click) Click();
}

void CommandButton::OnSpaceDown() {
  if (!Enabled_ || SpaceDown) return;
  SpaceDown = true;
  DrawButton(ButtonPicture::Pressed);
}

void CommandButton::OnSpaceUp() {
  if (!Enabled_ || !SpaceDown) return;
  SpaceDown = false;
  switch (State_) {
    case kHighLight: DrawButton(ButtonPicture::HighLight); break;
    case kSelected: DrawButton(ButtonPicture::Selected); break;
    case kHighLightSelect: DrawButton(ButtonPicture::HighLightSelect); break;
    default: DrawButton(ButtonPicture::Normal); break;
  }
  // Last, as after a mouse release.
  if (Click) Click();
}

void CommandButton::OnPollTick() {
  // Inside only while the window under the pointer is the control's own.
  if (surface_.WindowUnderPointer() != surface_.OwnWindow()) MouseLeave();
}

void CommandButton::MouseLeave() {
  if (!Enabled_) return;
  if (State_ == kHighLight) {
    State_ = kNormal;
    DrawButton(ButtonPicture::Normal);
  } else if (State_ == kHighLightSelect) {
    State_ = kSelected;
    DrawButton(ButtonPicture::Selected);
  }
}

void CommandButton::ShowEnabledState() {
  DrawButton(Enabled_ ? ButtonPicture::Normal : ButtonPicture::Disable);
  surface_.SetCaptionEnabled(Enabled_);
}

void CommandButton::ApplyLook() {
  if (!Enabled_) return;
  surface_.SetCaptionEnabled(true);
  if (FirstRun == 0 && !surface_.SetCaptionColour(kBlack)) surface_.SetCaptionColour(kBlack);
  DrawButton(ButtonPicture::Normal);
}

bool CommandButton::LastDrawn(ButtonPicture* picture) const {
  if (drawn_) *picture = last_drawn_;
  return drawn_;
}

// --- Drawing ---

BorderPieces CommandButton::BorderGeometry(int width_twips, int height_twips, const BorderPieces& previous) {
  BorderPieces p = previous;
  const int W = width_twips, H = height_twips;
  auto set = [](Rect16& r, const Rect16& old, int x, int y, int w, int h) {
    r.x = Checked(x, old.x);
    r.y = Checked(y, old.y);
    r.width = Checked(w, old.width);
    r.height = Checked(h, old.height);
  };
  const BorderPieces& o = previous;
  // destination, then source
  set(p[0].destination, o[0].destination, kMargin, kMargin, kBorder, kBorder);
  set(p[0].source, o[0].source, 0, 0, kBorder, kBorder);
  set(p[1].destination, o[1].destination, kBorder, kMargin, W - 2 * kBorder, kBorder);
  set(p[1].source, o[1].source, kBorder, kMargin, kEdgeSourceWidth, kBorder);
  set(p[2].destination, o[2].destination, W - kBorder, kMargin, kBorder, kBorder);
  set(p[2].source, o[2].source, kRightSourceX, kMargin, kBorder, kBorder);
  set(p[3].destination, o[3].destination, W - kBorder, kBorder, kBorder, H - 2 * kBorder);
  set(p[3].source, o[3].source, kRightSourceX, kBorder, kBorder, kSideSourceHeight);
  set(p[4].destination, o[4].destination, W - kBorder, H - kBorder, kBorder, kBorder);
  set(p[4].source, o[4].source, kRightSourceX, kBottomSourceY, kBorder, kBorder);
  set(p[5].destination, o[5].destination, kBorder, H - kBorder, W - 2 * kBorder, kBorder);
  set(p[5].source, o[5].source, kBorder, kBottomSourceY, kEdgeSourceWidth, kBorder);
  set(p[6].destination, o[6].destination, kMargin, H - kBorder, kBorder, kBorder);
  set(p[6].source, o[6].source, 0, kBottomSourceY, kBorder, kBorder);
  set(p[7].destination, o[7].destination, kMargin, kBorder, kBorder, H - 2 * kBorder);
  set(p[7].source, o[7].source, kMargin, kBorder, kBorder, kSideSourceHeight);
  return p;
}

std::array<GradientVertex, 2> CommandButton::GradientVertices(int inner_width, int inner_height,
                                                              bool invert) {
  const std::uint8_t* top = invert ? kGradientDark : kGradientLight;
  const std::uint8_t* bottom = invert ? kGradientLight : kGradientDark;
  return {Vertex(0, 0, top), Vertex(inner_width - 1, inner_height - 1, bottom)};
}

PixelRect CommandButton::ToPixels(const Rect16& r) {
  const double tpp = surface_.TwipsPerPixel() > 0 ? surface_.TwipsPerPixel() : 15;
  auto px = [tpp](int twips) { return static_cast<int>(std::lround(twips / tpp)); };
  return {px(r.x), px(r.y), px(r.width), px(r.height)};
}

void CommandButton::DrawButton(ButtonPicture picture) {
  if (State_ == kNormal || State_ == kSelected) InvertGradient_ = false;
  else if (State_ == kHighLight) InvertGradient_ = true;

  const int W = surface_.WidthTwips();
  const int H = surface_.HeightTwips();
  border_ = BorderGeometry(W, H, border_);
  surface_.ClearImage();
  DrawGradient();
  for (const BorderPiece& piece : border_) {
    const PixelRect destination = ToPixels(piece.destination);
    // Bodies smaller than the border leave no room for the edges: those are skipped.
    if (destination.width <= 0 || destination.height <= 0) continue;
    surface_.CopyPicture(picture, destination, ToPixels(piece.source));
  }
  surface_.PresentImage();
  surface_.PlaceCaption((H - surface_.CaptionHeightTwips() - 20) / 2.0, 0, W);
  drawn_ = true;
  last_drawn_ = picture;
}

void CommandButton::DrawGradient() {
  const auto v = GradientVertices(surface_.InnerWidth(), surface_.InnerHeight(), InvertGradient_);
  surface_.FillGradient(v[0], v[1]);
}

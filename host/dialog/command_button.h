#pragma once
// "Veloran.Command", the host's skinned push button: a vertical gradient body framed
// by a border cut from one of six state pictures, a centred caption on top, hover,
// focus and press tracked by the control itself, and one event, Click.
//
// CommandButton is the control's behaviour: its state machine, its drawing geometry
// and its persisted properties. It draws and asks through a ButtonSurface, which each
// platform implements with a real control (a window class on Windows, a widget in FLTK).
// Geometry is in twips (15 per pixel at 96 dots per inch); the surface is handed
// pixel rectangles.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "property_bag.h"
#include "runtime.h"

// The six state pictures, in the order the host's assets number them.
enum class ButtonPicture : std::uint8_t { Normal, HighLight, HighLightSelect, Selected, Pressed, Disable };
inline constexpr int kButtonPictureCount = 6;
// Every state picture is 64 x 25 pixels; only its outer 4-pixel band is ever shown.
inline constexpr int kButtonPictureWidth = 64;
inline constexpr int kButtonPictureHeight = 25;

enum class MouseButton : std::uint8_t { Left, Right, Middle };

// A rectangle as x, y, width, height (twips or pixels, as the name says).
struct Rect16 {
  std::int16_t x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Rect16& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};
struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PixelRect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

// One vertex of the body gradient, laid out as the platform's gradient vertex: pixel
// position, 16-bit channels whose high byte is the colour, alpha 0.
struct GradientVertex {
  std::int32_t x = 0, y = 0;
  std::uint16_t red = 0, green = 0, blue = 0, alpha = 0;
};

// One border piece: where it goes in the body and where it comes from in the picture.
struct BorderPiece {
  Rect16 destination;
  Rect16 source;
};
// Top-left, top, top-right, right, bottom-right, bottom, bottom-left, left: the order
// the pieces are copied in.
using BorderPieces = std::array<BorderPiece, 8>;

// What the control needs of its platform.
class ButtonSurface {
 public:
  virtual ~ButtonSurface() = default;
  // The control's size in twips and its inner size in pixels.
  virtual int WidthTwips() = 0;
  virtual int HeightTwips() = 0;
  virtual int InnerWidth() = 0;
  virtual int InnerHeight() = 0;
  virtual int TwipsPerPixel() = 0;

  // The persistent image of the body: cleared, drawn into, then presented (the
  // platform repaints from it).
  virtual void ClearImage() = 0;
  // A vertical gradient over the rectangle between the two vertices: the top row in
  // vertices[0]'s colour, the row of vertices[1] (not itself filled) in its colour.
  virtual void FillGradient(const GradientVertex& top_left, const GradientVertex& bottom_right) = 0;
  // Copies `source` of a state picture into `destination` of the image, stretching.
  virtual void CopyPicture(ButtonPicture picture, const PixelRect& destination, const PixelRect& source) = 0;
  virtual void PresentImage() = 0;
  // An opaque body shows the image; a transparent one only the caption.
  virtual void SetBodyOpaque(bool opaque) = 0;

  // The caption label.
  virtual void SetCaptionText(const std::string& utf8) = 0;
  virtual std::string CaptionText() = 0;
  virtual void SetCaptionFont(const FontSpec& font) = 0;
  virtual FontSpec CaptionFont() = 0;
  // Colour as 0x00BBGGRR; false when the label refused it.
  virtual bool SetCaptionColour(std::uint32_t colour) = 0;
  virtual bool CaptionColour(std::uint32_t* colour) = 0;
  // Disabled shows the platform's disabled-text look.
  virtual void SetCaptionEnabled(bool enabled) = 0;
  virtual int CaptionHeightTwips() = 0;
  virtual void PlaceCaption(double top_twips, int left_twips, int width_twips) = 0;

  // The control's own window, its parent's, and the window under the pointer (0 when
  // the pointer cannot be read).
  virtual WindowHandle OwnWindow() = 0;
  virtual WindowHandle ParentWindow() = 0;
  virtual WindowHandle WindowUnderPointer() = 0;
  // A timer on the user-interface thread, created stopped.
  virtual std::unique_ptr<FormTimer> CreateTimer(unsigned interval_ms, std::function<void()> tick) = 0;
  // Tells the container a property changed ("Enabled", "Caption", ...).
  virtual void PropertyChanged(const char* name) = 0;
  virtual FontSpec ContainerFont() = 0;
};

class CommandButton {
 public:
  // Visual states. 0 until Initialize.
  enum : std::uint8_t { kNormal = 1, kHighLight = 2, kSelected = 3, kHighLightSelect = 4 };
  static constexpr unsigned kPollIntervalMs = 100;
  static constexpr std::uint32_t kBlack = 0;
  // The body of a fresh instance, before its container places it: 117 x 28 pixels.
  static constexpr int kDesignWidthTwips = 1755;
  static constexpr int kDesignHeightTwips = 420;

  // A fresh instance: state 0, disabled, never loaded, nothing drawn, poll stopped;
  // its caption "Command" in black, in the dialog's font.
  explicit CommandButton(ButtonSurface& surface);

  // Raised after the release of a mouse button (see OnMouseUp).
  std::function<void()> Click;

  // State 1 and the hover poll on (every 100 ms). Calling it again resets the state
  // without drawing.
  void Initialize();

  // --- Properties ---
  bool Enabled();  // a fresh instance's first read turns it into a working button
  void SetEnabled(bool enabled);
  std::uint8_t Visible();  // 0 transparent body, else 255
  void SetVisible(std::uint8_t value);
  std::uint32_t FontColour();
  void SetFontColour(std::uint32_t colour);
  std::string Caption();
  void SetCaption(const std::string& utf8);
  FontSpec Font();
  void SetFont(const FontSpec& font);

  // The six persisted properties. Loading reads them (a missing or unreadable key
  // gives its read default) and draws the Normal look when enabled; saving writes
  // those that differ from their write default.
  void LoadProperties(const PropertyBag& bag);
  void SaveProperties(PropertyBag& bag);

  // --- Notifications from the platform, on the user-interface thread ---
  void OnResize();
  void OnFocusGained();
  void OnFocusLost();
  void OnMouseDown(MouseButton button);
  void OnMouseMove();
  // Raises Click unless the control is in state 3 (focused, pointer seen outside).
  void OnMouseUp(MouseButton button);
  void OnPollTick();
  // The space bar while the control has the focus: pressed, it shows Pressed;
  // released, it shows the state's look again and raises Click. Losing the focus in
  // between lets it go without a Click.
  void OnSpaceDown();
  void OnSpaceUp();

  std::uint8_t State() const { return State_; }
  bool InvertGradient() const { return InvertGradient_; }
  // The picture the body was last drawn from, or none yet.
  bool LastDrawn(ButtonPicture* picture) const;

  // The border pieces of a body W x H twips. A value that leaves the 16-bit range
  // keeps what `previous` held for it.
  static BorderPieces BorderGeometry(int width_twips, int height_twips, const BorderPieces& previous);
  // The gradient's two vertices for an inner size in pixels.
  static std::array<GradientVertex, 2> GradientVertices(int inner_width, int inner_height, bool invert);

 private:
  void DrawButton(ButtonPicture picture);
  void DrawGradient();
  void MouseLeave();
  void ShowEnabledState();
  void ApplyLook();
  PixelRect ToPixels(const Rect16& r);

  ButtonSurface& surface_;
  std::unique_ptr<FormTimer> TmrMouse;
  std::uint8_t State_ = 0;
  bool Enabled_ = false;
  std::uint8_t FirstRun = 0;
  bool LeftDown = false;
  bool SpaceDown = false;
  bool InvertGradient_ = false;
  bool opaque_ = true;
  BorderPieces border_{};
  bool drawn_ = false;
  ButtonPicture last_drawn_ = ButtonPicture::Normal;
};

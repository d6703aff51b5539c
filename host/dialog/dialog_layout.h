#pragma once
// Where the settings dialog's controls stand and what they show. Positions are in
// twips (15 per pixel) as left, top, width, height; those of the panel's controls are
// relative to the panel.

#include <array>
#include <cstdint>

#include "dialog_view.h"

// The client area: 495 x 246 pixels.
inline constexpr int kDialogClientWidthTwips = 7425;
inline constexpr int kDialogClientHeightTwips = 3690;

enum class ControlKind {
  Panel,         // picture box tiled with the strip, light grey behind it
  Label,         // transparent, one line unless taller
  AddressLabel,  // transparent, white, underlined, pointing-hand cursor
  Command,       // the skinned button
  KindMark,      // radio mark picture of a kind
  KindLabel,     // the kind's label; a press on it selects the kind
  Combo,         // the track combo box, white
  Frame,         // rectangle with a black border
};

enum class LabelColour { Black, White };

struct ControlPlace {
  const char* name;  // the control's name, with its index in a control array
  ControlKind kind;
  bool in_panel;
  int left, top, width, height;  // twips
  const char* text;              // UTF-8, or null
  LabelColour colour;
  bool centred;
  int index;  // the kind of a mark or kind label; the button of a Command
};

inline constexpr int kDialogControlCount = 17;
extern const std::array<ControlPlace, kDialogControlCount> kDialogLayout;

// The stored properties each Command control is loaded from (property_bag.h format).
const char* StoredButtonProperties(DialogButton which);

// The two pictures the marks are taken from, and the strip's holder, stand outside
// the client area and are never seen; only their pictures are used. Sizes in pixels:
inline constexpr int kKindMarkSize = 12;
inline constexpr int kStripWidth = 556;
inline constexpr int kStripHeight = 20;

// Texts shared with the platforms.
extern const char kCreditText[];      // "Designed by qorin Ver.1.0.0"
extern const char kFileFilterName[];  // "BGMﾌｧｲﾙ (MP3 WAV)"
extern const char kFileFilterPattern[];
extern const char kOpenFileTitle[];  // "ﾌｧｲﾙを開く"
// The message box Set shows when the settings file could not be written: its title
// (the host's other message box has the same) and its text, the file's path going on
// a line of its own below it.
extern const char kMessageTitle[];    // "Veloran"
extern const char kSaveFailedText[];  // "設定を保存できませんでした。"

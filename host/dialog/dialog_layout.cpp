#include "dialog_layout.h"

#include "veloran_names.h"

const char kCreditText[] = "Designed by qorin Ver.1.0.0";
const char kFileFilterName[] = "BGMﾌｧｲﾙ (MP3 WAV)";
const char kFileFilterPattern[] = "*.MP3;*.WAV";
const char kOpenFileTitle[] = "ﾌｧｲﾙを開く";
const char kMessageTitle[] = "Veloran";
const char kSaveFailedText[] = "設定を保存できませんでした。";

namespace {
constexpr auto B = LabelColour::Black;
constexpr auto W = LabelColour::White;
}  // namespace

// clang-format off
const std::array<ControlPlace, kDialogControlCount> kDialogLayout = {{
  // name           kind                     panel  left  top   width height text                colour centred index
  {"Pic_C",         ControlKind::Panel,        false, 180,  240, 7035, 2475, nullptr,            B, false, 0},
  {"lbl(7)",        ControlKind::Label,        false, 180, 2880, 2475,  195, kCreditText,        W, false, 0},
  {"lbl_URL",       ControlKind::AddressLabel, false, 180, 3120, 3285,  195, kHomePageAddress,   W, false, 0},
  {"Cmd_Set",       ControlKind::Command,      false, 4740, 3000, 1215, 375, nullptr,            B, true,  static_cast<int>(DialogButton::Set)},
  {"Cmd_Can",       ControlKind::Command,      false, 6000, 3000, 1215, 375, nullptr,            B, true,  static_cast<int>(DialogButton::Cancel)},
  {"Shape3(3)",     ControlKind::Frame,        true,  300,  300, 1695,  315, nullptr,            B, false, 0},
  {"lbl(15)",       ControlKind::Label,        true,  300,  360, 1665,  195, "BGM",              B, true,  0},
  {"Img_BGM(1)",    ControlKind::KindMark,     true,  420,  840,  195,  195, nullptr,            B, false, 1},
  {"lbl_BGM(1)",    ControlKind::KindLabel,    true,  660,  840,  645,  195, "音楽CD",           B, false, 1},
  {"BGM_Repeat",    ControlKind::Combo,        true, 1680,  780,  615,  300, nullptr,            B, false, 0},
  {"lbl(14)",       ControlKind::Label,        true, 2340,  840,  990,  195, "曲目をﾘﾋﾟｰﾄ",      B, false, 0},
  {"Img_BGM(0)",    ControlKind::KindMark,     true,  420, 1140,  195,  195, nullptr,            B, false, 0},
  {"lbl_BGM(0)",    ControlKind::KindLabel,    true,  660, 1140,  330,  195, "なし",             B, false, 0},
  {"Img_BGM(2)",    ControlKind::KindMark,     true,  420, 1440,  195,  195, nullptr,            B, false, 2},
  {"lbl_BGM(2)",    ControlKind::KindLabel,    true,  660, 1440,  900,  195, "MP3、WAV",         B, false, 2},
  {"Cmd_File",      ControlKind::Command,      true,  600, 1680,  435,  375, nullptr,            B, true,  static_cast<int>(DialogButton::File)},
  {"lbl_Fname",     ControlKind::Label,        true, 1080, 1740, 5715,  495, nullptr,            B, false, 0},
}};
// clang-format on

const char* StoredButtonProperties(DialogButton which) {
  switch (which) {
    case DialogButton::File: return "Caption=...\nFont=\"ＭＳ Ｐゴシック\",9.75,400,0,0,0,128\n";
    case DialogButton::Set: return "Caption=設定\nFont=\"ＭＳ Ｐゴシック\",9.75,400,0,0,0,128\n";
    case DialogButton::Cancel: return "Caption=ｷｬﾝｾﾙ\nFont=\"ＭＳ Ｐゴシック\",9.75,400,0,0,0,128\n";
  }
  return "";
}

#include "settings_dialog.h"

#include <cmath>
#include <limits>

#include "dialog_layout.h"
#include "veloran_names.h"

namespace {

constexpr int kTrackItems = 30;
constexpr unsigned kFileNameBuffer = 255;

}  // namespace

RowColour BackgroundRow(int i, int height) {
  const double h = height;
  const double v = std::nearbyint(std::fabs(std::sin(i / (h / 3.142))) * 220.0);
  const auto c = static_cast<std::uint8_t>(v);
  return {c, c, static_cast<std::uint8_t>(v + 30)};
}

std::vector<RowColour> BackgroundRows(int height) {
  std::vector<RowColour> rows;
  if (height <= 0) return rows;
  rows.reserve(static_cast<size_t>(height) + 1);
  for (int i = 0; i <= height; ++i) rows.push_back(BackgroundRow(i, height));
  return rows;
}

std::vector<PixelPoint> TileOrigins(int panel_width, int panel_height, int tile_width, int tile_height) {
  std::vector<PixelPoint> origins;
  if (tile_width <= 0 || tile_height <= 0) return origins;
  for (int x = 0; x < panel_width; x += tile_width)
    for (int y = 0; y < panel_height; y += tile_height) origins.push_back({x, y});
  return origins;
}

std::int16_t TrackFromText(const std::string& text) {
  double value;
  if (!ParseDecimal(text, &value)) return 0;
  value = std::nearbyint(value);  // the default rounding: halves to the even neighbour
  if (value < std::numeric_limits<std::int16_t>::min()) return std::numeric_limits<std::int16_t>::min();
  if (value > std::numeric_limits<std::int16_t>::max()) return std::numeric_limits<std::int16_t>::max();
  return static_cast<std::int16_t>(value);
}

std::string TrackText(long track) { return track == 0 ? std::string() : std::to_string(track); }

SettingsDialog::SettingsDialog(Runtime& rt, MusicSettings& music, ZoomPoint& zoom)
    : rt_(rt), music_(music), zoom_(zoom) {}

void SettingsDialog::Load(DialogView& view) {
  view_ = &view;
  view.Button(DialogButton::File).Click = [this] { ChooseFile(); };
  view.Button(DialogButton::Set).Click = [this] { Save(); };
  view.Button(DialogButton::Cancel).Click = [this] { Cancel(); };

  view.MoveTo((view.ScreenWidthTwips() - view.WidthTwips()) / 2,
              (view.ScreenHeightTwips() - view.HeightTwips()) / 3);
  for (CommandButton* button : view.CommandControls()) button->Initialize();
  // The panel in pixels at the screen's resolution, which the strip covers whole.
  const int tpp_x = rt_.TwipsPerPixelX() > 0 ? rt_.TwipsPerPixelX() : 15;
  const int tpp_y = rt_.TwipsPerPixelY() > 0 ? rt_.TwipsPerPixelY() : 15;
  view.TilePanel(TileOrigins(kDialogLayout[0].width / tpp_x, kDialogLayout[0].height / tpp_y, kStripWidth,
                             kStripHeight));
  view.SetRepeatEnabled(false);
  ShowMarks(music_.BGM_Kind);
  if (music_.BGM_Kind == 1) view.SetRepeatEnabled(true);
  view.Button(DialogButton::File).SetEnabled(music_.BGM_Kind == 2);
  view.SetRepeatText(TrackText(music_.BGM_Track));
  for (int item = 0; item <= kTrackItems; ++item) view.AddRepeatItem(TrackText(item));
  view.SetFileLabel(music_.BGM_File);

  int x = 0, y = 0;
  const bool in_range =
      view.PointerPosition(&x, &y) && x >= INT16_MIN && x <= INT16_MAX && y >= INT16_MIN && y <= INT16_MAX;
  zoom_.Zoom_X = static_cast<std::int16_t>(in_range ? x : 0);
  zoom_.Zoom_Y = static_cast<std::int16_t>(in_range ? y : 0);
  ZoomOpen(rt_, zoom_, view.Handle());
  view.SetScreenPointer(ScreenPointer::Default);
}

void SettingsDialog::Resize() {
  if (view_ != nullptr) view_->PaintBackground(BackgroundRows(view_->ClientHeight()));
}

void SettingsDialog::Unload() {
  if (view_ != nullptr) ZoomClose(rt_, zoom_, view_->Handle());
}

// A kind outside 0 to 2 has no mark: all stay unselected.
void SettingsDialog::ShowMarks(int selected) {
  for (int i = 0; i < 3; ++i) view_->SetKindMark(i, i == selected);
}

void SettingsDialog::KindPressed(int index) { ApplyKind(index); }

void SettingsDialog::ApplyKind(int index) {
  music_.BGM_Kind = static_cast<std::int16_t>(index);
  view_->Button(DialogButton::File).SetEnabled(false);
  view_->SetRepeatEnabled(false);
  ShowMarks(index);
  if (index == 1) view_->SetRepeatEnabled(true);
  if (index == 2) view_->Button(DialogButton::File).SetEnabled(true);
}

void SettingsDialog::ChooseFile() {
  OpenFileRequest request;
  request.owner = view_->Handle();
  request.filter_name = kFileFilterName;
  request.filter_pattern = kFileFilterPattern;
  request.initial_folder = music_.BGM_Folder;
  request.title = kOpenFileTitle;
  request.max_file = kFileNameBuffer;
  std::string chosen;
  if (view_->OpenFile(request, &chosen) <= 0) return;
  music_.BGM_File = chosen.substr(0, chosen.find('\0'));
  view_->SetFileLabel(music_.BGM_File);
  music_.BGM_Folder = FolderOf(music_.BGM_File, rt_.Profile().Paths());
}

void SettingsDialog::Save() {
  music_.BGM_Track = TrackFromText(view_->RepeatText());
  if (!SaveSettings(rt_.Profile(), rt_.ProgramFolder(), music_)) {
    // The dialog stays, with the choice on it: to be set again, or cancelled.
    view_->ShowMessage(kSaveFailedText, SettingsFile(rt_.Profile(), rt_.ProgramFolder()));
    return;
  }
  view_->Unload();
}

void SettingsDialog::Cancel() { view_->Unload(); }

void SettingsDialog::AddressClicked() {
  view_->SetScreenPointer(ScreenPointer::Hourglass);
  view_->ShellOpen(kHomePageAddress);
  view_->SetScreenPointer(ScreenPointer::Default);
}

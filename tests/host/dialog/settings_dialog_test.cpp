// The settings dialog's behaviour: its load, the kind choice, the file choice and
// what Set writes, against a window double and a profile that records its writes.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "dialog_layout.h"
#include "fake_runtime.h"
#include "recording_surface.h"
#include "settings_dialog.h"

namespace {

class FakeView : public DialogView {
 public:
  RecordingSurface surfaces[3];
  CommandButton buttons[3] = {CommandButton(surfaces[0]), CommandButton(surfaces[1]),
                              CommandButton(surfaces[2])};
  int left = -1, top = -1;
  bool repeat_enabled = true;
  std::string repeat_text = "untouched";
  std::vector<std::string> items;
  std::string marks = "???";  // '1' selected, '0' unselected, per kind
  std::string file_label = "untouched";
  bool pointer_readable = true;
  int pointer_x = 640, pointer_y = 400;
  std::vector<std::string> pointer;
  std::vector<PixelPoint> tiles;
  std::vector<RowColour> rows;
  OpenFileRequest request;
  bool open_file_called = false;
  std::string choice;  // empty: the user cancels
  std::string opened;
  std::vector<std::string> messages;  // "text|path"
  int unloads = 0;
  DialogEvents* events = nullptr;

  FakeView() {
    for (auto& b : buttons) b.LoadProperties(PropertyBag());
  }
  bool FileButtonEnabled() { return surfaces[0].picture != ButtonPicture::Disable; }

  WindowHandle Handle() override { return 500; }
  int ScreenWidthTwips() override { return 1280 * 15; }
  int ScreenHeightTwips() override { return 1024 * 15; }
  int WidthTwips() override { return 7425 + 2 * 45; }
  int HeightTwips() override { return 3690 + 345; }
  void MoveTo(int l, int t) override { left = l, top = t; }
  int ClientWidth() override { return 495; }
  int ClientHeight() override { return 246; }
  void PaintBackground(const std::vector<RowColour>& r) override { rows = r; }
  void TilePanel(const std::vector<PixelPoint>& origins) override { tiles = origins; }
  std::vector<CommandButton*> CommandControls() override { return {&buttons[0], &buttons[1], &buttons[2]}; }
  CommandButton& Button(DialogButton which) override { return buttons[static_cast<int>(which)]; }
  void SetRepeatEnabled(bool e) override { repeat_enabled = e; }
  void SetRepeatText(const std::string& t) override { repeat_text = t; }
  void AddRepeatItem(const std::string& t) override { items.push_back(t); }
  std::string RepeatText() override { return repeat_text; }
  void SetKindMark(int i, bool selected) override { marks[i] = selected ? '1' : '0'; }
  void SetFileLabel(const std::string& path) override { file_label = path; }
  bool PointerPosition(int* x, int* y) override {
    *x = pointer_x, *y = pointer_y;
    return pointer_readable;
  }
  void SetScreenPointer(ScreenPointer p) override {
    pointer.push_back(p == ScreenPointer::Hourglass ? "hourglass" : "arrow");
  }
  std::int32_t OpenFile(const OpenFileRequest& r, std::string* chosen) override {
    request = r;
    open_file_called = true;
    if (choice.empty()) return 0;
    *chosen = choice + std::string(3, '\0');
    return 1;
  }
  void ShellOpen(const std::string& address) override { opened = address; }
  void ShowMessage(const std::string& text, const std::string& path) override {
    messages.push_back(text + "|" + path);
  }
  void Unload() override {
    ++unloads;
    events->Unload();
  }
  void Click(DialogButton which) { buttons[static_cast<int>(which)].OnMouseUp(MouseButton::Left); }
};

// Records every write of the settings file and keeps the values by key; the write
// numbered `failing` (1 the first) fails, as on a disk that is full for a moment.
class RecordingProfile : public EmptyProfile {
 public:
  std::vector<std::string> writes;
  std::map<std::string, std::string> values;
  size_t failing = 0;
  std::uint32_t GetString(const char*, const char* key, const char* default_value, char* buffer,
                          std::uint32_t size, const char*) override {
    const auto it = values.find(key);
    const std::string value = it == values.end() ? default_value : it->second;
    const size_t n = value.copy(buffer, size - 1);
    buffer[n] = '\0';
    return static_cast<std::uint32_t>(n);
  }
  std::int32_t WriteString(const char* section, const char* key, const char* value, const char*) override {
    writes.push_back(std::string(section) + "|" + key + "|" + value);
    if (writes.size() == failing) return 0;
    values[key] = value;
    return 1;
  }
  // What a reader of the file gets for the three keys.
  std::vector<std::string> Read() {
    std::vector<std::string> read;
    for (const char* key : {kKeyKind, kKeyTrack, kKeyFile}) read.push_back(GetIni(*this, "Section", key, ""));
    return read;
  }
};

// The runtime's profile is the recording one for these tests.
class ProfileRuntime : public FakeRuntime {
 public:
  RecordingProfile recording;
  ProfileFile& Profile() override { return recording; }
};

struct Dialog {
  ProfileRuntime rt;
  MusicSettings music;
  ZoomPoint zoom;
  FakeView view;
  SettingsDialog dialog{rt, music, zoom};
  explicit Dialog(int kind = 0, int track = 0, std::string file = "") {
    music.BGM_Kind = static_cast<std::int16_t>(kind);
    music.BGM_Track = static_cast<std::int16_t>(track);
    music.BGM_File = std::move(file);
    music.BGM_Folder = "C:\\Saver";
    view.events = &dialog;
    rt.rects[500] = ScreenRect{392, 330, 887, 598};
  }
  void Load() {
    dialog.Load(view);
    rt.log.clear();
  }
};

// The stored choice as loaded, and after a kind is picked.
TEST(SettingsDialog, LoadShowsTheStoredChoiceAndKindChoice) {
  struct Row {
    int kind, track, pick;  // pick: the kind then pressed, -1 none
    const char* marks;
    bool repeat_enabled, file_enabled;
    const char* repeat_text;
  };
  // clang-format off
  for (const Row& r : {Row{0, 0, -1, "100", false, false, ""},   Row{1, 7, -1, "010", true, false, "7"},
                       Row{2, 12, -1, "001", false, true, "12"}, Row{5, -3, -1, "000", false, false, "-3"},
                       Row{-1, 30, -1, "000", false, false, "30"},
                       Row{0, 0, 1, "010", true, false, ""},     Row{1, 0, 2, "001", false, true, ""},
                       Row{2, 0, 0, "100", false, false, ""},    Row{0, 0, 2, "001", false, true, ""}}) {
    // clang-format on
    Dialog d(r.kind, r.track, "C:\\Music\\a.mp3");
    d.dialog.Load(d.view);
    if (r.pick >= 0) d.dialog.KindPressed(r.pick);
    SCOPED_TRACE(std::to_string(r.kind) + " then " + std::to_string(r.pick));
    EXPECT_EQ(d.music.BGM_Kind, r.pick >= 0 ? r.pick : r.kind);
    EXPECT_EQ(d.view.marks, r.marks);
    EXPECT_EQ(d.view.repeat_enabled, r.repeat_enabled);
    EXPECT_EQ(d.view.FileButtonEnabled(), r.file_enabled);
    EXPECT_EQ(d.view.repeat_text, r.repeat_text);
  }
  Dialog d(1, 0, "C:\\Music\\a.mp3");
  d.dialog.Load(d.view);
  // Placed at a half and a third of the free space (twips, truncated).
  EXPECT_EQ(d.view.left, (1280 * 15 - 7515) / 2);
  EXPECT_EQ(d.view.top, (1024 * 15 - 4035) / 3);
  EXPECT_EQ(d.view.repeat_text, "");
  ASSERT_EQ(d.view.items.size(), 31u);
  EXPECT_EQ(d.view.items.front(), "");
  EXPECT_EQ(d.view.items[1], "1");
  EXPECT_EQ(d.view.items.back(), "30");
  EXPECT_EQ(d.view.file_label, "C:\\Music\\a.mp3");
  for (auto& b : d.view.buttons) EXPECT_EQ(b.State(), CommandButton::kNormal);  // initialised
  // The strips cover the panel at the screen's resolution: 469 x 165 pixels at 15
  // twips a pixel (one column of nine), 586 x 206 at 12 (two columns of eleven).
  for (auto [tpp, count, last] :
       {std::tuple{15, 9u, PixelPoint{0, 160}}, std::tuple{12, 22u, PixelPoint{556, 200}}}) {
    Dialog e(1);
    e.rt.twips_per_pixel = tpp;
    e.dialog.Load(e.view);
    ASSERT_EQ(e.view.tiles.size(), count) << tpp;
    EXPECT_EQ(e.view.tiles.back(), last) << tpp;
  }
  // The zoom starts at the pointer and ends on the window; the arrow comes back.
  EXPECT_EQ(d.zoom.Zoom_X, 640);
  EXPECT_EQ(d.zoom.Zoom_Y, 400);
  EXPECT_EQ(d.rt.log.back(), "zoom 640,400,640,400 -> 392,330,887,598");
  EXPECT_EQ(d.view.pointer, (std::vector<std::string>{"arrow"}));

  // A pointer that cannot be read, or beyond the 16-bit range, zooms from 0, 0.
  for (bool readable : {false, true}) {
    Dialog e;
    e.view.pointer_readable = readable;
    e.view.pointer_x = readable ? 40000 : 5;
    e.dialog.Load(e.view);
    EXPECT_EQ(e.zoom.Zoom_X, 0);
    EXPECT_EQ(e.zoom.Zoom_Y, 0);
  }
}

TEST(SettingsDialog, FileChoice) {
  // Cancelled: nothing changes. The dialog opens in the current folder.
  Dialog d(2, 0, "C:\\Music\\a.mp3");
  d.music.BGM_Folder = "C:\\Music";
  d.Load();
  d.view.Click(DialogButton::File);
  ASSERT_TRUE(d.view.open_file_called);
  EXPECT_EQ(d.view.request.initial_folder, "C:\\Music");
  EXPECT_EQ(d.view.request.filter_name, "BGMﾌｧｲﾙ (MP3 WAV)");
  EXPECT_EQ(d.view.request.filter_pattern, "*.MP3;*.WAV");
  EXPECT_EQ(d.view.request.title, "ﾌｧｲﾙを開く");
  EXPECT_EQ(d.view.request.max_file, 255u);
  EXPECT_EQ(d.view.request.owner, 500u);
  EXPECT_EQ(d.music.BGM_File, "C:\\Music\\a.mp3");
  EXPECT_EQ(d.view.file_label, "C:\\Music\\a.mp3");

  // Chosen: the file (up to its first NUL), its label and its folder.
  d.view.choice = d.rt.Profile().Paths().separator == '\\' ? "D:\\Songs\\b.wav" : "/home/u/Songs/b.wav";
  d.view.Click(DialogButton::File);
  EXPECT_EQ(d.music.BGM_File, d.view.choice);
  EXPECT_EQ(d.view.file_label, d.view.choice);
  EXPECT_EQ(d.music.BGM_Folder,
            d.view.choice.substr(0, d.view.choice.rfind(d.rt.Profile().Paths().separator)));
  EXPECT_EQ(d.view.unloads, 0);
}

TEST(SettingsDialog, SetWritesTheThreeKeysCancelNothing) {
  struct Row {
    int kind;
    const char* typed;
    const char* file;
    const char* kind_text;  // null: nothing can be saved
    const char* track_text;
    size_t failing = 0;  // the write that fails
  };
  // clang-format off
  const Row rows[] = {
      {1, "2.5", "", " 1", " 2"},       {1, "3.5", "", " 1", " 4"},
      {1, "abc", "", " 1", " 0"},       {1, "", "", " 1", " 0"},
      {0, "7", "", " 0", " 7"},         {2, " 12 ", "C:\\M\\x.mp3", " 2", " 12"},
      {1, "99999", "", " 1", " 32767"}, {1, "-40000", "", " 1", "-32768"},
      {1, "-2", "", " 1", "-2"},        {1, "1e1", "", " 1", " 10"},
      {1, "&H10", "", " 1", " 0"},      {1, "1e999", "", " 1", " 32767"},
      {1, "-1e999", "", " 1", "-32768"}, {1, "1000e306", "", " 1", " 32767"},
      {1, "100000e-330", "", " 1", " 0"},
      // The file cannot be written: the dialog stays and says so, naming the file,
      // which keeps what it held, however far the writes went; Cancel still closes.
      {0, "4", "", nullptr, nullptr, 1}, {2, "4", "C:\\M\\x.mp3", nullptr, nullptr, 2},
      {2, "4", "C:\\M\\x.mp3", nullptr, nullptr, 3},
      {2, "4", "/home/u/a\nb.mp3", nullptr, nullptr},  // a line break cannot be stored
  };
  // clang-format on
  for (const Row& r : rows) {
    Dialog d(r.kind, 0, r.file);
    RecordingProfile& profile = d.rt.recording;
    profile.failing = r.failing;
    profile.values = {{kKeyKind, " 1"}, {kKeyTrack, " 9"}};  // no file key yet
    d.dialog.Load(d.view);
    d.view.repeat_text = r.typed;
    d.view.Click(DialogButton::Set);
    SCOPED_TRACE(r.typed + std::string(" ") + r.file);
    if (r.kind_text == nullptr) {
      EXPECT_EQ(d.view.messages,
                (std::vector<std::string>{"設定を保存できませんでした。|C:\\Saver\\Veloran.ini"}));
      EXPECT_EQ(d.view.unloads, 0);
      EXPECT_EQ(profile.Read(), (std::vector<std::string>{" 1", " 9", ""}));
      d.view.Click(DialogButton::Cancel);
      EXPECT_EQ(d.view.unloads, 1);
      EXPECT_EQ(profile.Read(), (std::vector<std::string>{" 1", " 9", ""}));
      continue;
    }
    const std::string section = "Section|";
    EXPECT_EQ(profile.writes, (std::vector<std::string>{section + kKeyKind + "|" + r.kind_text,
                                                        section + kKeyTrack + "|" + r.track_text,
                                                        section + kKeyFile + "|" + r.file}));
    EXPECT_TRUE(d.view.messages.empty());
    EXPECT_EQ(d.view.unloads, 1);
  }
  // Cancel: the window closes (with the closing zoom), nothing is written.
  Dialog d;
  d.rt.rects[500] = ScreenRect{1, 2, 3, 4};
  d.dialog.Load(d.view);
  d.dialog.KindPressed(2);
  d.view.choice = "C:\\x.mp3";
  d.view.Click(DialogButton::File);
  d.view.Click(DialogButton::Cancel);
  EXPECT_TRUE(d.rt.recording.writes.empty());
  EXPECT_EQ(d.view.unloads, 1);
  EXPECT_EQ(d.rt.log.back(), "zoom 1,2,3,4 -> 640,400,640,400");
}

TEST(SettingsDialog, AddressAndBackground) {
  Dialog d;
  d.Load();
  d.dialog.AddressClicked();
  EXPECT_EQ(d.view.opened, "https://qorin.example/veloran/");
  EXPECT_EQ(d.view.pointer, (std::vector<std::string>{"arrow", "hourglass", "arrow"}));

  // Dark blue-black at the edges, (220, 220, 250) in the middle, on all H + 1 rows.
  d.dialog.Resize();
  ASSERT_EQ(d.view.rows.size(), 247u);
  struct Row {
    int i;
    RowColour colour;
  };
  for (const Row& r : {Row{0, {0, 0, 30}}, Row{1, {3, 3, 33}}, Row{123, {220, 220, 250}},
                       Row{61, {155, 155, 185}}, Row{246, {0, 0, 30}}}) {
    EXPECT_EQ(d.view.rows[r.i], r.colour) << r.i;
  }
}

}  // namespace

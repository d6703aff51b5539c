#pragma once
// What the host asks of its platform: the program (command line, own folder, the end,
// the one message box), files and processes, windows found by title, the cursor
// count, a clock, timers on the user-interface thread, the host's two plain forms, and
// the profile file that keeps the settings, and the media commands that play music.
//
// Windows paths are passed as the host spells them ("C:\qorin\Veloran1.bmp", program
// folder + "\Veloran.dll"); each platform maps them to what it opens.
// win32/ and x11/ hold the two platforms' implementations; tests use doubles.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct Picture;      // assets.h
class DialogEvents;  // dialog/dialog_view.h

// A top-level or child window of any process: an HWND on Windows, an X window id on
// Linux. 0 is no window.
using WindowHandle = std::uint64_t;

// A window's rectangle in screen pixels.
struct ScreenRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// How a platform spells paths: its folder separator and its drive mark (':' on
// Windows, none on Linux).
struct PathStyle {
  char separator;
  char drive_mark;  // '\0' when the platform has no drive letters
};
inline constexpr PathStyle kWindowsPaths = {'\\', ':'};
inline constexpr PathStyle kLinuxPaths = {'/', '\0'};

// The platform's profile (INI) file calls, and the files they work on.
class ProfileFile {
 public:
  virtual ~ProfileFile() = default;
  // Copies the value of `key` in `section` of `file` into `buffer` (at most size - 1
  // bytes and a NUL), or `default_value` when the file, section or key is missing.
  // Returns the number of bytes copied, without the NUL.
  virtual std::uint32_t GetString(const char* section, const char* key, const char* default_value,
                                  char* buffer, std::uint32_t size, const char* file) = 0;
  // Sets `key` in `section` of `file` to `value`, creating the file, the section and
  // the key as needed. Non-zero on success, 0 when the file could not be written.
  virtual std::int32_t WriteString(const char* section, const char* key, const char* value,
                                   const char* file) = 0;
  // True when `path` can be opened for reading as a file (folders cannot). The file is
  // closed again at once.
  virtual bool OpenForReading(const std::string& path) = 0;
  // The file the settings live in, for the Windows name "<program folder>\Veloran.ini"
  // (on Windows that name itself).
  virtual std::string SettingsFilePath(const std::string& windows_name) = 0;
  // How paths of this platform are spelt.
  virtual PathStyle Paths() const = 0;
};

// The platform's media control and wave-sound calls, which the music player drives
// with command strings ("open cdaudio", "status MP3Play mode", "play MP3Play from 0").
// On Windows these are the multimedia library's own calls; on Linux a layer of ours
// accepts the same strings and answers the same way.
class MediaCommands {
 public:
  virtual ~MediaCommands() = default;
  // Sends one command string. The reply text (at most length - 1 bytes and a NUL)
  // goes to `reply` unless it is null. 0 on success, else an error code.
  virtual std::uint32_t SendString(const std::string& command, char* reply, std::uint32_t length) = 0;
  // The text of an error code (at most length - 1 bytes and a NUL); false when the
  // code has none.
  virtual bool GetErrorString(std::uint32_t code, char* text, std::uint32_t length) = 0;
  // The number of wave output devices (0: nothing can sound).
  virtual std::uint32_t WaveOutDevices() = 0;
  // Plays the wave file `name` with the wave-sound flags (kSoundAsync | kSoundLoop: in
  // the background, over and over; kSoundNoDefault: nothing at all, rather than the
  // system's default sound, when the file cannot be played); a null name stops the
  // sound playing.
  virtual bool PlayWave(const char* name, std::uint32_t flags) = 0;
};
inline constexpr std::uint32_t kSoundAsync = 0x0001;
inline constexpr std::uint32_t kSoundNoDefault = 0x0002;
inline constexpr std::uint32_t kSoundLoop = 0x0008;

// A form timer: ticks every interval while on, on the user-interface thread.
// Switching on a timer that is already on changes nothing.
class FormTimer {
 public:
  virtual ~FormTimer() = default;
  virtual void SetEnabled(bool on) = 0;
  virtual bool Enabled() const = 0;
};

// The preview form's window: borderless, black, carrying one picture at its top-left.
class PreviewWindow {
 public:
  virtual ~PreviewWindow() = default;
  // Adds the child style to the window's style; returns the platform call's result.
  virtual std::int32_t AddChildStyle() = 0;
  // Makes `parent` the window's parent; returns the platform call's result.
  virtual std::int64_t SetParent(WindowHandle parent) = 0;
  // Position and size in pixels, inside the parent's client area.
  virtual void Move(int left, int top, int width, int height) = 0;
  // Size of the picture control (the picture itself is drawn unscaled from 0, 0).
  virtual void SetPictureSize(int width, int height) = 0;
  virtual void Show() = 0;
  // The window's owner (0 when none).
  virtual WindowHandle Owner() = 0;
  // Posts a close request to the window itself; returns the platform call's result.
  virtual std::int32_t PostClose() = 0;
};

class Runtime {
 public:
  virtual ~Runtime() = default;

  // --- Program ---
  // The argument text without the program path.
  virtual std::string CommandLine() = 0;
  // The folder holding the running host program, without a trailing separator.
  virtual std::string ProgramFolder() = 0;
  // Ends the program at once; no further form handlers run. Callers return right
  // after it (a test double records the call and returns).
  virtual void EndProgram() = 0;
  // Modal message box, OK button only, titled with the application title. The text
  // is UTF-8; each platform converts it for its own message box.
  virtual void ShowMessage(const std::string& utf8_text) = 0;
  // Whether window numbers on the command line may also be written in hex ("0x...").
  virtual bool HexWindowNumbers() const = 0;
  // Milliseconds of a steady clock (never goes back).
  virtual std::int64_t Milliseconds() = 0;

  // --- Files and processes ---
  // Creates one folder level; false when it could not be made (or already exists).
  virtual bool CreateFolder(const std::string& windows_path) = 0;
  // Writes `bytes` completely under a temporary name in the same folder, then puts
  // that file in place of `windows_path`. Readers never see a partial file.
  virtual bool WriteFileReplacing(const std::string& windows_path, const std::string& bytes) = 0;
  // Starts a program by its full path, no arguments, normal focused window, without
  // waiting. Returns its task number, 0 when it could not be started.
  virtual std::int32_t StartProgram(const std::string& windows_path) = 0;
  // Whether a program this runtime started (by its task number) is still running.
  virtual bool ProgramRunning(std::int32_t task) = 0;
  // The settings file's profile calls.
  virtual ProfileFile& Profile() = 0;
  // The media control and wave-sound calls of the music player.
  virtual MediaCommands& Media() = 0;

  // --- Windows and the screen ---
  // A top-level window with exactly this title, of any class and process, hidden ones
  // included; 0 when there is none.
  virtual WindowHandle FindTopWindow(const std::string& title) = 0;
  // Moves the cursor's display count by one (up when `show`); returns the new count.
  virtual std::int32_t ShowCursor(bool show) = 0;
  // The window's rectangle in screen pixels; false (rect untouched) when it fails.
  virtual bool GetWindowRect(WindowHandle window, ScreenRect* rect) = 0;
  // The caption zoom animation from one rectangle to another.
  virtual void DrawAnimatedRects(WindowHandle window, const ScreenRect& from, const ScreenRect& to) = 0;
  // Twips per screen pixel (15 at 96 dots per inch).
  virtual int TwipsPerPixelX() = 0;
  virtual int TwipsPerPixelY() = 0;

  // --- Forms and timers ---
  // Loads a form that is never shown: its window exists, hidden, with this caption,
  // so FindTopWindow in any process finds it. `unload_request` runs when the system
  // asks the form to unload (session end, a close request, a termination signal).
  virtual void LoadHiddenForm(const std::string& caption, std::function<void()> unload_request) = 0;
  // A timer, created on or off.
  virtual std::unique_ptr<FormTimer> CreateTimer(unsigned interval_ms, bool enabled,
                                                 std::function<void()> tick) = 0;
  // Loads the preview form (not yet shown) with its caption and picture. When the
  // form's window goes (destroyed along with its parent, or closed) `unload` runs,
  // the form is unloaded, and with no form left the program ends.
  virtual std::unique_ptr<PreviewWindow> LoadPreviewForm(const std::string& caption, const Picture& picture,
                                                         std::function<void()> unload) = 0;
  // Shows the settings dialog modally, with no owner, and returns once it has closed.
  // The window and its controls send their notifications to `events`.
  virtual void ShowSettingsDialog(DialogEvents& events) = 0;

  // --- Desktop screen-saver daemons (X11; Windows has none, hence the defaults) ---
  // Whether this platform's daemons may start the host as their screen-saver program;
  // `window` gets the window they name in the environment ("" when unset).
  virtual bool DaemonWindowVariable(std::string* window) {
    (void)window;
    return false;
  }
  // Starts the renderer (as StartProgram) drawing inside `window`, 0 meaning the root
  // window. Its task number, 0 when it could not be started.
  virtual std::int32_t StartEmbeddedRenderer(const std::string& windows_path, WindowHandle window) {
    (void)windows_path, (void)window;
    return 0;
  }
  // Ends a program this runtime started, if it still runs, without waiting long.
  virtual void EndProgramTask(std::int32_t task) { (void)task; }
};

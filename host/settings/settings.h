#pragma once
// The host's settings file and its helpers: the music settings, the profile reader
// and writer wrappers, the loader and the two path helpers.
//
// The file is a profile (INI) file with one section "Section" and three keys whose
// names are text in code page 932. Strings here are bytes: names and values are
// passed to the platform exactly as they stand.

#include <cstdint>
#include <string>

#include "runtime.h"

// --- Music settings ---

// The music choice: filled once at start-up by LoadSettings, then handed by reference
// to the saver run and the music player (and edited by the settings dialog).
struct MusicSettings {
  int16_t BGM_Kind = 0;    // 0 none, 1 audio CD, 2 MP3 or WAV file
  int16_t BGM_Track = 0;   // CD track to repeat, 0 none
  std::string BGM_File;    // full path of the music file, or empty
  std::string BGM_Folder;  // start folder of the file chooser
};

// Result of the most recent platform call made through the host's own declarations.
extern int32_t API_Result;

// --- File layout ---

extern const char kSettingsSection[];  // "Section"
extern const char kKeyKind[];          // "BGM区分" in code page 932
extern const char kKeyTrack[];         // "BGMﾘﾋﾟｰﾄ" in code page 932
extern const char kKeyFile[];          // "BGMﾌｧｲﾙ" in code page 932

// --- Profile helpers ---

// Reads one value; empty when the file, the section or the key is missing.
// Values longer than 255 bytes come back cut to 255 bytes.
std::string GetIni(ProfileFile& profile, const std::string& section, const std::string& key,
                   const std::string& file);

// Writes one value and puts the writer's result (non-zero on success) into API_Result.
// Section and key names longer than 128 characters are cut to 128. A CR or LF in the
// section, key or value is refused: API_Result 0, the file left as it is. Always
// returns "".
std::string PutIni(ProfileFile& profile, const std::string& section, const std::string& key,
                   const std::string& value, const std::string& file);

// The settings file this platform uses: on Windows the program folder followed by
// "\Veloran.ini"; on Linux the per-user copy in $XDG_CONFIG_HOME/veloran/Veloran.ini.
std::string SettingsFile(ProfileFile& profile, const std::string& program_folder);

// The music settings in the settings file of the host in `program_folder`.
MusicSettings LoadSettings(ProfileFile& profile, const std::string& program_folder);

// Writes BGM_Kind, BGM_Track (as signed decimal text) and BGM_File, in that order,
// and returns true when all three were written. Otherwise the file keeps the settings
// it held, and false: a value the writer refuses (a line break) is found before
// anything is written, and when a write fails the keys written before it get back
// the values they held (a key that was missing comes back empty, which reads the
// same). API_Result is 0 after a failure.
bool SaveSettings(ProfileFile& profile, const std::string& program_folder, const MusicSettings& music);

// --- Path helpers ---

// True when the path names a file that can be opened for reading. A trailing
// separator is dropped first; folders, missing and unreadable files give false.
bool FileExists(ProfileFile& profile, const std::string& path);

// The folder part of a path spelt in `style`: everything before the last separator
// (or, on Windows, drive colon), with a trailing separator removed.
// "C:\Music\a.mp3" -> "C:\Music", "C:\a.mp3" -> "C:", "C:a.mp3" -> "C:", "a.mp3" -> "".
std::string FolderOf(const std::string& path, const PathStyle& style);

// --- Numbers in the file ---

// Reads a decimal number as the settings file and the dialog's typed track spell it,
// whatever the locale: blanks (space, tab) around it, a sign, digits with an optional
// fraction (at least one digit), an optional exponent. False for anything else
// ("abc", "2abc", "&H10", "0x10", "1,5", "inf", ""). A number too large for a double
// reads as plus or minus infinity ("1e999"); a non-zero one too small for it
// ("1e-999") counts as not a number.
bool ParseDecimal(const std::string& text, double* value);

// Turns a stored value into a 16-bit number: a decimal number (ParseDecimal) rounded
// down towards minus infinity. Anything else, and results outside -32768..32767, give
// `fallback`: "2.9" -> 2, "-0.5" -> -1, " 1e2" -> 100, "abc", "2abc", "&H10", "" ->
// fallback.
int16_t IniNumber(const std::string& text, int16_t fallback = 0);

// Signed decimal text: a blank before numbers of 0 and above, a minus sign before
// negative ones. 2 -> " 2", -1 -> "-1".
std::string SignedDecimal(long value);

// The music file's ending that picks its player: the last three characters of the
// path, upper-cased ("WAV", "MP3", or anything else, which plays nothing).
std::string FileEnding(const std::string& file);

#pragma once
// What Veloran.scr (the host) and Veloran.dll (the renderer) agree on, written once:
// the files the host writes and the renderer reads, the renderer's program file and
// window title, and the titles the host's single-instance guard looks for.
//
// Paths are the system's fixed Windows paths; NativePath (windows_path.h) gives the
// name a platform opens for them.

// The work folder the host makes before a run; always drive C:.
inline constexpr char kWorkFolder[] = "C:\\qorin";
// The texture files: written by the host before it starts the renderer, read once by
// the renderer at its start. 128 x 128 ring sprite, then 256 x 256 star field.
inline constexpr char kRingTexturePath[] = "C:\\qorin\\Veloran1.bmp";
inline constexpr char kStarTexturePath[] = "C:\\qorin\\Veloran2.bmp";

// The renderer program, in the host's own folder: appended to that folder's path.
inline constexpr char kRendererFile[] = "\\Veloran.dll";
// The settings file beside the host, appended the same way.
inline constexpr char kSettingsFile[] = "\\Veloran.ini";

// The renderer window's title and class; the host follows the run by it.
inline constexpr char kRendererWindowTitle[] = "Veloran_VC";
// The hidden saver-run form and the settings dialog: while either exists, another
// start of the host ends at once.
inline constexpr char kSaverFormCaption[] = "Veloran_Main";
inline constexpr char kDialogCaption[] = "<Veloran>";
// The preview form, placed inside the display settings' preview window.
inline constexpr char kPreviewFormCaption[] = "Preview Window";

// The project's home page: shown by the settings dialog, which opens it on a click.
inline constexpr char kHomePageAddress[] = "https://qorin.example/veloran/";

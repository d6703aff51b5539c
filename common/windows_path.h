#pragma once
// The system names its shared files with fixed Windows paths ("C:\qorin\Veloran1.bmp").
// Code keeps those paths verbatim and asks NativePath for the name this platform opens.

#include <string>
#include <string_view>

// The path this platform opens for a Windows path. On Windows it is the path itself;
// on Linux a drive-letter path lands in a per-user folder (see DriveRoot).
std::string NativePath(std::string_view windows_path);

// The per-user folder that stands for a drive on Linux:
// $XDG_DATA_HOME/veloran/drives/<letter> (XDG_DATA_HOME defaults to ~/.local/share).
// On Windows, "<letter>:". The folder is not created.
std::string DriveRoot(char drive_letter);

// The mapping itself, free of the environment: "C:\qorin\a.bmp" with drives_dir
// "/home/u/.local/share/veloran/drives" gives ".../drives/c/qorin/a.bmp". Backslashes
// become slashes; the drive letter is lower-cased (Windows drive letters ignore case).
// A path without a drive letter only has its backslashes turned into slashes.
std::string MapWindowsPath(std::string_view windows_path, std::string_view drives_dir);

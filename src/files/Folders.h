// Folder names and folder-level durability, shared by every writer that creates, renames or
// removes a file and must survive a crash right after, and the program's own state folder.
#pragma once

#include <string>

// The folder a path names a file in ("." for a bare name, "/" at the root).
std::string FolderOf(const std::string& path);
// The last component of a path.
std::string NameOf(const std::string& path);
// The program's folder for its own state: $XDG_STATE_HOME/larkspur, or ~/.local/state/larkspur.
std::string StateFolder();
// path made absolute, symbolic links resolved when it exists.
std::string AbsolutePath(const std::string& path);
// A file in the state folder that stands for sitePath: its absolute path as one file name, and
// suffix. Distinct sites never share a name.
std::string StatePathFor(const std::string& sitePath, const char* suffix);
// Creates an absolute folder and the folders above it (mode 0700); false when one cannot be made.
bool MakeFolders(const std::string& folder);

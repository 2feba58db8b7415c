// Folder names and folder-level durability, shared by every writer that creates, renames or
// removes a file and must survive a crash right after.
#pragma once

#include <string>

// The folder a path names a file in ("." for a bare name, "/" at the root).
std::string FolderOf(const std::string& path);
// The last component of a path.
std::string NameOf(const std::string& path);
// Flushes a folder, so that a file created, renamed or removed in it stays so after a crash.
// Nothing can undo such a change, so a failure here is not reported.
void SyncFolder(const std::string& folder);
// Creates an absolute folder and the folders above it (mode 0700); false when one cannot be made.
bool MakeFolders(const std::string& folder);

// File > Save Trace (.txt) ...: the file dialog, the channel question and
// the export of that channel's full record, with what the user sees while
// it runs and when it fails.
#pragma once

#include <cstddef>
#include <string>

// Exports `channel` (0 or 1) to `path` under the wait cursor and the
// "Loading samples ..." notice, owning the link for the whole transfer.
// A failure is shown under "FILE ERROR" and leaves `path` as it was.
void ExportTrace(const std::string& path, int channel);

// The menu item's action. `tracePath` (a field of `size` bytes, the
// preferences' trace directory) is where the dialog opens; after a save it
// holds the chosen file's directory. Cancelling leaves it and every file as
// they were. Called on the user-interface thread without the link.
void SaveTraceMenuItem(char* tracePath, std::size_t size);

// The directory part of `fileName` ("/data" for "/data/run1.txt", "/" for
// "/run1.txt"); "" when it names no directory.
std::string DirectoryOf(const std::string& fileName);

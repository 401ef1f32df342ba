#pragma once
// Dragging entries of the open archive out of the list, to the shell or another program. The
// target gets the files as CF_HDROP, naming files in a fresh temporary folder; they are
// extracted only when the drop happens (the target asks for the data once the mouse button is
// released), never while the mouse merely passes over a window, and never for a drop on the
// program's own windows.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Extracts the dragged entries into the folder; true when they were all written.
using DragExtraction = std::function<bool(const std::wstring& folder)>;

struct DragOutResult {
    DWORD effect = DROPEFFECT_NONE;  // what the target did
    bool extracted = false;          // the drop happened and the entries were extracted
};

// Runs the drag of the entries named `names` (their names as the list shows them) until the
// mouse button is released or Esc is pressed. Returns once the target has taken the files;
// their temporary folder is gone again by then.
DragOutResult DragEntriesOut(const std::vector<std::wstring>& names, const DragExtraction& extract);

// The names the dragged files will have in their folder: each entry's name as extraction
// writes it (characters Windows refuses replaced), and the first of equal names only.
std::vector<std::wstring> DraggedFileNames(const std::vector<std::wstring>& names);

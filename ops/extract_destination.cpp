#include "ops/extract_destination.h"

#include <windows.h>

#include "engine/extraction.h"

bool ExtractDestination::Make(const std::wstring& folder) { return createFolderChain(folder, &made_); }

void ExtractDestination::RemoveUnused() {
    for (auto folder = made_.rbegin(); folder != made_.rend(); ++folder) {
        // Refused, as it should be, while anything is inside.
        if (!RemoveDirectoryW(folder->c_str())) break;
    }
    made_.clear();
}

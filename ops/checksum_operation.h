#pragma once
// Checksums of files, or of entries of the open archive, computed behind the progress window.
#include <string>
#include <vector>

#include "engine/checksums.h"
#include "ops/archive_operations.h"

class ItemCatalog;

// The files (a folder: every file below it) with the named functions, all when empty.
OperationOutcome ComputeFileChecksums(const std::vector<std::wstring>& paths, const std::vector<std::wstring>& functions,
                                      std::vector<ChecksumResult>& results);

// The named entries of the catalogue's current folder (a folder: every file below it).
OperationOutcome ComputeEntryChecksums(ItemCatalog& catalog, const std::vector<std::wstring>& names,
                                       const std::vector<std::wstring>& functions, std::vector<ChecksumResult>& results);

// The results as text to show and copy: per file its name, then one "FUNCTION  value" line each.
std::wstring ChecksumReport(const std::vector<ChecksumResult>& results);

#pragma once
// Looking into an archive without changing anything: testing every item, and reading the
// properties of the archive or of one entry. Each runs on a worker behind the progress window.
#include <string>

#include "engine/extraction_outcome.h"
#include "ops/archive_operations.h"
#include "ops/properties_report.h"

struct ArchiveTest {
    // Done: every item read intact from a sound archive. Failed: something failed (see
    // `outcome`), or the archive could not be read. Cancelled: the user stopped it.
    OperationResult result = OperationResult::Failed;
    ExtractionOutcome outcome;
};

// Reads and checks every item. `password` is in/out: a password that proved right is kept.
ArchiveTest TestArchive(const std::wstring& archivePath, std::wstring& password);

// What the test found, for the user: "<name>: no errors found in 12 files and 3 folders.", or
// what failed, item by item with its cause, and the archive's damage.
std::wstring TestReportText(const ArchiveTest& test, const std::wstring& archiveName);

// The properties of the archive, or of its entry `entryPath`. `password` is in/out.
PropertiesReport ArchivePropertiesOf(const std::wstring& archivePath, std::wstring& password);
PropertiesReport EntryPropertiesOf(const std::wstring& archivePath, std::wstring& password,
                                   const std::wstring& entryPath);

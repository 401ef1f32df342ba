#pragma once
// The texts of the main window's status bar and title.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/archive_kind.h"
#include "engine/archive_summary.h"

class ContentModel;

// What a set of rows adds up to: how many, how many of them files, and the files' bytes.
struct RowTotals {
    uint64_t items = 0;
    uint64_t files = 0;
    uint64_t bytes = 0;
};

// "1 byte", "999 bytes", "1.5 KB", "12.3 MB", "123 GB": three figures at most above a kilobyte.
std::wstring ByteSizeText(uint64_t bytes);
// "12 items, 1.5 MB" (no size when there is no file among them), "1 item", "No items".
std::wstring ItemsText(const RowTotals& shown);
// "3 selected, 2.0 KB"; empty when nothing is selected.
std::wstring SelectionText(const RowTotals& selected);
// "7z, LZMA2:24, solid, not encrypted"; "Zip, Deflate, not solid, encrypted (2 of 5 files)".
std::wstring ArchiveText(const std::wstring& format, const ArchiveSummary& summary);
// "Damaged: <what the engine found>", or empty for a sound archive.
std::wstring DamageText(const std::wstring& damage);
// The main window's title: "Tolvane Extractor - Ver 1.0", preceded by "<place> - " when a place
// is named (the archive and the folder shown inside it).
std::wstring FrameTitle(const std::wstring& place);
// The place to name in the title for a folder of an archive: the archive's file name, then the
// folder inside it ("x.zip\docs"), from the archive's path and the display path shown.
std::wstring ArchiveTitlePlace(const std::wstring& archivePath, const std::wstring& displayPath);
// The format's name as users know it: "7z", "Zip", "RAR"; empty for none.
std::wstring ArchiveFormatName(ArchiveKind kind);
// The name of the format the engine found by the archive's content ("Zip", "RAR", "tar (gzip)");
// the one of its extension when the engine named none.
std::wstring ArchiveFormatName(const std::wstring& engineName, const std::wstring& outerName, ArchiveKind byExtension);

// --- from the content model ---

// What the rows at `positions` add up to, the way up left out.
RowTotals TotalsOf(const ContentModel& model, const std::vector<int>& positions);
// The place the title names: the open archive's name and the folder shown inside it
// ("x.zip\docs"); empty outside archives.
std::wstring TitlePlace(const ContentModel& model);

// The status bar's parts for what a model shows and the rows selected (their positions): the rows
// shown, the selection; in an archive, how it is packed and what is wrong with it. The rows shown
// are counted once per listing: a selection or a re-sort leaves their totals.
class StatusBarTexts {
public:
    std::vector<std::wstring> Parts(const ContentModel& model, const std::vector<int>& selection);

private:
    uint64_t countedListing_ = 0;  // the model's listing that `shown_` counts; 0 for none
    RowTotals shown_;
};

#pragma once
// The content view's commands on the rows of its model: extract, delete, add, extract beside
// the archive, test, properties, rename and new folder. The view asks the user first (which
// rows, which folder, whether to delete, a name); these do the work on the model's place and
// tell what there is to tell through the model's messages.
#include <optional>
#include <string>
#include <vector>

#include "ops/batch_extraction.h"
#include "ops/extract_choices.h"
#include "ops/properties_report.h"
#include "ui/content_model.h"

// True when the file is one the engine may read as an archive: by its extension, its signature,
// or as a part of a split archive.
bool IsArchiveFile(const std::wstring& path);

class ContentCommands {
public:
    explicit ContentCommands(ContentModel& model) : model_(model), messages_(model.messages()) {}
    ContentCommands(const ContentCommands&) = delete;
    ContentCommands& operator=(const ContentCommands&) = delete;

    // Positions come from the view's selection: never empty, never the way up, unless said.

    // The full paths of the rows, in order.
    std::vector<std::wstring> PathsOf(const std::vector<int>& positions) const;
    // Where the folder picker of an extraction opens: beside the archive.
    std::wstring ExtractStartFolder(const std::vector<int>& positions) const;
    // Extracts the selected entries of the open archive, or the one selected archive file of a
    // folder listing as a whole, into `folder`.
    // `done`, when given, tells whether everything was extracted.
    ViewChange ExtractRows(const std::vector<int>& positions, const std::wstring& folder, bool* done = nullptr);
    // The same as the Extract dialog's `choices` say (a new folder named after the archive when
    // more than one item lands at the top, paths, existing files, password, mark). `written`
    // gets the folder written into when everything was extracted.
    ViewChange ExtractRows(const std::vector<int>& positions, const ExtractChoices& choices, std::wstring& written);
    // Deletes the selected entries of the open archive (the user has agreed), or the selected
    // files and folders through the shell (to the recycle bin unless Shift is held).
    ViewChange DeleteRows(const std::vector<int>& positions);
    // Adds files (dropped or picked) to the open archive's current folder.
    void AddFiles(const std::vector<std::wstring>& paths);

    // Smart: one item at the top goes beside the archive, several into a new folder named after
    // it (" (2)" when that name is taken); in a folder listing each archive decides from its own
    // listing, all in one progress window with one summary.
    enum class ExtractPlace { Here, OwnFolder, Smart };
    // In the archive: the selected entries (none: the whole archive) into the folder that holds
    // the archive, or into a folder named after it there; relative to the folder shown unless
    // `keepFolders`. In a folder listing: each selected archive file as a whole into the folder
    // shown, or into a folder of its name there. Existing files are asked about. `written`
    // gets each folder that an extraction filled.
    ViewChange ExtractBeside(const std::vector<int>& positions, ExtractPlace place, bool keepFolders,
                             std::vector<std::wstring>& written);
    ViewChange ExtractArchiveFiles(const std::vector<int>& positions, ArchivePlace place,
                                   std::vector<std::wstring>& written);
    // Extracts the named entries of the current folder into `folder`, relative to the folder
    // shown (a drag to the shell); true when all were written.
    bool ExtractNamesInto(const std::vector<std::wstring>& names, const std::wstring& folder);
    // Tests the open archive, or each selected archive file of a folder listing; the report
    // for the user, empty when nothing was tested (cancelled, or no archive selected).
    std::wstring TestRows(const std::vector<int>& positions);
    // The properties of the one selected entry, else of the open archive; in a folder listing
    // of the one selected archive file. Nothing when there are none to show (told why).
    struct Properties {
        std::wstring caption;
        std::vector<PropertyLine> lines;
    };
    std::optional<Properties> PropertiesOf(const std::vector<int>& positions);
    // True when the selection is one row that is a file of the listing and no archive: its
    // properties are the shell's.
    bool ShowsShellProperties(const std::vector<int>& positions) const;
    // Renames the row: an entry of the archive (.zip, .7z), or a file or folder of the listing.
    ViewChange RenameRow(int position, const std::wstring& newName);
    // Makes a new folder in the folder shown (of the archive, or of the file system).
    ViewChange MakeFolder(const std::wstring& name);
    // Why `name` cannot replace `currentName` (empty for a new item) among the rows shown; empty
    // when it can.
    std::wstring NewNameProblem(const std::wstring& name, const std::wstring& currentName) const;
    // "New folder", or the first "New folder (n)" that no row has.
    std::wstring ProposedFolderName() const;
    // True when the folder shown can take a new item or a rename (an archive that can be
    // changed, or a folder of the file system).
    bool CanChangeItems() const;

private:
    // The names of the rows at `positions` (entries of the archive's current folder).
    std::vector<std::wstring> NamesOf(const std::vector<int>& positions) const;
    // The names a smart extraction of the open archive writes at its top (at most two).
    std::vector<std::wstring> SmartTopNames(const std::vector<int>& positions, bool keepFolders) const;

    ContentModel& model_;
    MessageList& messages_;  // the model's: the view shows them with the model's own
};

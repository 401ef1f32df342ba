#pragma once
// What an extraction does with a file that is already where an item is to be written: replace
// it without a word (the shell's "Extract Here"), ask, where the answers "Yes to all" and
// "No to all" stand for the rest of the extraction, or settle it for every file beforehand.
#include <cstdint>

enum class ExistingFilePolicy {
    Replace,  // every existing file is replaced
    Ask,      // the user is asked for each one until an answer "to all"
    Skip,            // every existing file stays; its item is not written
    RenameNew,       // the item is written under a free name beside the file: "name (2).ext"
    RenameExisting,  // the file is renamed out of the way ("name (2).ext"), the item takes its place
};

// The answers to the question, as its buttons name them.
enum class ReplaceAnswer : int32_t { Yes, No, YesToAll, NoToAll, Rename, Cancel };

// What happens to one existing file.
enum class ExistingFileAction {
    Replace,  // the item takes the file's place
    Keep,     // the file stays; the item is not written
    Rename,   // the item is written under a free name beside it
    RenameExisting,  // the file is renamed out of the way once the item is intact
    Stop,     // the extraction ends here
    Ask,      // the user has to be asked (then `answer` gives the action)
};

class ReplaceDecisions {
public:
    explicit ReplaceDecisions(ExistingFilePolicy policy = ExistingFilePolicy::Replace) : policy_(policy) {}

    // What to do with the next existing file: Replace or Keep when that is settled, else Ask.
    ExistingFileAction next() const;
    // Takes the user's answer to the question about one file and returns what to do with it;
    // "to all" answers settle every later file too.
    ExistingFileAction answer(ReplaceAnswer answer);

private:
    ExistingFilePolicy policy_;
    enum class Settled { No, ReplaceAll, KeepAll } settled_ = Settled::No;
};

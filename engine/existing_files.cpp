#include "engine/existing_files.h"

ExistingFileAction ReplaceDecisions::next() const {
    if (policy_ == ExistingFilePolicy::Replace || settled_ == Settled::ReplaceAll) return ExistingFileAction::Replace;
    if (policy_ == ExistingFilePolicy::Skip) return ExistingFileAction::Keep;
    if (policy_ == ExistingFilePolicy::RenameNew) return ExistingFileAction::Rename;
    if (policy_ == ExistingFilePolicy::RenameExisting) return ExistingFileAction::RenameExisting;
    if (settled_ == Settled::KeepAll) return ExistingFileAction::Keep;
    return ExistingFileAction::Ask;
}

ExistingFileAction ReplaceDecisions::answer(ReplaceAnswer answer) {
    switch (answer) {
    case ReplaceAnswer::Yes: return ExistingFileAction::Replace;
    case ReplaceAnswer::No: return ExistingFileAction::Keep;
    case ReplaceAnswer::YesToAll:
        settled_ = Settled::ReplaceAll;
        return ExistingFileAction::Replace;
    case ReplaceAnswer::NoToAll:
        settled_ = Settled::KeepAll;
        return ExistingFileAction::Keep;
    case ReplaceAnswer::Rename: return ExistingFileAction::Rename;
    case ReplaceAnswer::Cancel: return ExistingFileAction::Stop;
    }
    return ExistingFileAction::Stop;
}

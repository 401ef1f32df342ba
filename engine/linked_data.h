#pragma once
// The data that hard links share, during one extraction: each link is given the data of the item
// it names, read from that item's own file when the item was written intact, or from a
// temporary copy when the item itself is not written (not chosen, kept at the user's word, or
// refused for its name).
#include <windows.h>

#include <string>
#include <unordered_map>

#include "base/handles.h"
#include "engine/engine_faults.h"
#include "engine/out_file_stream.h"

class LinkedData {
public:
    LinkedData() = default;
    ~LinkedData() { clear(); }
    LinkedData(const LinkedData&) = delete;
    LinkedData& operator=(const LinkedData&) = delete;

    // Some link that is wanted takes its data from the item `source`.
    void need(UINT32 source);
    bool needed(UINT32 index) const { return sources_.count(index) != 0; }
    // The item's data was written intact to `path`.
    void written(UINT32 index, const std::wstring& path);
    // A temporary copy for the item's data, for the engine to write to; null with the system
    // error when none can be made.
    ComPtr<COutFileStream> keepCopy(UINT32 index, DWORD& error);
    // The engine is done with the item: `intact` or not. A copy is closed, and dropped when the
    // data is damaged.
    void ended(UINT32 index, bool intact);
    // Why a link to `target` (the item `source`) cannot have the data; none when it is at hand.
    ItemFault fault(UINT32 source, const std::wstring& target) const;
    // Appends the data of `source` to `out`, which must be at hand; 0 or the system error.
    DWORD copyInto(UINT32 source, COutFileStream& out) const;
    // Deletes the temporary copies.
    void clear();

private:
    enum class State { Pending, Ready, Failed };
    struct Source {
        State state = State::Pending;
        std::wstring path;             // where the data is
        bool temporary = false;        // ... a copy of our own, deleted at the end
        ComPtr<COutFileStream> copy;   // the copy being written
    };
    std::unordered_map<UINT32, Source> sources_;
};

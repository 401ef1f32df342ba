#pragma once
// Decoding items of an opened archive into the program's own hands rather than into files: the
// tar inside a gzip stream into a temporary file, archive entries into hash functions.
#include <string>
#include <vector>

#include "engine/engine_interfaces.h"

// Takes the data of the items the engine decodes, one item after the other.
class ItemSink {
public:
    virtual ~ItemSink() = default;
    // The engine starts on the item; false skips it.
    virtual bool begin(UINT32 index) = 0;
    // A piece of the item's data; false stops the whole decoding (a write that failed).
    virtual bool write(const void* data, UINT32 size) = 0;
    // The item is done: its result (kOK when it decoded intact).
    virtual void end(UINT32 index, INT32 result) = 0;
};

struct DecodingResult {
    HRESULT engineResult = S_OK;  // what Extract returned
    bool stopped = false;         // the user cancelled, or refused the password
    bool sinkFailed = false;      // the sink refused data
};

// Decodes the items with these indices (ascending; all items when empty). `password` is in/out:
// used when known, and the one typed when the engine asked for it.
DecodingResult decodeItems(IInArchive* archive, const std::vector<UINT32>& indices, ItemSink& sink,
                           std::wstring& password);

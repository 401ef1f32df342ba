#pragma once
// What the engine reports going wrong (engine/engine_faults.h), in the program's words: clauses
// of a message, lower case, without a final period.
#include <cstdint>
#include <string>

#include "engine/engine_faults.h"

// The damage that kpidErrorFlags / kpidWarningFlags bits name, joined by "; "
// ("unexpected end of archive; CRC error"); empty for none.
std::wstring ArchiveFlagsText(uint32_t flags);

// What is wrong with an archive, joined by "; ": its flags, the engine's own words, a file
// shorter than the archive, data after its end. Empty when it is sound.
std::wstring ArchiveDamageText(const ArchiveDamage& damage);

// Why an item failed, from the engine's result for it (never kOK): "damaged data (CRC error)".
std::wstring EngineResultText(int32_t result);

// Why the engine ended its work, from the error it returned: "out of memory".
std::wstring EngineErrorText(HRESULT error);

// Why an item was not written or did not read back: "the disk is full", "a link to x, which is
// not in the archive".
std::wstring ItemFaultText(const ItemFault& fault);

// Why an archive did not open: "not an archive of its type, or damaged", "wrong password".
std::wstring OpenFailureCause(const OpenFailure& failure);

// Why an archive could not be read through: the cause of its open failure, or the engine's error.
std::wstring ReadFailureText(const ReadFailure& failure);

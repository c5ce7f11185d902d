// The REG_MULTI_SZ layout: each string followed by a zero, and one more zero ending the list.
//
//   ScratchBuffer data = JoinMultiString(list);              // UTF-16, total + 1 units
//   SplitMultiString(chars, count, list);                    // appends to list
//
// Splitting never scans the final terminator, so "a\0b\0\0" gives two strings, "\0" none and
// "\0\0" one empty string; a last string without its zero ends at the end of the data.
#pragma once

#include <cstdint>

#include "bridge/scratch_buffer.h"
#include "bridge/wide_string.h"

namespace fw {

ScratchBuffer JoinMultiString(const StringList& list);
void SplitMultiString(const wchar_t* chars, std::uint32_t count, StringList& out);

}  // namespace fw

// Text as the registry hands it over: data that may or may not end in a zero, in UTF-16 or in the
// ANSI code page. Each helper stops at the first zero or at the end of the data, whichever comes
// first, so unterminated data (the library writes strings without their zero) is read safely.
#pragma once

#include <cstdint>

#include "bridge/scratch_buffer.h"
#include "bridge/wide_string.h"

namespace fw {

// The ANSI copy of a UTF-16 text for an A function; a null text gives an empty buffer (null data).
// A text that does not convert throws RegistryException with the conversion's error: its empty copy
// would do harm (a key's path or name would name the key above, the root for a path; a value's name
// would name the key's default value; a written text would be stored empty).
ScratchBuffer AnsiConverted(const wchar_t* text);
// The same for count UTF-16 units (zeros included), as a multi-string's list is written.
ScratchBuffer AnsiConvertedCounted(const wchar_t* chars, std::uint32_t count);

// The UTF-16 copy of byteCount ANSI bytes read from the registry; returns its unit count. A text
// that does not convert throws RegistryException with the conversion's error, as the read's own
// failure would.
std::uint32_t WideConvertedCounted(const char* bytes, std::uint32_t byteCount, ScratchBuffer& wide);

WideString WideTextOf(const wchar_t* chars, std::uint32_t count);
// Converts the bytes before the first zero with the ANSI code page.
WideString WideTextOfAnsi(const char* bytes, std::uint32_t byteCount);

}  // namespace fw

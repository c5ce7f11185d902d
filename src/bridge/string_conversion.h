// Conversions between UTF-16 and the ANSI code page of the moment (GetACP() at each call), in two
// passes: the first asks for the size, the second converts into a ScratchBuffer of exactly that
// size. No flags and no default character, so unmappable characters get the system's substitute.
// A null input leaves the output empty (null data), which then reaches the A function as a null
// argument, as a null Java string does on the Unicode path. A conversion the system fails (memory)
// throws Win32Exception with its error: the call the text was for must not go on without it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "bridge/scratch_buffer.h"

namespace fw {

// Zero-terminated UTF-16 in; out holds the ANSI bytes including the terminating zero.
void WideToAnsi(const wchar_t* text, ScratchBuffer& out);
// 0 when the text converts to the ANSI code page and back to exactly itself (a null text too);
// otherwise the conversion's error, or ERROR_NO_UNICODE_TRANSLATION when a character comes back as
// another (a best fit such as "i" for a dotless i, or the default character). A path that does not
// come back names another file, so whatever would destroy or overwrite it must refuse it.
DWORD AnsiRoundTripError(const wchar_t* text);
// count UTF-16 units in (zeros included); no terminator is added beyond what the input holds.
// Returns the number of bytes written to out.
std::uint32_t WideToAnsiCounted(const wchar_t* text, std::uint32_t count, ScratchBuffer& out);
// Zero-terminated ANSI in; out holds UTF-16 units including the terminating zero.
void AnsiToWide(const char* text, ScratchBuffer& out);
// byteCount ANSI bytes in; returns the number of UTF-16 units written to out.
std::uint32_t AnsiToWideCounted(const char* text, std::uint32_t byteCount, ScratchBuffer& out);

}  // namespace fw

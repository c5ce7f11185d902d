// The library's string values: WideString holds UTF-16 (wchar_t is 16 bits on Windows),
// NarrowString holds ANSI or other 8-bit text, StringList is an ordered list of WideString.
// Only value operations are used; an empty value's data is still a valid "" for Win32 and JNI.
#pragma once

#include <string>
#include <vector>

namespace fw {

using WideString = std::wstring;
using NarrowString = std::string;
using StringList = std::vector<WideString>;

}  // namespace fw

// The platform tests. Each asks the system again on every call (nothing is cached) with the ANSI
// GetVersionExA, first with the 156-byte OSVERSIONINFOEXA and, when the system rejects that size,
// with the 148-byte OSVERSIONINFOA. When both queries fail every test answers false.
//
// IsWindows9x and IsWindowsNT are not complements: an unknown platform id, or a failed query,
// makes both false. Text-handling code asks IsWindows9x and takes the Unicode path otherwise.
#pragma once

namespace fw {

bool IsWindows9x();    // platform id 1 (95, 98, ME)
bool IsWindowsNT();    // platform id 2, any version
bool IsWindows2000();  // NT 5.0 exactly
bool IsWindowsME();    // 9x family 4.90

}  // namespace fw

// FormatAllocated: formats a template with FormatMessage (FORMAT_MESSAGE_FROM_STRING, inserts taken
// from the variable arguments, user-default language) into text that the system allocates; the
// returned holder frees it. An empty holder means the system could not format the text.
//
//   LocalMemoryHolder message = FormatAllocatedW(L"%1!ls! (%2!lu!)", text, error);
#pragma once

#include "bridge/local_memory_holder.h"

namespace fw {

LocalMemoryHolder FormatAllocatedW(const wchar_t* format, ...);
LocalMemoryHolder FormatAllocatedA(const char* format, ...);

}  // namespace fw

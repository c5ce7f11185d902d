#include "file/short_path_ansi.h"

namespace fw {

DWORD ShortPathAnsi(const char* path, ScratchBuffer& out) {
  const DWORD size = GetShortPathNameA(path, nullptr, 0);
  if (size == 0) return GetLastError();
  if (out.Count() < size) out.Allocate(size, 1);
  const DWORD length = GetShortPathNameA(path, out.As<char>(), out.Count());
  if (length == 0) return GetLastError();
  // The path can change between the two calls; a form that no longer fits is not a short path.
  if (length >= out.Count()) return ERROR_INSUFFICIENT_BUFFER;
  return 0;
}

}  // namespace fw

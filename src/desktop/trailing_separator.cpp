#include "desktop/trailing_separator.h"

namespace fw {

void EnsureTrailingSeparator(WideString& path) {
  if (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) return;
  path.push_back(L'\\');
}

}  // namespace fw

#include "file/critical_errors_suppressed.h"

namespace fw {

bool EnableCriticalErrorDialogs(bool enable) noexcept {
  const UINT former = SetErrorMode(0);
  if (!enable) SetErrorMode(former | SEM_FAILCRITICALERRORS);
  return (former & SEM_FAILCRITICALERRORS) != 0;
}

}  // namespace fw

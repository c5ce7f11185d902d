// CopyFileOrSchedule (win32CopyFile): copies source to target; when the target is in use
// (sharing violation) the new file is put in place so that it takes effect at the next start:
//   NT family: the busy target is renamed to ".delete_on_reboot" (deleted at the next start) and
//              the copy made again (result 1); when the rename is refused, the copy goes to
//              ".use_on_reboot" and is moved over the target at the next start (result 1);
//   Windows 9x: the copy goes to ".use_on_reboot" and a WinInit.Ini line moves it over the target.
// A read-only target loses that attribute for good. With overwrite false every copy fails on an
// existing file, a leftover ".use_on_reboot" one included, and an existing target is never renamed
// aside or scheduled for replacement. The error is the one of the failing step.
#pragma once

#include "file/file_outcome.h"

namespace fw {

FileOutcome CopyFileOrSchedule(const wchar_t* source, const wchar_t* target, bool overwrite);

}  // namespace fw

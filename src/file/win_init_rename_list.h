// WinInitRenameList: lines for the [Rename] section of "WinInit.Ini" in the Windows directory,
// which Windows 9x carries out once at its next start (a move, or "NUL=" for a delete).
//
//   WinInitRenameList list;
//   if (DWORD error = list.AddMove(busySide, target)) return error;   // "TARGET~1=SIDE~1"
//   DWORD error = list.Flush();
//
// Each line names short (8.3) paths in the ANSI code page, taken from the file system when the line
// is made, so the source of a move and the path of a delete must exist. The destination of a move
// need not (its old file may just have been deleted): it then gets the short form of its folder
// joined to its own name, when that name is already a valid 8.3 name. Where no short form can be
// had the Add function returns the error of GetShortPathNameA and adds nothing, so a line never
// carries an empty path (nor a long one, which WinInit at restart would not understand).
//
// Flush inserts the pending lines directly under the first "[Rename]" header (appending the header
// at the end of the file when there is none, and creating the file when it is missing), each line
// ended by one line feed, and keeps every other byte. The file is opened with share mode 0: a
// second writer gets a sharing violation. On failure the file keeps its contents and size (a file
// that was not there before is not left behind; a file that cannot be cut again gets its old text
// back, followed at worst by zero bytes, never by a line of the failed call) and the lines stay pending; lines never flushed are dropped with the list.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "bridge/wide_string.h"

namespace fw {

class WinInitRenameList {
 public:
  WinInitRenameList() = default;
  WinInitRenameList(const WinInitRenameList&) = delete;
  WinInitRenameList& operator=(const WinInitRenameList&) = delete;
  virtual ~WinInitRenameList() = default;

  // "destination=source": at the next start the source replaces the destination.
  DWORD AddMove(const char* source, const char* destination);
  // "NUL=path": at the next start the path is deleted.
  DWORD AddDelete(const char* path);
  // Writes the pending lines; 0 or the Win32 error of the open, mapping or view.
  DWORD Flush();

  const std::vector<NarrowString>& Lines() const noexcept { return lines_; }
  std::uint32_t Count() const noexcept { return count_; }

 private:
  void Append(NarrowString line);

  std::vector<NarrowString> lines_;
  std::uint32_t count_ = 0;
};

// The file Flush writes: the Windows directory followed by "\WinInit.Ini". Returns 0 or the error
// of the directory's look-up.
DWORD WinInitPath(NarrowString& path);

}  // namespace fw

#include "file/win_init_rename_list.h"

#include <cstring>
#include <new>

#include "bridge/scratch_buffer.h"
#include "bridge/unique_resource.h"
#include "file/short_path_ansi.h"

namespace fw {
namespace {

constexpr char kHeader[] = "[Rename]";
constexpr std::uint32_t kHeaderLength = sizeof(kHeader) - 1;
// Room the mapping adds beyond the new text; cut off again before the file is closed.
constexpr DWORD kMappingSlack = 10;

struct MappedViewTraits {
  using Type = void*;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type view) noexcept { UnmapViewOfFile(view); }
};
using UniqueMappedView = UniqueResource<MappedViewTraits>;

// Characters FAT accepts in a short name besides letters and digits (any byte above 0x7F too).
bool IsShortNameCharacter(unsigned char c) {
  if (c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  return std::strchr("$%'-_@~`!(){}^#&", c) != nullptr && c != 0;
}

bool IsShortName(const char* name, std::size_t length) {
  const char* dot = static_cast<const char*>(std::memchr(name, '.', length));
  const std::size_t base = dot != nullptr ? static_cast<std::size_t>(dot - name) : length;
  const std::size_t extension = dot != nullptr ? length - base - 1 : 0;
  if (base == 0 || base > 8 || extension > 3 || (dot != nullptr && extension == 0)) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (name + i != dot && !IsShortNameCharacter(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

// Appends the short form of `path` to `line`. Only the destination of a move may be missing.
DWORD AppendShortPath(const char* path, NarrowString& line, bool mayBeMissing) {
  ScratchBuffer shortPath;
  DWORD error = ShortPathAnsi(path, shortPath);
  if (error == 0) {
    line += shortPath.As<char>();
    return 0;
  }
  if (!mayBeMissing) return error;
  // A destination that does not exist yet: its folder must, and its name must already be 8.3,
  // since WinInit at restart knows no long names.
  const char* slash = std::strrchr(path, '\\');
  if (slash == nullptr || slash == path) return error;
  const std::size_t nameLength = std::strlen(slash + 1);
  if (!IsShortName(slash + 1, nameLength)) return error;
  const NarrowString folder(path, static_cast<std::size_t>(slash - path));
  const NarrowString folderRoot = folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder;
  if (ShortPathAnsi(folderRoot.c_str(), shortPath) != 0) return error;
  line += shortPath.As<char>();
  if (line.empty() || line.back() != '\\') line += '\\';
  line.append(slash + 1, nameLength);
  return 0;
}

// Sets the end of `file` at `size`; 0 or the error of the failed call.
DWORD CutAt(HANDLE file, DWORD size) {
  if (SetFilePointer(file, static_cast<LONG>(size), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
    return GetLastError();
  }
  if (!SetEndOfFile(file)) return GetLastError();
  return 0;
}

// Puts the file's old text back over the `length` bytes the mapping made of it, then cuts it to
// that text. Should even that fail, the file is left with its old text followed by zero bytes: no
// line of a failed call is carried out at the next start.
void PutBack(HANDLE file, const NarrowString& old, DWORD length) {
  {
    const UniqueHandle mapping(CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, length, nullptr));
    if (!mapping) return;
    const UniqueMappedView view(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
    if (!view) return;
    char* text = static_cast<char*>(view.get());
    std::memcpy(text, old.data(), old.size());
    std::memset(text + old.size(), 0, length - old.size());
  }
  CutAt(file, static_cast<DWORD>(old.size()));
}

}  // namespace

DWORD WinInitPath(NarrowString& path) {
  char directory[MAX_PATH] = {};
  const UINT length = GetWindowsDirectoryA(directory, sizeof(directory));
  // Without its folder the name would lead to a WinInit.Ini at the root of the current drive.
  if (length == 0) return GetLastError();
  if (length >= sizeof(directory)) return ERROR_BUFFER_OVERFLOW;
  path.assign(directory, length);
  path += "\\WinInit.Ini";
  return 0;
}

void WinInitRenameList::Append(NarrowString line) {
  lines_.push_back(std::move(line));
  ++count_;
}

DWORD WinInitRenameList::AddMove(const char* source, const char* destination) {
  NarrowString line;
  if (const DWORD error = AppendShortPath(destination, line, true)) return error;
  line += '=';
  if (const DWORD error = AppendShortPath(source, line, false)) return error;
  Append(std::move(line));
  return 0;
}

DWORD WinInitRenameList::AddDelete(const char* path) {
  NarrowString line = "NUL=";
  if (const DWORD error = AppendShortPath(path, line, false)) return error;
  Append(std::move(line));
  return 0;
}

DWORD WinInitRenameList::Flush() {
  if (count_ == 0) return 0;
  NarrowString fileName;
  if (const DWORD error = WinInitPath(fileName)) return error;
  DWORD total = 0;
  for (const NarrowString& line : lines_) total += static_cast<DWORD>(line.size()) + 1;

  UniqueFileHandle file(CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return GetLastError();
  const bool created = GetLastError() != ERROR_ALREADY_EXISTS;

  DWORD error = 0;
  DWORD oldSize = GetFileSize(file.get(), nullptr);
  // A size that cannot be read (or one of 4 GB, which reads the same) leaves the file as it is.
  const bool sized = oldSize != INVALID_FILE_SIZE;
  if (!sized) error = GetLastError();
  if (!sized && error == 0) error = ERROR_FILE_TOO_LARGE;
  DWORD newSize = oldSize;
  NarrowString old;
  DWORD mappedSize = 0;  // the file's length once the lines are in its view, 0 before
  if (sized) {
    try {
      old.reserve(oldSize);
    } catch (const std::bad_alloc&) {
      error = ERROR_NOT_ENOUGH_MEMORY;
    }
  }
  if (sized && error == 0) {
    const DWORD mappingSize = oldSize + total + kMappingSlack;
    // The mapping extends the file to its size; the slack is cut off below.
    const UniqueHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0, mappingSize, nullptr));
    UniqueMappedView view;
    if (!mapping) {
      error = GetLastError();
    } else {
      view.reset(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
      if (!view) error = GetLastError();
    }
    if (error == 0) {
      char* text = static_cast<char*>(view.get());
      old.assign(text, oldSize);  // put back should the cut below fail
      mappedSize = mappingSize;
      std::memset(text + oldSize, 0, mappingSize - oldSize);  // the text is now zero-terminated
      char* insertion = nullptr;
      bool lineFeedInserted = false;
      if (char* header = std::strstr(text, kHeader)) {
        char* lineFeed = std::strchr(header, '\n');
        if (lineFeed != nullptr) {
          insertion = lineFeed + 1;
        } else {
          insertion = header + kHeaderLength;  // the header ends the file without a line break
          lineFeedInserted = true;
        }
        const DWORD shift = total + (lineFeedInserted ? 1 : 0);
        std::memmove(insertion + shift, insertion, static_cast<std::size_t>(text + oldSize - insertion));
        if (lineFeedInserted) *insertion++ = '\n';
      } else {
        // No line break goes before the header: a last line without one gets the header too.
        std::memcpy(text + oldSize, kHeader, kHeaderLength);
        text[oldSize + kHeaderLength] = '\n';
        oldSize += kHeaderLength + 1;
        insertion = text + oldSize;
      }
      for (const NarrowString& line : lines_) {
        std::memcpy(insertion, line.data(), line.size());
        insertion += line.size();
        *insertion++ = '\n';
      }
      newSize = oldSize + total + (lineFeedInserted ? 1 : 0);
    }
  }
  // The mapping's slack is cut off. A pointer that did not move would cut the file at its start, so
  // the cut needs the move. A failed cut is reported, so the lines must not wait for the next start.
  if (sized) {
    const DWORD cutError = CutAt(file.get(), newSize);
    if (cutError != 0 && mappedSize != 0) PutBack(file.get(), old, mappedSize);
    if (error == 0) error = cutError;
  }
  if (error != 0) {
    // A file this call made and could not fill would be left empty: it goes again.
    if (created) {
      file.reset();
      DeleteFileA(fileName.c_str());
    }
    return error;
  }
  lines_.clear();
  count_ = 0;
  return 0;
}

}  // namespace fw

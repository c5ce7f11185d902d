#include "file/file_test_support.h"

#include <atomic>
#include <stdexcept>

namespace fwtest {
namespace {

constexpr wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingRenames[] = L"PendingFileRenameOperations";

// Without the "\??\" prefix, which follows the "!" of a replacement.
std::wstring StripPrefix(std::wstring path) {
  const std::size_t at = path.rfind(L"!", 0) == 0 ? 1 : 0;
  if (path.compare(at, 4, L"\\??\\") == 0) path.erase(at, 4);
  return path;
}

std::optional<RawValue> ReadPendingRenames() { return GetRawValue(HKEY_LOCAL_MACHINE, kSessionManager, kPendingRenames); }

// The strings of a multi-string value (none when there is no value).
std::vector<std::wstring> SplitMultiString(const std::optional<RawValue>& value) {
  const std::vector<std::uint8_t> data = value ? value->bytes : std::vector<std::uint8_t>{};
  const std::wstring all(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  std::vector<std::wstring> parts;
  for (std::size_t start = 0; start < all.size(); start += parts.back().size() + 1) {
    parts.push_back(all.substr(start, all.find(L'\0', start) - start));  // to the end when no zero follows
  }
  // The list ends with an extra terminator (an empty part that belongs to no pair).
  if (parts.size() % 2 == 1 && parts.back().empty()) parts.pop_back();
  return parts;
}

}  // namespace

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);  // with its final backslash
  path_ = temp + (L"fwfile-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
  RemoveAll(path_);
  if (!CreateDirectoryW(path_.c_str(), nullptr)) throw std::runtime_error("cannot make the test folder");
}

TempFolder::~TempFolder() { RemoveAll(path_); }

void RemoveAll(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW entry;
  const fw::UniqueFindHandle find(FindFirstFileW((path + L"\\*").c_str(), &entry));
  if (find) {
    do {
      const std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") RemoveAll(path + L"\\" + name);
    } while (FindNextFileW(find.get(), &entry));
  }
  RemoveDirectoryW(path.c_str());
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  const fw::UniqueFileHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw std::runtime_error("cannot write a test file");
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  const fw::UniqueFileHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return std::nullopt;
  std::string bytes(GetFileSize(file.get(), nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  return bytes;
}

void MakeFolder(const std::wstring& path) {
  if (!CreateDirectoryW(path.c_str(), nullptr)) throw std::runtime_error("cannot make a test folder");
}

fw::UniqueFileHandle HoldOpen(const std::wstring& path, DWORD share) {
  fw::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) throw std::runtime_error("cannot hold a test file open");
  return file;
}

std::string Ansi(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
  return out;
}

std::string ShortPathOf(const std::wstring& path) {
  char buffer[MAX_PATH] = {};
  const DWORD length = GetShortPathNameA(Ansi(path).c_str(), buffer, MAX_PATH);
  return std::string(buffer, length < MAX_PATH ? length : 0);
}

ScopedWinInit::ScopedWinInit() {
  wchar_t directory[MAX_PATH] = {};
  GetWindowsDirectoryW(directory, MAX_PATH);
  path_ = std::wstring(directory) + L"\\WinInit.Ini";
  saved_ = ReadBytes(path_);
  DeleteFileW(path_.c_str());
}

ScopedWinInit::~ScopedWinInit() {
  DeleteFileW(path_.c_str());
  if (saved_) WriteBytes(path_, *saved_);
}

ScopedPendingRenames::ScopedPendingRenames() : saved_(ReadPendingRenames()) {}

ScopedPendingRenames::~ScopedPendingRenames() {
  fw::UniqueKey key;
  RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, key.put());
  if (!saved_) {
    RegDeleteValueW(key.get(), kPendingRenames);
    return;
  }
  const DWORD size = static_cast<DWORD>(saved_->bytes.size());
  RegSetValueExW(key.get(), kPendingRenames, 0, REG_MULTI_SZ, saved_->bytes.data(), size);
}

std::vector<std::pair<std::wstring, std::wstring>> ScopedPendingRenames::Added() const {
  const std::vector<std::wstring> before = SplitMultiString(saved_), after = SplitMultiString(ReadPendingRenames());
  std::vector<std::pair<std::wstring, std::wstring>> added;
  for (std::size_t i = before.size(); i + 1 < after.size(); i += 2) {
    added.emplace_back(StripPrefix(after[i]), StripPrefix(after[i + 1]));
  }
  return added;
}

}  // namespace fwtest

#include "entry_resolution.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <initializer_list>
#include <type_traits>

#include "bridge/function_binding.h"
#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"
#include "bridge/unique_resource.h"
#include "bridge/win32_exception.h"
#include "desktop/shell_folders.h"

namespace fwcleanup {
namespace {

// The A and the W calls, chosen by the character type.
struct Ansi {
  using Char = char;
  static DWORD FullPath(const char* path, DWORD size, char* out) { return GetFullPathNameA(path, size, out, nullptr); }
  static DWORD ShortPath(const char* path, char* out, DWORD size) { return GetShortPathNameA(path, out, size); }
  static DWORD Variable(const char* name, char* out, DWORD size) { return GetEnvironmentVariableA(name, out, size); }
  static DWORD Expand(const char* text, char* out, DWORD size) { return ExpandEnvironmentStringsA(text, out, size); }
  static UINT WindowsFolder(char* out, UINT size) { return GetWindowsDirectoryA(out, size); }
  static UINT SystemFolder(char* out, UINT size) { return GetSystemDirectoryA(out, size); }
  static constexpr char kWow64Folder[] = "GetSystemWow64DirectoryA";
  static void Upper(char* text, DWORD length) { CharUpperBuffA(text, length); }
  static LONG OpenKey(const char* name, HKEY* key) { return RegOpenKeyExA(HKEY_LOCAL_MACHINE, name, 0, KEY_QUERY_VALUE, key); }
  static LONG Query(HKEY key, const char* name, DWORD* type, char* out, DWORD* bytes) {
    return RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(out), bytes);
  }
  static std::string FromWide(const fw::WideString& wide) {
    fw::ScratchBuffer ansi;
    try {
      fw::WideToAnsi(wide.c_str(), ansi);
    } catch (const fw::Win32Exception&) {
      return std::string();
    }
    return ansi.Empty() ? std::string() : std::string(ansi.As<const char>());
  }
  static bool FromAnsi(const std::string& ansi, std::string& out) {
    out = ansi;
    return true;
  }
};

struct Wide {
  using Char = wchar_t;
  static DWORD FullPath(const wchar_t* path, DWORD size, wchar_t* out) { return GetFullPathNameW(path, size, out, nullptr); }
  static DWORD ShortPath(const wchar_t* path, wchar_t* out, DWORD size) { return GetShortPathNameW(path, out, size); }
  static DWORD Variable(const wchar_t* name, wchar_t* out, DWORD size) { return GetEnvironmentVariableW(name, out, size); }
  static DWORD Expand(const wchar_t* text, wchar_t* out, DWORD size) { return ExpandEnvironmentStringsW(text, out, size); }
  static UINT WindowsFolder(wchar_t* out, UINT size) { return GetWindowsDirectoryW(out, size); }
  static UINT SystemFolder(wchar_t* out, UINT size) { return GetSystemDirectoryW(out, size); }
  static constexpr char kWow64Folder[] = "GetSystemWow64DirectoryW";
  static void Upper(wchar_t* text, DWORD length) { CharUpperBuffW(text, length); }
  static LONG OpenKey(const wchar_t* name, HKEY* key) { return RegOpenKeyExW(HKEY_LOCAL_MACHINE, name, 0, KEY_QUERY_VALUE, key); }
  static LONG Query(HKEY key, const wchar_t* name, DWORD* type, wchar_t* out, DWORD* bytes) {
    return RegQueryValueExW(key, name, nullptr, type, reinterpret_cast<BYTE*>(out), bytes);
  }
  static std::wstring FromWide(const fw::WideString& wide) { return wide; }
  static bool FromAnsi(const std::string& ansi, std::wstring& out) {
    fw::ScratchBuffer wide;
    try {
      fw::AnsiToWide(ansi.c_str(), wide);
    } catch (const fw::Win32Exception&) {
      return false;
    }
    if (wide.Empty()) return false;
    out = wide.As<const wchar_t>();
    return true;
  }
};

template <typename String>
using CallsOf = std::conditional_t<std::is_same_v<String, std::string>, Ansi, Wide>;

// Literal text in either character type (ASCII only).
template <typename String>
String Text(const char* ascii) {
  return String(ascii, ascii + std::char_traits<char>::length(ascii));
}

// A call that fills a buffer and answers the length it needs when the buffer is too small.
template <typename String, typename Fill>
String Filled(Fill fill) {
  String text(MAX_PATH, '\0');
  DWORD length = fill(&text[0], static_cast<DWORD>(text.size()));
  if (length >= text.size()) {
    text.assign(length + 1, '\0');
    length = fill(&text[0], static_cast<DWORD>(text.size()));
    if (length >= text.size()) length = 0;
  }
  text.resize(length);
  return text;
}

// Which characters of a path are separators. In an ANSI path of a double-byte code page the second
// byte of a character may be a backslash's; it is never a separator (nor is it a dot, a blank or
// a wildcard, which all lie below that range).
template <typename String>
std::vector<bool> Separators(const String& path) {
  std::vector<bool> separator(path.size(), false);
  for (std::size_t i = 0; i < path.size(); ++i) {
    if constexpr (std::is_same_v<String, std::string>) {
      if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
        ++i;
        continue;
      }
    }
    separator[i] = path[i] == '\\' || path[i] == '/';
  }
  return separator;
}

// The components of a path, between separators; empty ones are dropped.
template <typename String>
std::vector<String> Components(const String& path) {
  const std::vector<bool> separator = Separators(path);
  std::vector<String> parts;
  for (std::size_t start = 0; start < path.size();) {
    std::size_t end = start;
    while (end < path.size() && !separator[end]) ++end;
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

bool IsUnc(const std::vector<bool>& separator) { return separator.size() >= 2 && separator[0] && separator[1]; }

// What the file system treats as one name: upper case, one backslash between components, each
// component without its trailing dots and blanks, none after the last.
template <typename String>
String Key(const String& path) {
  using Calls = CallsOf<String>;
  String key = IsUnc(Separators(path)) ? String(2, '\\') : String();
  for (String part : Components(path)) {
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    key += part + String(1, '\\');
  }
  if (!key.empty()) key.pop_back();
  if (!key.empty()) Calls::Upper(&key[0], static_cast<DWORD>(key.size()));
  return key;
}

template <typename String>
String FullPath(const String& path) {
  using Calls = CallsOf<String>;
  return Filled<String>([&](auto* out, DWORD size) { return Calls::FullPath(path.c_str(), size, out); });
}

// The keys of a full path: its own, and its short form's when the file system has one.
template <typename String>
void AddKeys(const String& full, std::vector<String>& keys) {
  using Calls = CallsOf<String>;
  if (full.empty()) return;
  keys.push_back(Key(full));
  const String shortForm = Filled<String>([&](auto* out, DWORD size) { return Calls::ShortPath(full.c_str(), out, size); });
  if (!shortForm.empty()) keys.push_back(Key(shortForm));
}

template <typename String>
void AddRegistryFolders(const char* keyName, std::initializer_list<const char*> names, std::vector<String>& keys) {
  using Calls = CallsOf<String>;
  HKEY opened = nullptr;
  if (Calls::OpenKey(Text<String>(keyName).c_str(), &opened) != ERROR_SUCCESS) return;
  const fw::UniqueKey key(opened);
  for (const char* name : names) {
    String value(MAX_PATH * 2, '\0');
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(value.size() * sizeof(value[0]));
    if (Calls::Query(key.get(), Text<String>(name).c_str(), &type, &value[0], &bytes) != ERROR_SUCCESS) continue;
    if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
    value.resize(std::min<std::size_t>(bytes / sizeof(value[0]), value.size()));
    value.resize(std::char_traits<typename String::value_type>::length(value.c_str()));
    const String expanded = Filled<String>([&](auto* out, DWORD size) { return Calls::Expand(value.c_str(), out, size); });
    // ExpandEnvironmentStrings counts the terminating zero.
    AddKeys(FullPath(String(expanded.c_str())), keys);
  }
}

// The folders that are never deleted themselves, each by its keys.
template <typename String>
std::vector<String> ProtectedKeys() {
  using Calls = CallsOf<String>;
  std::vector<String> keys;
  AddKeys(FullPath(Filled<String>([](auto* out, DWORD size) { return Calls::WindowsFolder(out, size); })), keys);
  AddKeys(FullPath(Filled<String>([](auto* out, DWORD size) { return Calls::SystemFolder(out, size); })), keys);
  // 64-bit Windows only (bound by name): the 32-bit system directory, which the one above may stand for.
  fw::FunctionBinder kernel32(GetModuleHandleA("kernel32.dll"));
  using Wow64Folder = UINT(WINAPI*)(typename String::value_type*, UINT);
  if (const auto wow64Folder = kernel32.Bind<Wow64Folder>(Calls::kWow64Folder)) {
    AddKeys(FullPath(Filled<String>([&](auto* out, DWORD size) { return wow64Folder(out, size); })), keys);
  }
  for (const char* name : {"SystemRoot", "windir", "ProgramFiles", "ProgramFiles(x86)", "ProgramW6432",
                           "CommonProgramFiles", "CommonProgramFiles(x86)", "CommonProgramW6432", "USERPROFILE",
                           "ALLUSERSPROFILE", "PUBLIC", "ProgramData", "APPDATA", "LOCALAPPDATA", "TEMP", "TMP"}) {
    const String variable = Text<String>(name);
    AddKeys(FullPath(Filled<String>([&](auto* out, DWORD size) { return Calls::Variable(variable.c_str(), out, size); })), keys);
  }
  AddRegistryFolders<String>("SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                             {"ProgramFilesDir", "CommonFilesDir", "ProgramFilesDir (x86)", "CommonFilesDir (x86)",
                              "ProgramW6432Dir", "CommonW6432Dir"},
                             keys);
  AddRegistryFolders<String>("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                             {"ProfilesDirectory", "Default", "Public", "ProgramData"}, keys);
  for (const int folder : {CSIDL_DESKTOPDIRECTORY, CSIDL_PROGRAMS, CSIDL_STARTMENU, CSIDL_STARTUP, CSIDL_PERSONAL,
                           CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_PROFILE, CSIDL_FAVORITES, CSIDL_SENDTO,
                           CSIDL_RECENT, CSIDL_TEMPLATES, CSIDL_FONTS, CSIDL_COMMON_DESKTOPDIRECTORY,
                           CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTMENU, CSIDL_COMMON_STARTUP, CSIDL_COMMON_APPDATA,
                           CSIDL_COMMON_DOCUMENTS, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILES_COMMON, CSIDL_WINDOWS,
                           CSIDL_SYSTEM}) {
    fw::WideString path = L"?";
    if (fw::ReplaceFolderToken(path, L"?", folder) == 0) AddKeys(FullPath(Calls::FromWide(path)), keys);
  }
  return keys;
}

// A root, a device path, a path with wildcards or dot components: nothing a request may name.
template <typename String>
bool IsUnsafeShape(const String& full) {
  const std::vector<bool> separator = Separators(full);
  if (full.size() >= 4 && IsUnc(separator) && (full[2] == '?' || full[2] == '.') && separator[3]) return true;
  if (full.find_first_of(Text<String>("*?<>\"")) != String::npos) return true;
  const std::vector<String> parts = Components(full);
  for (const String& part : parts) {
    if (part == Text<String>(".") || part == Text<String>("..")) return true;
  }
  // "\\server\share" is a share's root; "C:" a drive's, and a path that is only separators the current one's.
  if (IsUnc(separator)) return parts.size() < 3;
  return parts.size() < 2;
}

template <typename String>
std::vector<Target<String>> Resolve(const std::vector<DeletionEntry>& entries) {
  using Calls = CallsOf<String>;
  const std::vector<String> protectedKeys = ProtectedKeys<String>();
  std::vector<Target<String>> targets;
  for (const DeletionEntry& entry : entries) {
    String given;
    if (!Calls::FromAnsi(entry.path, given)) continue;
    String full = FullPath(given);
    if (full.empty() || IsUnsafeShape(full)) continue;
    const std::vector<bool> separator = Separators(full);
    while (separator[full.size() - 1]) full.pop_back();  // a root, all separators, is refused above
    std::vector<String> keys;
    AddKeys(full, keys);
    const auto isProtected = [&](const String& key) {
      return std::find(protectedKeys.begin(), protectedKeys.end(), key) != protectedKeys.end();
    };
    if (std::any_of(keys.begin(), keys.end(), isProtected)) continue;
    targets.push_back({full, entry.tree});
  }
  return targets;
}

}  // namespace

// Not templates themselves: their code stays in the object's own code section.
void ResolveEntries(const std::vector<DeletionEntry>& entries, std::vector<Target<std::string>>& out) {
  out = Resolve<std::string>(entries);
}
void ResolveEntries(const std::vector<DeletionEntry>& entries, std::vector<Target<std::wstring>>& out) {
  out = Resolve<std::wstring>(entries);
}

}  // namespace fwcleanup

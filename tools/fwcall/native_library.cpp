#include "fwcall/native_library.h"

#include "json.h"

namespace fwcall {
namespace {

std::string SystemText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string message;
  if (length > 0 && text != nullptr) message.assign(reinterpret_cast<const char16_t*>(text), length);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' ')) {
    message.pop_back();
  }
  return fwtest::Utf16ToUtf8(message) + " (" + std::to_string(error) + ")";
}

}  // namespace

NativeLibrary::~NativeLibrary() {
  if (module_ != nullptr) FreeLibrary(module_);
}

bool NativeLibrary::Load(const std::wstring& path, std::string* error) {
  module_ = LoadLibraryW(path.c_str());
  if (module_ != nullptr) return true;
  const DWORD lastError = GetLastError();
  *error = "cannot load the DLL " +
           fwtest::Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(path.c_str()), path.size())) + ": " +
           SystemText(lastError);
  return false;
}

FARPROC NativeLibrary::Find(const NativeMethod& method) const {
  if (module_ == nullptr) return nullptr;
  constexpr bool kDecorated = sizeof(void*) == 4;
  for (const std::string& name : method.ExportNames(kDecorated)) {
    if (FARPROC f = GetProcAddress(module_, name.c_str())) return f;
  }
  return nullptr;
}

std::wstring DefaultLibraryPath() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return L"fwnative.dll";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  return (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1)) + L"fwnative.dll";
}

}  // namespace fwcall

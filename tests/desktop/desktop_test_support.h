// Shared pieces of the desktop-service tests: the built DLL's exports in a temporary folder, the
// shell notifications it sends (recorded, then passed on), and links read back by the shell.
#pragma once

#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl.h"
#include "file/file_service_fixture.h"
#include "support/fake_import.h"

// One native method of the desktop service in the fixture's DLL.
#define FW_DESKTOP(method) \
  FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl_##method)

namespace fwtest {

using Notes = std::vector<std::pair<LONG, std::string>>;  // event, ANSI path

// The expected notification: the ANSI form of the path.
inline std::pair<LONG, std::string> Note(LONG event, const std::wstring& path) { return {event, Ansi(path)}; }

// The path of a shell folder (CSIDL), asked independently of the code under test.
inline std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

// A link's path, arguments, working directory, description and "icon location,index" as read back.
inline std::optional<std::vector<std::string>> LoadLink(const std::wstring& file) {
  const HRESULT com = CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  IPersistFile* persist = nullptr;
  std::optional<std::vector<std::string>> read;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
      SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
    char text[5][MAX_PATH] = {};
    int icon = -1;
    link->GetPath(text[0], MAX_PATH, nullptr, SLGP_RAWPATH);
    link->GetArguments(text[1], MAX_PATH);
    link->GetWorkingDirectory(text[2], MAX_PATH);
    link->GetDescription(text[3], MAX_PATH);
    link->GetIconLocation(text[4], MAX_PATH, &icon);
    read = std::vector<std::string>{text[0], text[1], text[2], text[3], text[4] + ("," + std::to_string(icon))};
  }
  if (persist != nullptr) persist->Release();
  if (link != nullptr) link->Release();
  if (SUCCEEDED(com)) CoUninitialize();
  return read;
}

class DesktopTest : public ::testing::Test {
 protected:
  jstring Str(const std::wstring& text) { return vm.String(U16(text)); }
  HMODULE Library() const { return library.get(); }

  TempFolder folder;
  LoadedLibrary library{L"fwnative.dll"};
  // Every notification must carry one ANSI path and no second item.
  Notes notes;
  FakeImport<decltype(&::SHChangeNotify)> recorder =
      ReplaceImport(Library(), FWTEST_IMPORT(SHChangeNotify),
                    [this](auto original, LONG event, UINT flags, LPCVOID one, LPCVOID two) {
                      EXPECT_TRUE(flags == SHCNF_PATHA && one != nullptr && two == nullptr);
                      notes.emplace_back(event, one != nullptr ? static_cast<const char*>(one) : "");
                      original(event, flags, one, two);
                    });
  TestVm vm;
  jobject self = vm.This("com/fernwick/wizard/platform/win32/Win32DesktopServiceImpl");

  Notes TakeNotes() { return std::exchange(notes, {}); }
};

}  // namespace fwtest

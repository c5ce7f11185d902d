// The version resource of each shipped program, read back from the built files: the fixed part
// through the library's own getFixedFileInfo, as an installer reads it before it replaces a file,
// and the texts through GetFileVersionInfo.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "reliability/line_call.h"
#include "support/loaded_library.h"
#include "support/program_folder.h"
#include "vm_json.h"

namespace fwtest {
namespace {

// The version's text and its fixed form: "1.2.3" is 0x00010002, 0x00030000.
std::string FixedVersion(const std::string& version) {
  unsigned major = 0, minor = 0, patch = 0;
  std::sscanf(version.c_str(), "%u.%u.%u", &major, &minor, &patch);
  return "\"fileVersionLS\": " + std::to_string(patch << 16) + ", \"fileVersionMS\": " +
         std::to_string(major << 16 | minor) + ", \"productVersionLS\": " + std::to_string(patch << 16) +
         ", \"productVersionMS\": " + std::to_string(major << 16 | minor);
}

std::wstring VersionText(const std::vector<BYTE>& info, const std::wstring& name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = L"\\StringFileInfo\\040904E4\\" + name;
  if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0) return L"(none)";
  return static_cast<const wchar_t*>(value);
}

TEST(VersionResource, EachShippedProgramCarriesTheProjectsVersion) {
  const LoadedLibrary library(L"fwnative.dll");
  TestVm vm;
  const fwcall::MethodTable table(vm);
  const std::string version = FW_PROJECT_VERSION;
  const std::wstring wideVersion(version.begin(), version.end());
  // The file, its type (2, a DLL; 1, an application) and its description's start.
  const std::vector<std::tuple<std::wstring, int, std::wstring>> programs = {
      {L"fwnative.dll", 2, L"fwnative: "}, {L"fwcleanup.exe", 1, L"fwnative clean-up: "}};
  for (const auto& [name, type, description] : programs) {
    SCOPED_TRACE(Narrow(name));
    const std::wstring path = ProgramFolder() + L"\\" + name;
    const LineCall call = CallLine(vm, table, library.get(), "Win32ServiceImpl.getFixedFileInfo \"" + Narrow(path) + "\"");
    EXPECT_EQ(CallOutcome(vm, 'L', call.result).Write(),
              "{\"fileDateLS\": 0, \"fileDateMS\": 0, \"fileFlags\": 0, \"fileFlagsMask\": 63, \"fileOS\": 4, "
              "\"fileSubtype\": 0, \"fileType\": " + std::to_string(type) + ", " + FixedVersion(version) +
              ", \"signature\": -17890115, \"strucVersion\": 65536}");
    std::vector<BYTE> info(GetFileVersionInfoSizeW(path.c_str(), nullptr));
    ASSERT_TRUE(!info.empty() && GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    EXPECT_EQ(VersionText(info, L"FileVersion"), wideVersion);
    EXPECT_EQ(VersionText(info, L"ProductVersion"), wideVersion);
    EXPECT_EQ(VersionText(info, L"ProductName"), L"fwnative");
    EXPECT_EQ(VersionText(info, L"OriginalFilename"), name);
    EXPECT_EQ(VersionText(info, L"FileDescription").rfind(description, 0), 0u) << Narrow(VersionText(info, L"FileDescription"));
    EXPECT_NE(VersionText(info, L"LegalCopyright").find(L"MIT License"), std::wstring::npos);
    // The language and code page the texts are kept under: U.S. English, Windows ANSI.
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x409);
    EXPECT_EQ(translation[1], 1252);
  }
  EXPECT_EQ(vm.TakeViolations(), std::vector<std::string>{});
}

}  // namespace
}  // namespace fwtest

// The desktop service: folder tokens and item paths in the test program itself, the rest through the
// built DLL below a temporary base folder: program folders and links made, read back by the shell and
// removed, with every shell notification recorded, checked and passed on. The owner and attribute
// methods are in the file service's owner and attribute table.
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl.h"
#include "desktop/shell_folders.h"
#include "file/file_service_fixture.h"
#include "support/fake_import.h"
#include "support/fake_version.h"

// One native method of the desktop service in the fixture's DLL.
#define FW_DESKTOP(method) \
  FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl_##method)

namespace fwtest {
namespace {

constexpr char kDesktopService[] = "com/fernwick/wizard/platform/win32/Win32DesktopServiceImpl";

using Notes = std::vector<std::pair<LONG, std::string>>;  // event, ANSI path

inline std::pair<LONG, std::string> Note(LONG event, const std::wstring& path) { return {event, Ansi(path)}; }

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

class DesktopTest : public FileServiceTest {
 protected:
  // Every notification must carry one ANSI path and no second item.
  Notes notes;
  FakeImport<decltype(&::SHChangeNotify)> recorder =
      ReplaceImport(Library(), FWTEST_IMPORT(SHChangeNotify),
                    [this](auto original, LONG event, UINT flags, LPCVOID one, LPCVOID two) {
                      EXPECT_TRUE(flags == SHCNF_PATHA && one != nullptr && two == nullptr);
                      notes.emplace_back(event, one != nullptr ? static_cast<const char*>(one) : "");
                      original(event, flags, one, two);
                    });
  jobject self = vm.This(kDesktopService);

  Notes TakeNotes() { return std::exchange(notes, {}); }
};

HMODULE Self() { return GetModuleHandleW(nullptr); }

TEST(DesktopFolderTokens, ResolveByFamilyOnceAndCaseSensitivelyIntoItemPaths) {
  for (const bool win9x : {true, false}) {
    SCOPED_TRACE(win9x ? "Windows 98" : "Windows 2000");
    auto version = win9x ? FakeWindows98(Self()) : FakeVersion(Self(), VER_PLATFORM_WIN32_NT, 5, 0);
    std::wstring tools = L"$AllUsersDesktop$\\Tools";
    EXPECT_EQ(fw::ResolveFolderTokens(tools), 0u);
    EXPECT_EQ(tools, ShellFolder(win9x ? CSIDL_DESKTOPDIRECTORY : CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Tools");

    std::wstring path = L"$AllUsersStartMenu$;$AllUsersPrograms$;$UserDesktop$;$AllUsersPrograms$;$userprograms$";
    EXPECT_EQ(fw::ResolveFolderTokens(path), 0u);
    const std::wstring programs = ShellFolder(win9x ? CSIDL_PROGRAMS : CSIDL_COMMON_PROGRAMS);
    EXPECT_EQ(path, ShellFolder(win9x ? CSIDL_STARTMENU : CSIDL_COMMON_STARTMENU) + L";" + programs + L";" +
                        ShellFolder(CSIDL_DESKTOPDIRECTORY) + L";" + programs + L";$userprograms$");
  }
  // Text a token brings is not searched again; an item path adds a separator only where the folder has
  // none; a folder the shell cannot name is a failure.
  {
    auto odd = ReplaceImport(Self(), FWTEST_IMPORT(SHGetPathFromIDListA), [](auto, PCIDLIST_ABSOLUTE, LPSTR out) {
      std::strcpy(out, "C:\\Odd$UserPrograms$");
      return TRUE;
    });
    std::wstring path = L"$UserPrograms$\\x\\$UserPrograms$";
    EXPECT_EQ(fw::ReplaceFolderToken(path, L"$UserPrograms$", CSIDL_PROGRAMS), 0u);
    EXPECT_EQ(path, L"C:\\Odd$UserPrograms$\\x\\C:\\Odd$UserPrograms$");
  }
  std::wstring item;
  EXPECT_EQ(fw::DesktopItemPath(L"$UserDesktop$", L"", L"Readme", item), 0u);
  EXPECT_EQ(item, ShellFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Readme.lnk");
  EXPECT_EQ(fw::DesktopItemPath(L"C:/", L"Fw/Tools", L"Readme", item), 0u);
  EXPECT_EQ(item, L"C:/Fw/Tools\\Readme.lnk");
  EXPECT_EQ(fw::DesktopItemPath(L"C:\\", L"", L"Readme", item), 0u);
  EXPECT_EQ(item, L"C:\\Readme.lnk");
  auto noPath = FailImport(Self(), FWTEST_IMPORT(SHGetPathFromIDListA), FALSE, 0);
  EXPECT_EQ(fw::DesktopItemPath(L"$UserDesktop$", L"", L"Readme", item), static_cast<DWORD>(ERROR_BAD_ARGUMENTS));
  EXPECT_EQ(item, L"C:\\Readme.lnk") << "unchanged";
}

using ProgramFolderTest = DesktopTest;

TEST_F(ProgramFolderTest, CreatesMissingLevelsKeepsFoldersInUseAndNotifiesAsWritten) {
  MakeFolder(folder / L"A");
  vm.Call(FW_DESKTOP(createDesktopFolder), self, Path(folder.path()), Path(L"A\\B\\C"));
  vm.Call(FW_DESKTOP(createDesktopFolder), self, Path(folder.path()), Path(L"D/E"));
  ExpectNoException(vm);
  EXPECT_TRUE(Exists(folder / L"A\\B\\C") && Exists(folder / L"D\\E"));
  EXPECT_EQ(TakeNotes(), (Notes{Note(SHCNE_MKDIR, folder / L"A\\B\\C"), Note(SHCNE_MKDIR, folder / L"D/E")}));

  // A folder still in use stays, without a word: only a removal to the end is announced.
  WriteBytes(folder / L"A\\other.lnk", "x");
  vm.Call(FW_DESKTOP(removeDesktopFolder), self, Path(folder.path()), Path(L"A\\B\\C"));
  vm.Call(FW_DESKTOP(removeDesktopFolder), self, Path(folder.path()), Path(L"Gone\\X"));
  ExpectNoException(vm);
  EXPECT_FALSE(Exists(folder / L"A\\B"));
  EXPECT_TRUE(Exists(folder / L"A\\other.lnk"));
  EXPECT_EQ(TakeNotes(), Notes{Note(SHCNE_RMDIR, folder / L"Gone\\X")});

  // Empty levels never reach outside the base (empty: a walk one level too far would remove it).
  const std::wstring base = folder / L"base";
  MakeFolder(base);
  vm.Call(FW_DESKTOP(createDesktopFolder), self, Path(base), Path(L"\\A\\\\B\\"));
  EXPECT_TRUE(Exists(base + L"\\A\\B"));
  vm.Call(FW_DESKTOP(removeDesktopFolder), self, Path(base), Path(L"\\A\\\\B\\"));
  vm.Call(FW_DESKTOP(removeDesktopFolder), self, Path(base), Path(L"/"));
  ExpectNoException(vm);
  EXPECT_FALSE(Exists(base + L"\\A"));
  EXPECT_TRUE(Exists(base));
}

class ShortcutTest : public DesktopTest {
 protected:
  // Java argument order: folder, sub-folder, item, target, arguments, icon location, working directory.
  void CreateItem(const std::wstring& sub, const std::wstring& item, const wchar_t* arguments = nullptr,
                  const wchar_t* icon = nullptr, const wchar_t* directory = nullptr) {
    const auto text = [&](const wchar_t* t) { return t != nullptr ? Path(t) : jstring{nullptr}; };
    vm.Call(FW_DESKTOP(createDesktopItem), self, Path(folder.path()), Path(sub), Path(item), Path(L"C:\\windows\\notepad.exe"),
            text(arguments), text(icon), text(directory));
  }
};

TEST_F(ShortcutTest, ALinkRoundTripsAndASecondCallOverwritesIt) {
  const std::wstring link = folder / L"Fw\\Tools\\My App.lnk";
  CreateItem(L"Fw\\Tools", L"My App", L"-x \"a b\"", L"C:\\windows\\system32\\shell32.dll", L"C:\\windows");
  ExpectNoException(vm);
  EXPECT_EQ(TakeNotes(), (Notes{Note(SHCNE_MKDIR, folder / L"Fw\\Tools"), Note(SHCNE_CREATE, link)}));
  EXPECT_EQ(LoadLink(link), (std::vector<std::string>{"C:\\windows\\notepad.exe", "-x \"a b\"", "C:\\windows", "My App",
                                                      "C:\\windows\\system32\\shell32.dll,0"}));
  for (const wchar_t* empty : {L"", static_cast<const wchar_t*>(nullptr)}) {  // empty or null: not set
    CreateItem(L"Fw\\Tools", L"My App", empty, empty, empty);
    ExpectNoException(vm);
    EXPECT_EQ(LoadLink(link), (std::vector<std::string>{"C:\\windows\\notepad.exe", "", "", "My App", ",0"}));
  }
  vm.Call(FW_DESKTOP(createDesktopItem), self, Path(folder.path()), Path(L"Null"), Path(L"Readme"), jstring{nullptr}, nullptr, nullptr,
          nullptr);
  ExpectFailure(vm, -80002, ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(Exists(folder / L"Null"));
  {  // Arguments that do not convert are refused, not left out of the link.
    auto unconvertible = ReplaceImport(Library(), FWTEST_IMPORT(WideCharToMultiByte),
        [](auto original, UINT page, DWORD flags, LPCWSTR text, int length, LPSTR out, int size, LPCSTR fill, LPBOOL used) {
          if (text != nullptr && std::wcscmp(text, L"-x") == 0) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
          }
          return original(page, flags, text, length, out, size, fill, used);
        });
    CreateItem(L"Lost", L"Readme", L"-x");
    ExpectFailure(vm, -80002, ERROR_NO_UNICODE_TRANSLATION);
    EXPECT_FALSE(Exists(folder / L"Lost"));
  }

  // A thread without COM gets it for the one call, and has none after it.
  HRESULT after = E_UNEXPECTED;
  std::thread([&] {
    CreateItem(L"Fw", L"Other Thread");
    after = CoInitialize(nullptr);  // S_OK: the call left no COM behind
    if (SUCCEEDED(after)) CoUninitialize();
  }).join();
  ExpectNoException(vm);
  EXPECT_EQ(after, S_OK);
  EXPECT_TRUE(LoadLink(folder / L"Fw\\Other Thread.lnk").has_value());
}

TEST_F(ShortcutTest, RemovalFindsOlderItemKindsOnlyOnWindows9xAndEmptiesTheSubFolder) {
  MakeFolder(folder / L"Fw");
  for (const wchar_t* file : {L"a.lnk", L"a.pif", L"b.pif", L"b.url"}) WriteBytes(folder / L"Fw\\" + file, "x");
  const bool win9x = fw::IsWindows9x();
  for (const wchar_t* item : {L"a", L"b", L"c"}) vm.Call(FW_DESKTOP(removeDesktopItem), self, Path(folder.path()), Path(L"Fw"), Path(item));
  ExpectNoException(vm);
  EXPECT_EQ(TakeNotes(), (Notes{Note(SHCNE_DELETE, folder / L"Fw\\a.lnk"),
                                Note(SHCNE_DELETE, folder / (win9x ? L"Fw\\b.pif" : L"Fw\\b.lnk")),
                                Note(SHCNE_DELETE, folder / (win9x ? L"Fw\\c.url" : L"Fw\\c.lnk"))}));
  EXPECT_TRUE(Exists(folder / L"Fw\\a.pif") && Exists(folder / L"Fw\\b.url"));
  EXPECT_EQ(Exists(folder / L"Fw\\b.pif"), !win9x);  // and Fw, still in use, stays without error

  RemoveAll(folder / L"Fw");
  MakeFolder(folder / L"Fw");
  vm.Call(FW_DESKTOP(removeDesktopItem), self, Path(folder.path()), Path(L"Fw"), Path(L"Gone"));
  ExpectNoException(vm);
  EXPECT_FALSE(Exists(folder / L"Fw"));
  EXPECT_EQ(TakeNotes(), (Notes{Note(SHCNE_DELETE, folder / (win9x ? L"Fw\\Gone.url" : L"Fw\\Gone.lnk")),
                                Note(SHCNE_RMDIR, folder / L"Fw")}));
}

TEST(DesktopComInit, AFailedLoadTimeInitialisationRefusesEveryItem) {
  ASSERT_EQ(GetModuleHandleW(L"fwnative.dll"), nullptr) << "another test left the library loaded";
  TempFolder folder;
  std::thread([&] {
    // The library's single-threaded CoInitialize meets this thread's multithreaded COM; its unload
    // later uninitialises once whatever it got, which ends this thread's COM too.
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    LoadedLibrary library(L"fwnative.dll");
    TestVm vm;
    vm.Call(FW_DESKTOP(createDesktopItem),
            vm.This(kDesktopService), vm.String(U16(folder.path())),
            vm.StringUtf8("Fw"), vm.StringUtf8("Readme"), vm.StringUtf8("C:\\x.exe"), nullptr, nullptr, nullptr);
    ExpectFailure(vm, -80002, static_cast<DWORD>(RPC_E_CHANGED_MODE));
  }).join();
  EXPECT_FALSE(Exists(folder / L"Fw"));
}

}  // namespace
}  // namespace fwtest

// createDesktopItem and removeDesktopItem: links written, read back by the shell and removed.
#include <thread>

#include "desktop/desktop_test_support.h"
#include "support/recorded_import.h"

namespace fwtest {
namespace {

class ShortcutTest : public DesktopTest {
 protected:
  // Java argument order: folder, sub-folder, item, target, arguments, icon location, working directory.
  void CreateItem(const std::wstring& sub, const std::wstring& item, const wchar_t* arguments = nullptr,
                  const wchar_t* icon = nullptr, const wchar_t* directory = nullptr) {
    const auto text = [&](const wchar_t* t) { return t != nullptr ? Str(t) : jstring{nullptr}; };
    vm.Call(createItem, self, Str(folder.path()), Str(sub), Str(item), Str(L"C:\\windows\\notepad.exe"),
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
  vm.Call(createItem, self, Str(folder.path()), Str(L"Null"), Str(L"Readme"), jstring{nullptr}, nullptr, nullptr,
          nullptr);
  ExpectFailure(vm, -80002, ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(Exists(folder / L"Null"));
}

TEST_F(ShortcutTest, AThreadWithoutComGetsComForTheOneCall) {
  auto initialise = RecordImport(Library(), FWTEST_IMPORT(CoInitialize));
  auto uninitialise = RecordImport(Library(), FWTEST_IMPORT(CoUninitialize));
  HRESULT after = E_UNEXPECTED;
  std::thread([&] {
    CreateItem(L"Fw", L"Other Thread");
    after = CoInitialize(nullptr);  // S_OK: the call left no COM behind
    if (SUCCEEDED(after)) CoUninitialize();
  }).join();
  ExpectNoException(vm);
  EXPECT_EQ(after, S_OK);
  EXPECT_EQ(initialise.count(), 1u);
  EXPECT_EQ(uninitialise.count(), 1u);
  EXPECT_TRUE(LoadLink(folder / L"Fw\\Other Thread.lnk").has_value());
}

TEST_F(ShortcutTest, RemovalFindsOlderItemKindsOnlyOnWindows9xAndEmptiesTheSubFolder) {
  MakeFolder(folder / L"Fw");
  for (const wchar_t* file : {L"a.lnk", L"a.pif", L"b.pif", L"b.url"}) WriteBytes(folder / L"Fw\\" + file, "x");
  const bool win9x = fw::IsWindows9x();
  for (const wchar_t* item : {L"a", L"b", L"c"}) vm.Call(removeItem, self, Str(folder.path()), Str(L"Fw"), Str(item));
  ExpectNoException(vm);
  EXPECT_EQ(TakeNotes(), (Notes{Note(SHCNE_DELETE, folder / L"Fw\\a.lnk"),
                                Note(SHCNE_DELETE, folder / (win9x ? L"Fw\\b.pif" : L"Fw\\b.lnk")),
                                Note(SHCNE_DELETE, folder / (win9x ? L"Fw\\c.url" : L"Fw\\c.lnk"))}));
  EXPECT_TRUE(Exists(folder / L"Fw\\a.pif") && Exists(folder / L"Fw\\b.url"));
  EXPECT_EQ(Exists(folder / L"Fw\\b.pif"), !win9x);  // and Fw, still in use, stays without error

  RemoveAll(folder / L"Fw");
  MakeFolder(folder / L"Fw");
  vm.Call(removeItem, self, Str(folder.path()), Str(L"Fw"), Str(L"Gone"));
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
    vm.Call(FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl_createDesktopItem),
            vm.This("com/fernwick/wizard/platform/win32/Win32DesktopServiceImpl"), vm.String(U16(folder.path())),
            vm.StringUtf8("Fw"), vm.StringUtf8("Readme"), vm.StringUtf8("C:\\x.exe"), nullptr, nullptr, nullptr);
    ExpectFailure(vm, -80002, static_cast<DWORD>(RPC_E_CHANGED_MODE));
  }).join();
  EXPECT_FALSE(Exists(folder / L"Fw"));
}

}  // namespace
}  // namespace fwtest

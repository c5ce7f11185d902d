// The twelve owner and attribute methods of the desktop service: the file service's operations on
// the path of an item ("<folder>\<sub-folder>\<item>.lnk") or a folder, each with its own code.
// The operations themselves are tested with the file service; here only what the desktop adds.
#include <functional>

#include "desktop/desktop_test_support.h"
#include "support/fake_version.h"

namespace fwtest {
namespace {

#define FW_DESKTOP(method) FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl_##method)

class DesktopItemFilesTest : public DesktopTest {
 public:
  std::string Show(jstring text) {
    const auto value = vm.StringValue(text);
    return value ? "\"" + std::string(value->begin(), value->end()) + "\"" : "null";
  }
  std::string Show(jobject peer) { return vm.IsNull(peer) ? "null" : "a peer"; }

 protected:
  DesktopItemFilesTest() {
    MakeFolder(folder / L"Fw");
    WriteBytes(folder / L"Fw\\Item.lnk", "link");
  }
};

TEST_F(DesktopItemFilesTest, EachMethodOnItsPathWithItsCode) {
  // (folder, sub-folder, item) as the caller names them.
  struct Names {
    jstring folder, subFolder, item;
  };
  const Names present{Str(folder.path()), Str(L"Fw"), Str(L"Item")};
  const jobject writable = vm.NewPeer(kFileAttributes);
  vm.SetBoolProperty(writable, "AttributeState[4]", true);  // OWNER_WRITEABLE
  const struct {
    const char* method;
    jint code;
    bool owner;  // refused on Windows 9x
    std::function<std::string(const Names&)> call;
  } methods[] = {
      {"getDesktopItemOwnerGroup", -80010, true,
       [&](const Names& n) { return Show(vm.Call(FW_DESKTOP(getDesktopItemOwnerGroup), self, n.folder, n.subFolder, n.item)); }},
      {"setDesktopItemOwnerGroup", -80011, true,
       [&](const Names& n) { vm.Call(FW_DESKTOP(setDesktopItemOwnerGroup), self, n.folder, n.subFolder, n.item, vm.String(u"SYSTEM")); return std::string("void"); }},
      {"getDesktopItemOwner", -80012, true,
       [&](const Names& n) { return Show(vm.Call(FW_DESKTOP(getDesktopItemOwner), self, n.folder, n.subFolder, n.item)); }},
      {"setDesktopItemOwner", -80013, true,
       [&](const Names& n) { vm.Call(FW_DESKTOP(setDesktopItemOwner), self, n.folder, n.subFolder, n.item, vm.String(u"SYSTEM")); return std::string("void"); }},
      {"getDesktopFolderOwnerGroup", -80014, true,
       [&](const Names& n) { return Show(vm.Call(FW_DESKTOP(getDesktopFolderOwnerGroup), self, n.folder, n.subFolder)); }},
      {"setDesktopFolderOwnerGroup", -80015, true,
       [&](const Names& n) { vm.Call(FW_DESKTOP(setDesktopFolderOwnerGroup), self, n.folder, n.subFolder, vm.String(u"SYSTEM")); return std::string("void"); }},
      {"getDesktopFolderOwner", -80016, true,
       [&](const Names& n) { return Show(vm.Call(FW_DESKTOP(getDesktopFolderOwner), self, n.folder, n.subFolder)); }},
      {"setDesktopFolderOwner", -80017, true,
       [&](const Names& n) { vm.Call(FW_DESKTOP(setDesktopFolderOwner), self, n.folder, n.subFolder, vm.String(u"SYSTEM")); return std::string("void"); }},
      {"getDesktopItemAttributes", -80018, false,
       [&](const Names& n) { return Show(vm.Call(FW_DESKTOP(getDesktopItemAttributes), self, n.folder, n.subFolder, n.item)); }},
      {"setDesktopItemAttributes", -80019, false,
       [&](const Names& n) { vm.Call(FW_DESKTOP(setDesktopItemAttributes), self, n.folder, n.subFolder, n.item, writable); return std::string("void"); }},
      {"getDesktopFolderAttributes", -80020, false,
       [&](const Names& n) { return Show(vm.Call(FW_DESKTOP(getDesktopFolderAttributes), self, n.folder, n.subFolder)); }},
      {"setDesktopFolderAttributes", -80021, false,
       [&](const Names& n) { vm.Call(FW_DESKTOP(setDesktopFolderAttributes), self, n.folder, n.subFolder, writable); return std::string("void"); }},
  };
  const jint notSupported = *vm.StaticIntConstant("com/fernwick/wizard/service/ServiceException", "OPERATION_NOT_SUPPORTED");
  for (const bool windows9x : {false, true}) {
    auto version = windows9x ? FakeWindows98(Library()) : FakeWindowsXP(Library());
    for (const auto& m : methods) {
      SCOPED_TRACE(std::string(m.method) + (windows9x ? " on Windows 98" : " on Windows XP"));
      const std::string answer = m.call(present);
      if (windows9x && m.owner) {
        ExpectServiceExceptionCode(vm, notSupported);
        continue;
      }
      ExpectNoException(vm);
      EXPECT_NE(answer, "null");
      EXPECT_NE(answer, "\"\"");
    }
  }
  EXPECT_TRUE(Exists(folder / L"Fw\\Item.lnk")) << "nothing was removed on the way";
}

}  // namespace
}  // namespace fwtest

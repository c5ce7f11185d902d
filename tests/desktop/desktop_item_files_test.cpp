// The twelve owner and attribute methods of the desktop service: the file service's operations on
// the path of an item ("<folder>\<sub-folder>\<item>.lnk") or a folder, each with its own code.
// The operations themselves are tested with the file service; here only what the desktop adds.
#include <functional>
#include <optional>

#include "desktop/desktop_test_support.h"
#include "support/fake_version.h"

namespace fwtest {
namespace {

#define FW_DESKTOP(method) FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32DesktopServiceImpl_##method)

class DesktopItemFilesTest : public DesktopTest {
 protected:
  DesktopItemFilesTest() {
    MakeFolder(folder / L"Fw");
    WriteBytes(folder / L"Fw\\Item.lnk", "link");
  }
};

TEST_F(DesktopItemFilesTest, EachMethodOnItsPath) {
  const jstring base = Str(folder.path()), sub = Str(L"Fw"), item = Str(L"Item"), account = vm.String(u"SYSTEM");
  const jobject writable = vm.NewPeer(kFileAttributes);
  vm.SetBoolProperty(writable, "AttributeState[4]", true);  // OWNER_WRITEABLE
  // A getter's answer must be there and not empty; a setter answers with nothing.
  const std::optional<jobject> none;
  const struct {
    const char* method;
    bool owner;  // refused on Windows 9x
    std::function<std::optional<jobject>()> call;
  } methods[] = {
      {"getDesktopItemOwnerGroup", true, [&] { return vm.Call(FW_DESKTOP(getDesktopItemOwnerGroup), self, base, sub, item); }},
      {"setDesktopItemOwnerGroup", true, [&] { vm.Call(FW_DESKTOP(setDesktopItemOwnerGroup), self, base, sub, item, account); return none; }},
      {"getDesktopItemOwner", true, [&] { return vm.Call(FW_DESKTOP(getDesktopItemOwner), self, base, sub, item); }},
      {"setDesktopItemOwner", true, [&] { vm.Call(FW_DESKTOP(setDesktopItemOwner), self, base, sub, item, account); return none; }},
      {"getDesktopFolderOwnerGroup", true, [&] { return vm.Call(FW_DESKTOP(getDesktopFolderOwnerGroup), self, base, sub); }},
      {"setDesktopFolderOwnerGroup", true, [&] { vm.Call(FW_DESKTOP(setDesktopFolderOwnerGroup), self, base, sub, account); return none; }},
      {"getDesktopFolderOwner", true, [&] { return vm.Call(FW_DESKTOP(getDesktopFolderOwner), self, base, sub); }},
      {"setDesktopFolderOwner", true, [&] { vm.Call(FW_DESKTOP(setDesktopFolderOwner), self, base, sub, account); return none; }},
      {"getDesktopItemAttributes", false, [&] { return vm.Call(FW_DESKTOP(getDesktopItemAttributes), self, base, sub, item); }},
      {"setDesktopItemAttributes", false, [&] { vm.Call(FW_DESKTOP(setDesktopItemAttributes), self, base, sub, item, writable); return none; }},
      {"getDesktopFolderAttributes", false, [&] { return vm.Call(FW_DESKTOP(getDesktopFolderAttributes), self, base, sub); }},
      {"setDesktopFolderAttributes", false, [&] { vm.Call(FW_DESKTOP(setDesktopFolderAttributes), self, base, sub, writable); return none; }},
  };
  const jint notSupported = *vm.StaticIntConstant("com/fernwick/wizard/service/ServiceException", "OPERATION_NOT_SUPPORTED");
  for (const bool windows9x : {false, true}) {
    auto version = windows9x ? FakeWindows98(Library()) : FakeWindowsXP(Library());
    for (const auto& m : methods) {
      SCOPED_TRACE(std::string(m.method) + (windows9x ? " on Windows 98" : " on Windows XP"));
      const std::optional<jobject> answer = m.call();
      if (windows9x && m.owner) {
        ExpectServiceExceptionCode(vm, notSupported);
        continue;
      }
      ExpectNoException(vm);
      if (!answer) continue;
      EXPECT_FALSE(vm.IsNull(*answer));
      EXPECT_TRUE(!m.owner || vm.StringValue(static_cast<jstring>(*answer)) != u"") << "an empty name";
    }
  }
  EXPECT_TRUE(Exists(folder / L"Fw\\Item.lnk")) << "nothing was removed on the way";
}

}  // namespace
}  // namespace fwtest

// The Windows 2000 service settings Wine only pretends to keep (failure actions, the database
// lock), round-tripped through a store of the test's own, and the two file methods of
// Win32ServiceImpl: short paths and version information.
#include <windows.h>

#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "bridge/platform.h"
#include "support/program_folder.h"
#include "winservice/service_test_support.h"

namespace fwtest {
namespace {

constexpr char kActionClass[] = "com/fernwick/wizard/platform/win32/win32service/Win2kSCAction";

// Stands for what Wine drops: the failure actions a service keeps (level 2), and a real database
// lock. Records the order of the calls the library makes and whether SeShutdownPrivilege was on
// during each change.
class FailureActionsStore {
 public:
  explicit FailureActionsStore(HMODULE library)
      : lock_(SubstituteProcAddress(library, FWTEST_IMPORT(LockServiceDatabase), [this](auto, SC_HANDLE) {
          calls.push_back("lock");
          return reinterpret_cast<SC_LOCK>(0x10c);
        })),
        unlock_(SubstituteProcAddress(library, FWTEST_IMPORT(UnlockServiceDatabase), [this](auto, SC_LOCK) {
          calls.push_back("unlock");
          return TRUE;
        })),
        open_(SubstituteProcAddress(library, FWTEST_IMPORT(OpenServiceW), [this](auto original, auto... args) {
          calls.push_back("open");
          return original(args...);
        })),
        change_(SubstituteProcAddress(library, FWTEST_IMPORT(ChangeServiceConfig2W),
                                      [this](auto, SC_HANDLE, DWORD, LPVOID info) { return Change(info); })),
        query_(SubstituteProcAddress(library, FWTEST_IMPORT(QueryServiceConfig2W),
                                     [this](auto, SC_HANDLE, DWORD, LPBYTE buffer, DWORD size, LPDWORD needed) {
                                       return Query(buffer, size, needed);
                                     })) {}

  std::vector<std::string> calls;
  std::vector<bool> shutdownPrivilegeHeld;
  DWORD resetPeriod = 0;
  std::wstring rebootMessage, command;
  bool rebootMessageSent = false, commandSent = false;
  std::vector<SC_ACTION> actions;

 private:
  BOOL Change(LPVOID info) {
    calls.push_back("change");
    shutdownPrivilegeHeld.push_back(ShutdownPrivilegeHeld());
    const auto* sent = static_cast<const SERVICE_FAILURE_ACTIONSW*>(info);
    resetPeriod = sent->dwResetPeriod;
    rebootMessageSent = sent->lpRebootMsg != nullptr;
    if (rebootMessageSent) rebootMessage = sent->lpRebootMsg;
    commandSent = sent->lpCommand != nullptr;
    if (commandSent) command = sent->lpCommand;
    if (sent->lpsaActions != nullptr) actions.assign(sent->lpsaActions, sent->lpsaActions + sent->cActions);
    return TRUE;
  }
  // The stored actions laid out as the system lays them out: the structure, then what it points to.
  BOOL Query(LPBYTE buffer, DWORD size, LPDWORD needed) {
    const DWORD textBytes = static_cast<DWORD>((rebootMessage.size() + command.size() + 2) * sizeof(wchar_t));
    *needed = sizeof(SERVICE_FAILURE_ACTIONSW) + static_cast<DWORD>(actions.size() * sizeof(SC_ACTION)) + textBytes;
    if (size < *needed) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    auto* out = reinterpret_cast<SERVICE_FAILURE_ACTIONSW*>(buffer);
    auto* entries = reinterpret_cast<SC_ACTION*>(out + 1);
    std::copy(actions.begin(), actions.end(), entries);
    auto* text = reinterpret_cast<wchar_t*>(entries + actions.size());
    *out = {resetPeriod, text, text + rebootMessage.size() + 1, static_cast<DWORD>(actions.size()),
            actions.empty() ? nullptr : entries};
    std::copy(rebootMessage.c_str(), rebootMessage.c_str() + rebootMessage.size() + 1, text);
    std::copy(command.c_str(), command.c_str() + command.size() + 1, text + rebootMessage.size() + 1);
    return TRUE;
  }
  static bool ShutdownPrivilegeHeld() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    PRIVILEGE_SET wanted = {1, PRIVILEGE_SET_ALL_NECESSARY, {}};
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &wanted.Privilege[0].Luid);
    BOOL held = FALSE;
    PrivilegeCheck(token, &wanted, &held);
    CloseHandle(token);
    return held != FALSE;
  }

  SubstitutedProcAddress<decltype(&::LockServiceDatabase)> lock_;
  SubstitutedProcAddress<decltype(&::UnlockServiceDatabase)> unlock_;
  SubstitutedProcAddress<decltype(&::OpenServiceW)> open_;
  SubstitutedProcAddress<decltype(&::ChangeServiceConfig2W)> change_;
  SubstitutedProcAddress<decltype(&::QueryServiceConfig2W)> query_;
};

TEST_F(ServiceTest, FailureActionsRoundTripUnderTheDatabaseLock) {
  const jobject config = Config(L"Fernwick Actions", 0x10, 3, 1, L"\"" + ProgramFolder() + L"\\fwtestsvc.exe\" x");
  vm.Call(FW_SERVICE(createNTService), self, Str(name), config);
  ExpectNoException(vm);
  FailureActionsStore store(library.get());
  const auto action = [&](jint type, jint delay) {
    const jobject a = vm.NewPeer(kActionClass);
    vm.SetIntProperty(a, "ActionType", type);
    vm.SetIntProperty(a, "Delay", delay);
    return a;
  };
  // Restart, reboot, run a command, and a type no Windows knows (sent as SC_ACTION_NONE).
  const jobject actions = vm.NewPeer(kFailureActionsClass);
  vm.SetIntProperty(actions, "ResetPeriod", 86400);
  vm.SetStringProperty(actions, "RebootMsg", u"Restarting for Fernwick");
  vm.SetStringProperty(actions, "Command", u"");
  vm.SetIntProperty(actions, "ActionCount", 4);
  const jint types[] = {1, 2, 3, 7};
  for (jint i = 0; i < 4; ++i) vm.SetObjectProperty(actions, "ActionAt[" + std::to_string(i) + "]", action(types[i], 1000 * (i + 1)));
  vm.Call(FW_SERVICE(changeWin2kServiceFailureActions), self, Str(name), actions);
  ExpectNoException(vm);
  EXPECT_EQ(store.calls, (std::vector<std::string>{"lock", "open", "change", "unlock"}));
  // Windows 9x has no privileges: nothing is enabled there.
  const bool privileges = !fw::IsWindows9x();
  EXPECT_EQ(store.shutdownPrivilegeHeld, std::vector<bool>{privileges});
  EXPECT_FALSE(store.command.empty() && !store.commandSent) << "\"\" is sent, which removes the command";
  ASSERT_EQ(store.actions.size(), 4u);
  EXPECT_EQ(store.actions[3].Type, SC_ACTION_NONE);

  const jobject read = vm.Call(FW_SERVICE(queryWin2kServiceFailureActions), self, Str(name));
  ExpectNoException(vm);
  EXPECT_EQ(vm.IntProperty(read, "ResetPeriod"), 86400);
  EXPECT_EQ(vm.StringProperty(read, "RebootMsg"), u"Restarting for Fernwick");
  const std::vector<jobject> added = vm.ListProperty(read, "Action");
  ASSERT_EQ(added.size(), 4u);
  for (std::size_t i = 0; i < added.size(); ++i) {  // each made with its (type, delay) constructor
    EXPECT_EQ(vm.ConstructorDescriptor(added[i]), "(II)V");
    EXPECT_EQ(vm.IntArgument(added[i], 0), i < 3 ? types[i] : 0);
    EXPECT_EQ(vm.IntArgument(added[i], 1), 1000 * static_cast<jlong>(i + 1));
  }

  // No actions: a null action pointer keeps the service's; the texts absent stay as they are, and
  // without a reboot action the privilege is not touched.
  const jobject none = vm.NewPeer(kFailureActionsClass);
  vm.SetIntProperty(none, "ResetPeriod", 60);
  vm.SetIntProperty(none, "ActionCount", 0);
  store.calls.clear();
  vm.Call(FW_SERVICE(changeWin2kServiceFailureActions), self, Str(name), none);
  ExpectNoException(vm);
  EXPECT_EQ(store.actions.size(), 4u);
  EXPECT_FALSE(store.rebootMessageSent || store.commandSent);
  EXPECT_EQ(store.shutdownPrivilegeHeld, (std::vector<bool>{privileges, false}));
  // A count below zero has no meaning: an argument error, with the lock given back all the same.
  vm.SetIntProperty(none, "ActionCount", -1);
  store.calls.clear();
  vm.Call(FW_SERVICE(changeWin2kServiceFailureActions), self, Str(name), none);
  ExpectServiceException(vm, -1200013, ErrorMessage(ERROR_BAD_ARGUMENTS));
  EXPECT_EQ(store.calls, (std::vector<std::string>{"lock", "open", "unlock"}));
}

// Wine's short names are hashed: each component is checked for its 8.3 shape, and the whole for
// leading back to the long path.
bool IsShortComponent(const std::wstring& name) {
  const std::size_t dot = name.find(L'.');
  const std::size_t base = dot == std::wstring::npos ? name.size() : dot;
  return base >= 1 && base <= 8 && (dot == std::wstring::npos || name.size() - dot - 1 <= 3) &&
         name.find(L' ') == std::wstring::npos;
}

TEST_F(ServiceTest, ShortPathsAndVersionInformation) {
  const std::wstring longPath = folder / L"a long folder name\\a long file name.text";
  MakeFolder(folder / L"a long folder name");
  WriteBytes(longPath, "no version here");
  const auto shortPath = vm.StringValue(vm.Call(FW_SERVICE(getShortPath), self, Str(longPath)));
  ASSERT_TRUE(shortPath);
  const std::wstring text(shortPath->begin(), shortPath->end());
  wchar_t back[MAX_PATH] = {};
  GetLongPathNameW(text.c_str(), back, MAX_PATH);
  EXPECT_EQ(std::wstring(back), longPath);
  const std::wstring lastTwo = text.substr(text.rfind(L'\\', text.rfind(L'\\') - 1) + 1);
  EXPECT_TRUE(IsShortComponent(lastTwo.substr(0, lastTwo.find(L'\\'))) &&
              IsShortComponent(lastTwo.substr(lastTwo.find(L'\\') + 1)))
      << "short form " << std::string(text.begin(), text.end());

  const jobject info = vm.Call(FW_SERVICE(getFixedFileInfo), self, Str(ProgramFolder() + L"\\fwtestsvc.exe"));
  ASSERT_FALSE(vm.IsNull(info));
  EXPECT_EQ(static_cast<DWORD>(vm.IntProperty(info, "Signature")), 0xFEEF04BDu);
  EXPECT_EQ(vm.IntProperty(info, "FileVersionMS"), 0x00010002);
  EXPECT_EQ(vm.IntProperty(info, "FileVersionLS"), 0x00030004);
  EXPECT_EQ(vm.IntProperty(info, "ProductVersionMS"), 0x00050006);
  EXPECT_EQ(vm.IntProperty(info, "ProductVersionLS"), 0x00070008);
  EXPECT_EQ(vm.IntProperty(info, "FileType"), VFT_APP);
  // Never an exception: a file without version information, and a missing one, give null.
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(getFixedFileInfo), self, Str(longPath))));
  EXPECT_TRUE(vm.IsNull(vm.Call(FW_SERVICE(getFixedFileInfo), self, Str(folder / L"missing.dll"))));
  ExpectNoException(vm);
}

}  // namespace
}  // namespace fwtest

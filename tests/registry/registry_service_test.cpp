// Win32RegistryServiceImpl through the built DLL, called as fwcall calls it: every method's answer
// on a key of the test's own. (Each method's code and default: BadInput.RegistryMethods*.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "bridge/platform.h"
#include "registry/fwcall_lines.h"
#include "registry/registry_test_key.h"
#include "support/recorded_import.h"

namespace fwtest {
namespace {

TEST(RegistryServiceTest, EveryMethodWorksEndToEnd) {
  TestRegistryKey key;
  FwcallLines calls;
  const std::string r = "Win32RegistryServiceImpl.", at = " 3 \"" + Narrow(key.Path());
  const std::string k = at + "\"", sub = at + "\\sub\"", deeper = at + "\\sub\\deeper\"";
  // A text outside ASCII, which the 9x family stores in the ANSI code page.
  const auto accented = [](TestVm& vm, const fwcall::NativeMethod&, std::vector<jvalue>& args) { args[4].l = vm.String(u"text\u00e9"); };
  EXPECT_EQ(calls.Answer(r + "setStringValue" + k + " s false x", accented), "null");
  const std::vector<std::pair<std::string, std::string>> answers = {
      {"createKey" + k + " sub\\deeper", "null"},
      {"keyExists" + deeper, "true"},
      {"isKeyEmpty" + deeper, "true"},
      {"setStringValue" + k + " n false \"\"", "null"},
      {"set32BitValue" + k + " d -2", "null"},
      {"setBinaryValue" + k + " b 010200ff", "null"},
      {"setMultiStringValue" + k + " m [\"a\", null, \"c\"]", "null"},
      {"getStringValue" + k + " s true", R"("text\u00e9")"},
      {"getStringValue" + k + " n false", R"("")"},
      {"get32BitValue" + k + " d", "-2"},
      {"getBinaryValue" + k + " b", R"("010200ff")"},
      {"getMultiStringValue" + k + " m", R"(["a", "", "c"])"},
      {"getValueType" + k + " m", "7"},
      {"getKeyValueNames" + k, R"(["b", "d", "m", "n", "s"])"},  // the system's order, which Wine sorts
      {"getSubkeyNames" + k, R"(["sub"])"},
      {"getKeyValueNames" + sub, "[]"},
      {"countSubKeys" + k, "1"},
      {"countValuesInKey" + k, "5"},
      {"longestSubKeyNameLength" + k, "3"},
      {"longestValueNameLength" + k, "1"},
      {"longestValueNameData" + k, "12"},  // the multi-string's
      {"isKeyEmpty" + k, "false"},
      {"setBinaryValue" + k + " e \"\"", "null"},
      {"getBinaryValue" + k + " e", R"("")"},
      {"valueExists" + k + " s", "true"},
      {"deleteValue" + k + " s true", "null"},
      {"valueExists" + k + " s", "false"},
  };
  for (const auto& [line, answer] : answers) EXPECT_EQ(calls.Answer(r + line), answer) << line;
  // A byte array the VM cannot make (the key and the name are copied first) is out of memory.
  const auto noMemory = [](TestVm& vm, const fwcall::NativeMethod&, std::vector<jvalue>&) { vm.FailAllocations(1, 2); };
  EXPECT_EQ(calls.Answer(r + "getBinaryValue" + k + " b", noMemory), Thrown(-100010, 0x8007000E));
  // The NT family deletes the tree itself; the 9x RegDeleteKeyA removes the subtree.
  auto deleteA = RecordImport(calls.library.get(), FWTEST_IMPORT(RegDeleteKeyA));
  EXPECT_EQ(calls.Answer(r + "deleteKey" + k + " sub true"), "null");
  EXPECT_EQ(deleteA.count(), fw::IsWindowsNT() ? 0u : 1u);
  EXPECT_EQ(calls.Answer(r + "keyExists" + sub), "false");
}

}  // namespace
}  // namespace fwtest

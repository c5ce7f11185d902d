// Win32RegistryServiceImpl through the built DLL, called as fwcall calls it: every method's answer
// on a key of the test's own. (Each method's code and default: BadInput.RegistryMethods*.)
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "registry/fwcall_lines.h"
#include "registry/registry_test_key.h"

namespace fwtest {
namespace {

TEST(RegistryServiceTest, EveryMethodWorksEndToEnd) {
  TestRegistryKey key;
  FwcallLines calls;
  const std::string r = "Win32RegistryServiceImpl.", at = " 3 \"" + Narrow(key.Path());
  const std::string k = at + "\"", sub = at + "\\sub\"", deeper = at + "\\sub\\deeper\"", list = at + "\\list\"";
  const std::string fits(1023, 'n');
  const auto expect = [&](const std::vector<std::pair<std::string, std::string>>& answers) {
    for (const auto& [line, answer] : answers) EXPECT_EQ(calls.Answer(r + line), answer) << line;
  };
  // A text outside ASCII, which the 9x family stores in the ANSI code page.
  const auto accented = [](TestVm& vm, const fwcall::NativeMethod&, std::vector<jvalue>& args) { args[4].l = vm.String(u"text\u00e9"); };
  EXPECT_EQ(calls.Answer(r + "setStringValue" + k + " s false x", accented), "null");
  expect({{"createKey" + k + " sub\\deeper", "null"},
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
          // Listed in the system's order; the default value is named "".
          {"createKey" + k + " list\\beta", "null"},
          {"createKey" + k + " list\\Alpha", "null"},
          {"getSubkeyNames" + list, R"(["Alpha", "beta"])"},
          {"setStringValue" + list + " \"\" false default", "null"},
          {"set32BitValue" + list + " " + fits + " 1", "null"},
          {"getKeyValueNames" + list, "[\"\", \"" + fits + "\"]"}});
  // A name of 1024 characters does not fit: the whole listing fails.
  SetRawValue(key.Root(), key.Below(L"list"), std::wstring(1024, L'o').c_str(), REG_DWORD, "\1\0\0\0", 4);
  // Texts end at their first zero, or where the data ends; expanded only when asked, and only
  // those stored for expansion.
  SetRawValue(key.Root(), key.Path(), L"unterminated", REG_SZ, L"abcX", 6);
  SetRawValue(key.Root(), key.Path(), L"embedded", REG_SZ, L"abcX\0tail", 20);
  ASSERT_TRUE(SetEnvironmentVariableW(L"FWTEST_REG", L"Expanded"));
  expect({{"getKeyValueNames" + list, Thrown(-100000, ERROR_MORE_DATA)},
          {"getStringValue" + k + " unterminated false", R"("abc")"},
          {"getStringValue" + k + " embedded false", R"("abcX")"},
          {"setStringValue" + k + " x true \"<%FWTEST_REG%>\"", "null"},
          {"setStringValue" + k + " p false \"<%FWTEST_REG%>\"", "null"},
          {"getValueType" + k + " x", "2"},
          {"getStringValue" + k + " x true", R"("<Expanded>")"},
          {"getStringValue" + k + " x false", R"("<%FWTEST_REG%>")"},
          {"getStringValue" + k + " p true", R"("<%FWTEST_REG%>")"}});
  SetEnvironmentVariableW(L"FWTEST_REG", nullptr);
  // Multi-strings read up to the end of their data (no data and a lone zero are no strings, two
  // zeros one empty string), and written with a zero after each string and one more (an empty list
  // is one zero).
  const std::pair<std::wstring, std::string> read[] = {
      {std::wstring(L"a\0b\0\0", 5), R"(["a", "b"])"}, {std::wstring(1, L'\0'), "[]"}, {std::wstring(2, L'\0'), R"([""])"},
      {std::wstring(), "[]"}, {std::wstring(1500, L'm') + std::wstring(L"\0z\0\0", 4), "[\"" + std::string(1500, 'm') + "\", \"z\"]"}};
  for (const auto& [data, answer] : read) {
    SetRawValue(key.Root(), key.Path(), L"layout", REG_MULTI_SZ, data.data(), static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    EXPECT_EQ(calls.Answer(r + "getMultiStringValue" + k + " layout"), answer);
  }
  const std::pair<const char*, std::wstring> written[] = {{R"(["one", "", "two"])", std::wstring(L"one\0\0two\0\0", 10)},
                                                          {"[]", std::wstring(1, L'\0')}};
  for (const auto& [list, data] : written) {
    EXPECT_EQ(calls.Answer(r + "setMultiStringValue" + k + " layout " + list), "null");
    const std::vector<std::uint8_t> bytes = GetRawValue(key.Root(), key.Path(), L"layout")->bytes;
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t)), data) << list;
  }
  // The Java roots, each told by a key only it has (0 and 6 are no roots: BadInput.RegistryMethods*).
  expect({{"keyExists 1 CLSID", "true"}, {"keyExists 2 CLSID", "false"}, {"keyExists 4 HARDWARE", "true"},
          {"keyExists 5 HARDWARE", "false"}, {"keyExists 5 .DEFAULT", "true"}, {"keyExists 3 .DEFAULT", "false"}});
  // A byte array the VM cannot make (the key and the name are copied first) is out of memory.
  const auto noMemory = [](TestVm& vm, const fwcall::NativeMethod&, std::vector<jvalue>&) { vm.FailAllocations(1, 2); };
  EXPECT_EQ(calls.Answer(r + "getBinaryValue" + k + " b", noMemory), Thrown(-100010, 0x8007000E));
  // A key goes with its tree (the NT family deletes the tree itself, which the system would refuse).
  expect({{"deleteKey" + k + " sub true", "null"}, {"keyExists" + sub, "false"}});
}

}  // namespace
}  // namespace fwtest

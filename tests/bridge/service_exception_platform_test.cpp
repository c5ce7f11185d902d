// How the reporters choose their text: the ANSI or the Unicode message functions, and
// "netmsg.dll" for network-management errors.
#include <windows.h>

#include <gtest/gtest.h>

#if defined(__x86_64__)
// FormatMessage takes a va_list*, and the 64-bit va_list type carries an ABI attribute that GCC
// drops from template arguments. 64-bit code has one calling convention, so the fake's type is
// still exact; the 32-bit build, where the convention matters, raises no such warning.
#pragma GCC diagnostic ignored "-Wignored-attributes"
#endif

#include <cstring>
#include <string>

#include "bridge/platform.h"
#include "bridge/service_exception.h"
#include "support/fake_import.h"
#include "support/fake_version.h"
#include "support/recorded_import.h"
#include "support/scoped_netmsg_dll.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fw {
namespace {

using fwtest::TestVm;

HMODULE Self() { return GetModuleHandleW(nullptr); }

std::u16string U16(const wchar_t* text) { return std::u16string(reinterpret_cast<const char16_t*>(text)); }

std::u16string MessageFor(DWORD error) {
  TestVm vm;
  vm.Call(ThrowServiceException, jint{-110001}, error);
  const auto e = fwtest::ExpectServiceExceptionCode(vm, -110001);
  return e ? e->message : u"<none>";
}

TEST(ThrowServiceException, TakesTheAnsiFunctionsOn9xAndTheUnicodeOnesOtherwise) {
  const bool windows9x = IsWindows9x();
  auto ansi = fwtest::RecordImport(Self(), FWTEST_IMPORT(FormatMessageA));
  auto wide = fwtest::RecordImport(Self(), FWTEST_IMPORT(FormatMessageW));
  const std::u16string message = MessageFor(ERROR_ACCESS_DENIED);
  // One call for the system text, one to format the message.
  EXPECT_EQ(ansi.count(), windows9x ? 2u : 0u);
  EXPECT_EQ(wide.count(), windows9x ? 0u : 2u);
  EXPECT_EQ(message.substr(message.size() - 4), u" (5)");
}

TEST(ThrowServiceException, AnsiSystemTextIsConvertedFromTheCodePage) {
  auto windows98 = fwtest::FakeWindows98(Self());
  // The system's text arrives in code page 1252; only the look-up of the system text is faked.
  auto systemText = fwtest::ReplaceImport(
      Self(), FWTEST_IMPORT(FormatMessageA),
      [](auto original, DWORD flags, LPCVOID source, DWORD id, DWORD language, LPSTR buffer, DWORD size,
         va_list* args) -> DWORD {
        if (flags & FORMAT_MESSAGE_FROM_STRING) return original(flags, source, id, language, buffer, size, args);
        static const char kText[] = "Fichier introuvable \xe9\x80.\r\n";
        auto* copy = static_cast<char*>(LocalAlloc(LMEM_FIXED, sizeof(kText)));
        std::memcpy(copy, kText, sizeof(kText));
        *reinterpret_cast<char**>(buffer) = copy;
        return sizeof(kText) - 1;
      });
  ASSERT_EQ(GetACP(), 1252u);
  EXPECT_EQ(MessageFor(ERROR_FILE_NOT_FOUND), u"Fichier introuvable \u00e9\u20ac.\r\n (2)");
  EXPECT_EQ(systemText.calls(), 2);
}

TEST(ThrowServiceException, UnicodePathWhenTheVersionCannotBeRead) {
  auto fail = fwtest::FailImport(Self(), FWTEST_IMPORT(GetVersionExA), FALSE, ERROR_INVALID_PARAMETER);
  auto ansi = fwtest::RecordImport(Self(), FWTEST_IMPORT(FormatMessageA));
  auto wide = fwtest::RecordImport(Self(), FWTEST_IMPORT(FormatMessageW));
  MessageFor(ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ansi.count(), 0u);
  EXPECT_EQ(wide.count(), 2u);
}

TEST(ThrowServiceException, NetworkErrorsTakeTheirTextFromNetmsg) {
  fwtest::ScopedNetmsgDll netmsg;
  EXPECT_EQ(MessageFor(2102), U16(fwtest::kNetmsgText2102) + u"\r\n (2102)");
  EXPECT_EQ(MessageFor(2220), U16(fwtest::kNetmsgText2220) + u"\r\n (2220)");
  // Texts outside the table still come from the system's (searched after the module's).
  const std::u16string accessDenied = MessageFor(ERROR_ACCESS_DENIED);
  EXPECT_GT(accessDenied.size(), 4u);
  EXPECT_EQ(accessDenied.substr(accessDenied.size() - 4), u" (5)");
}  // netmsg.dll is deleted here, which fails if the library left it loaded

TEST(ThrowServiceException, WithoutNetmsgTheSystemTableAloneIsSearched) {
  // Wine's system table has no text for 2102.
  EXPECT_EQ(MessageFor(2102), u" (2102)");
}

TEST(ThrowServiceException, LoadsNetmsgOnlyForErrors2100To2999) {
  struct Case {
    DWORD error;
    bool loads;
  };
  for (const Case c : {Case{2099, false}, Case{2100, true}, Case{2102, true}, Case{2999, true},
                       Case{3000, false}, Case{5, false}}) {
    auto loads = fwtest::RecordImport(Self(), FWTEST_IMPORT(LoadLibraryExA));
    MessageFor(c.error);
    ASSERT_EQ(loads.count(), c.loads ? 1u : 0u) << "error " << c.error;
    if (c.loads) {
      const auto [name, file, flags] = loads.calls()[0];
      EXPECT_EQ(name, std::optional<std::string>("netmsg.dll"));
      EXPECT_EQ(file, nullptr);
      EXPECT_EQ(flags, static_cast<DWORD>(LOAD_LIBRARY_AS_DATAFILE));
    }
  }
}

}  // namespace
}  // namespace fw

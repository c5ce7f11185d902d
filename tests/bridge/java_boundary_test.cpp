// The JNI boundary: Java strings in and results out with the VM's failures on the way, the guard
// that turns every internal failure into one ServiceException, the ScratchBuffer, and the reporters
// (the system's text of an error, a code alone, "not supported"; never over a pending exception).
#include "bridge/native_boundary.h"

#include <windows.h>

#include <gtest/gtest.h>

#if defined(__x86_64__)
// FormatMessage's va_list* carries an ABI attribute GCC drops from template arguments (harmless
// where there is one calling convention).
#pragma GCC diagnostic ignored "-Wignored-attributes"
#endif

#include <cstdint>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "bridge/java_results.h"
#include "bridge/java_string_chars.h"
#include "bridge/platform.h"
#include "bridge/scratch_buffer.h"
#include "bridge/service_exception.h"
#include "file/attribute_exception.h"
#include "registry/registry_test_key.h"
#include "support/fake_import.h"
#include "support/fake_version.h"
#include "support/scoped_netmsg_dll.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fw {
namespace {

using fwtest::TestVm;

TEST(JavaResults, StringsKeepTheirExactLengthAndArraysDropElementReferencesAsTheyGo) {
  TestVm vm;
  EXPECT_EQ(vm.StringValue(vm.Call([](JNIEnv* env) { return NewJavaString(env, WideString(L"a\u0416\0b", 4)); })),
            std::u16string(u"a\u0416\0b", 4));
  EXPECT_EQ(vm.StringValue(vm.Call([](JNIEnv* env) { return NewJavaString(env, nullptr, 0); })), u"");
  StringList many(500, L"x");
  vm.Call([&](JNIEnv* env) { return NewJavaStringArray(env, many); });
  EXPECT_EQ(vm.LastCallPeakLocalRefs(), 3);  // the class, the array and one element at a time
}

constexpr jint kCode = -100008;
constexpr char kServiceException[] = "com/fernwick/wizard/service/ServiceException";

jobject StringArray(JNIEnv* env) { return NewJavaStringArray(env, StringList{L"a", L"b"}); }

// A string argument the VM cannot copy throws JavaExceptionPending, and the work stops there (an
// ANSI copy is made from this one).
void CopyOfArgument(JNIEnv* env) {
  GuardNativeCall(env, kCode, [env] {
    const JavaStringChars copy(env, env->NewStringUTF("abc"));
    env->NewStringUTF("not reached");
  });
}

// The guard around work that fails with `fail`: the fallback comes back.
void Guarded(JNIEnv* env, void (*fail)()) {
  EXPECT_EQ(GuardNativeCall(env, kCode, jint{-1}, [fail]() -> jint {
    fail();
    return 7;
  }), -1);
}

void ReportError(JNIEnv* env) { ThrowServiceException(env, -100000, 2); }

const std::string kThrown = "pending com/fernwick/wizard/service/ServiceException code=";

// Each failure leaves exactly one exception: the VM's own when a result cannot be made, a look-up
// fails or one is already pending; otherwise one ServiceException: the method's code and the text of
// a Win32 error, E_FAIL without a message for any other failure, and "not supported" as 0 without
// its constant.
TEST(Boundary, EachFailureLeavesExactlyOneException) {
  const struct {
    const char* what;
    void (*arrange)(TestVm&);
    void (*call)(JNIEnv*);
    std::string report;  // see fwtest::ReportsMatch
  } cases[] = {
      {"no String class", [](TestVm& vm) { vm.HideClass("java/lang/String"); },
       [](JNIEnv* env) { EXPECT_EQ(StringArray(env), nullptr); }, "pending java/lang/NoClassDefFoundError..."},
      {"array not allocated", [](TestVm& vm) { vm.FailAllocations(1); },
       [](JNIEnv* env) { EXPECT_EQ(StringArray(env), nullptr); }, "pending java/lang/OutOfMemoryError..."},
      {"second element not allocated", [](TestVm& vm) { vm.FailAllocations(1, 2); },
       [](JNIEnv* env) { EXPECT_EQ(StringArray(env), nullptr); }, "pending java/lang/OutOfMemoryError..."},
      {"string argument not copied", [](TestVm& vm) { vm.FailAllocations(1, 1); }, CopyOfArgument,
       "pending java/lang/OutOfMemoryError..."},
      {"AttributeException", nullptr, [](JNIEnv* env) { Guarded(env, [] { throw AttributeException(3); }); },
       kThrown + "-100008 message=\"... (2147500037)\""},
      {"bad_alloc", nullptr, [](JNIEnv* env) { Guarded(env, [] { throw std::bad_alloc(); }); },
       kThrown + "-2147467259 (no message)"},
      {"no ServiceException class", [](TestVm& vm) { vm.HideClass(kServiceException); }, ReportError,
       "pending java/lang/NoClassDefFoundError..."},
      {"no (int, String) constructor",
       [](TestVm& vm) { vm.HideMethod(kServiceException, "<init>", "(ILjava/lang/String;)V"); }, ReportError,
       "pending java/lang/NoSuchMethodError..."},
      {"no (int) constructor", [](TestVm& vm) { vm.HideMethod(kServiceException, "<init>", "(I)V"); },
       [](JNIEnv* env) { ThrowServiceCode(env, -1); }, "pending java/lang/NoSuchMethodError..."},
      {"an exception already pending", nullptr,
       [](JNIEnv* env) {
         env->ThrowNew(env->FindClass("java/lang/OutOfMemoryError"), "first");
         ThrowServiceException(env, -1, 2);
         ThrowServiceCode(env, -1);
         ThrowNotSupported(env);
         EXPECT_EQ(GetNotSupportedCode(env), -1);
       },
       "pending java/lang/OutOfMemoryError message=\"first\""},
      {"not supported without the constant", [](TestVm& vm) { vm.HideField(kServiceException, "OPERATION_NOT_SUPPORTED"); },
       ThrowNotSupported, kThrown + "0 (no message)"},
      {"no constant to read", [](TestVm& vm) { vm.HideField(kServiceException, "OPERATION_NOT_SUPPORTED"); },
       [](JNIEnv* env) { EXPECT_EQ(GetNotSupportedCode(env), -1); }, "pending java/lang/NoSuchFieldError..."},
      {"no class to read the constant of", [](TestVm& vm) { vm.HideClass(kServiceException); },
       [](JNIEnv* env) { EXPECT_EQ(GetNotSupportedCode(env), -1); }, "pending java/lang/NoClassDefFoundError..."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestVm vm;
    if (c.arrange != nullptr) c.arrange(vm);
    vm.Call(c.call);
    EXPECT_REPORTS(vm, {c.report});
  }
}

// A move hands the block over, a zero count holds nothing, and a size that overflows is refused,
// never a smaller block; either releases the block held.
TEST(ScratchBuffer, MovesItsBlockAndHoldsNothingAfterAZeroCountOrASizeThatOverflows) {
  ScratchBuffer moved;
  moved.Allocate(5, 2);
  ScratchBuffer buffer(std::move(moved));
  EXPECT_NE(buffer.Data(), nullptr);
  EXPECT_EQ(buffer.ByteSize(), 10u);
  buffer.Allocate(0, 2);
  EXPECT_EQ(buffer.Data(), nullptr);
  EXPECT_EQ(buffer.Count(), 0u);
  buffer.Allocate(3, 1);
  EXPECT_THROW(buffer.Allocate(std::numeric_limits<std::uint32_t>::max(), 2), std::bad_alloc);
  EXPECT_EQ(buffer.Data(), nullptr);
  EXPECT_EQ(buffer.Count(), 0u);
}

HMODULE Self() { return GetModuleHandleW(nullptr); }

std::u16string U16(const wchar_t* text) { return std::u16string(reinterpret_cast<const char16_t*>(text)); }

// The message the library reports for an error.
std::u16string MessageFor(DWORD error) {
  TestVm vm;
  vm.Call(ThrowServiceException, jint{-110001}, error);
  const auto e = fwtest::ExpectServiceExceptionCode(vm, -110001);
  return e ? e->message : u"<none>";
}

// The 9x family takes the ANSI message functions (the Unicode ones fail as on Windows 98); the NT
// family, and a system whose version is unknown, the Unicode ones.
TEST(ThrowServiceException, TakesTheAnsiFunctionsOnlyOn9x) {
  const std::u16string systemMessage = fwtest::ErrorMessage(ERROR_FILE_NOT_FOUND);
  {
    auto windows98 = fwtest::FakeWindows98(Self());
    EXPECT_EQ(MessageFor(ERROR_FILE_NOT_FOUND), systemMessage);
  }
  auto nt = fwtest::FakeWindowsXP(Self());
  auto noAnsi = fwtest::FailImport(Self(), FWTEST_IMPORT(FormatMessageA), DWORD{0}, ERROR_CALL_NOT_IMPLEMENTED);
  EXPECT_EQ(MessageFor(ERROR_FILE_NOT_FOUND), systemMessage);
  auto unknown = fwtest::FailImport(Self(), FWTEST_IMPORT(GetVersionExA), FALSE, ERROR_INVALID_PARAMETER);
  EXPECT_EQ(MessageFor(ERROR_FILE_NOT_FOUND), systemMessage);
}

// Network-management errors take their text from netmsg.dll, loaded as data for 2100 to 2999 only.
TEST(ThrowServiceException, NetworkErrorsTakeTheirTextFromNetmsg) {
  EXPECT_EQ(MessageFor(2102), u" (2102)");  // without the module: Wine's system table has no text
  for (const auto& [error, loaded] : {std::pair<DWORD, bool>{2099, false}, {2100, true}, {2102, true}, {2999, true},
                                     {3000, false}, {5, false}}) {
    auto loads = fwtest::RecordImport(Self(), FWTEST_IMPORT(LoadLibraryExA));
    MessageFor(error);
    ASSERT_EQ(loads.count(), loaded ? 1u : 0u) << "error " << error;
    if (loaded) {
      EXPECT_EQ(loads.calls()[0], std::make_tuple(std::optional<std::string>("netmsg.dll"), HANDLE{nullptr},
                                                  static_cast<DWORD>(LOAD_LIBRARY_AS_DATAFILE)));
    }
  }
  fwtest::ScopedNetmsgDll netmsg;
  EXPECT_EQ(MessageFor(2102), U16(fwtest::kNetmsgText2102) + u"\r\n (2102)");
  EXPECT_EQ(MessageFor(2220), U16(fwtest::kNetmsgText2220) + u"\r\n (2220)");
}  // netmsg.dll is deleted here, which fails if the library left it loaded

}  // namespace
}  // namespace fw

// TestVm: an in-process stand-in for a Java VM, strict like -Xcheck:jni, for calling native methods
// and the library's JNI helpers in tests.
//
//   fwtest::TestVm vm;                                    // one per test
//   jstring key = vm.String(u"Software\\Fernwick");
//   jint r = vm.Call(Java_..._getValueType, vm.NewPeer("com/fernwick/.../Win32RegistryServiceImpl"),
//                    jint{3}, key, nullptr);             // nullptr passes a null reference
//   EXPECT_NO_VIOLATIONS(vm);                             // vm_expectations.h
//
// Classes, methods and fields come from the Java manifest compiled into the library; look-ups fail
// exactly as in a real VM (null plus a pending NoClassDefFoundError, NoSuchMethodError or
// NoSuchFieldError). JNI misuse never crashes: it is recorded as a violation (TakeViolations) and
// the call fails gracefully.
//
// References: every jobject the VM hands out is an opaque token, valid in the frame that made it.
// Objects made by the test live in the test's own frame until the TestVm ends. Call() runs one native
// call in a fresh frame: reference arguments are passed as new local references of that frame, a
// returned reference is moved to the test's frame, and the frame's end-of-call checks run (string
// chars, array elements and critical regions not released). A pending exception is left pending
// for the test to take; starting a Call while one is still pending is reported (a VM never enters
// native code that way) and clears it.
//
// Peers: an object of any class without built-in behaviour is a generic peer. setX(v) stores the
// property "X"; getX()/isX() returns it (zero, false or null when never set); setX(k, v) and getX(k)
// use the indexed property "X[k]" (e.g. FileAttributes' "AttributeState[9]"); addX(v) appends to the
// list property "X"; constructor arguments are kept; instance fields are properties named after the
// field. The test presets and reads every property through the methods below.
#ifndef FWTEST_TESTVM_TEST_VM_H
#define FWTEST_TESTVM_TEST_VM_H

#include <jni.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace fwtest {

class VmState;
namespace vm {
class VmState;
}

// An exception object as the test sees it. `code` is the first int constructor argument (the
// ServiceException code); `message` the first String constructor argument, if non-null.
struct ThrownException {
  std::string className;               // internal form, e.g. "com/fernwick/wizard/service/ServiceException"
  std::optional<jint> code;            // nullopt when no int was passed to the constructor
  bool hasMessage = false;             // false: no message, or a null one
  std::u16string message;
  std::string Describe() const;        // one line for assertion messages
};

using StringList = std::vector<std::optional<std::u16string>>;  // nullopt: a null element
using Bytes = std::vector<std::uint8_t>;

class TestVm {
 public:
  TestVm();
  // For the VM's own tests and for hosts: `extraManifest` (same format as the Java manifest) adds
  // classes or replaces whole classes of the Java manifest. Library tests use the default.
  explicit TestVm(std::string_view extraManifest);
  ~TestVm();
  TestVm(const TestVm&) = delete;
  TestVm& operator=(const TestVm&) = delete;

  JNIEnv* env();

  // --- Making arguments (local references in the test's frame) ---
  jstring String(std::u16string_view text);
  jstring StringUtf8(std::string_view utf8);                // convenience for ASCII/UTF-8 literals
  jobjectArray StringArray(const StringList& elements);     // java/lang/String[]
  jbyteArray ByteArray(const Bytes& bytes);
  jintArray IntArray(const std::vector<jint>& values);
  jclass Class(std::string_view internalName);              // null if unknown or hidden (no exception left pending)
  // An object of the class without running a constructor (as AllocObject): peers, `this` objects.
  jobject NewPeer(std::string_view internalName);
  jobject This(std::string_view serviceClass) { return NewPeer(serviceClass); }
  // java/util/Vector holding the given strings, and an Enumeration over such a vector.
  jobject Vector(const StringList& elements);
  jobject Enumeration(const StringList& elements);

  // --- Reading results ---
  bool IsNull(jobject ref);
  std::string ClassNameOf(jobject ref);                     // "" for null
  std::optional<std::u16string> StringValue(jobject ref);  // nullopt for null
  std::optional<StringList> StringArrayValue(jobject ref);
  std::optional<Bytes> ByteArrayValue(jobject ref);
  std::optional<std::vector<jint>> IntArrayValue(jobject ref);
  // Elements of a Vector, or the elements an Enumeration has not yet returned (not consumed).
  std::vector<jobject> Elements(jobject vectorOrEnumeration);
  std::optional<StringList> StringElements(jobject vectorOrEnumeration);

  // --- Peer properties (see the header comment for the naming rule) ---
  bool HasProperty(jobject peer, std::string_view name);
  jlong IntProperty(jobject peer, std::string_view name);        // any integral type; 0 when unset
  bool BoolProperty(jobject peer, std::string_view name);        // false when unset
  double FloatProperty(jobject peer, std::string_view name);
  std::optional<std::u16string> StringProperty(jobject peer, std::string_view name);  // nullopt: null/unset
  jobject ObjectProperty(jobject peer, std::string_view name);   // null when unset
  std::vector<jobject> ListProperty(jobject peer, std::string_view name);  // values added by addX
  static std::string Indexed(std::string_view name, jlong index);  // "AttributeState[9]"

  void SetIntProperty(jobject peer, std::string_view name, jlong value);
  void SetBoolProperty(jobject peer, std::string_view name, bool value);
  void SetFloatProperty(jobject peer, std::string_view name, double value);
  void SetStringProperty(jobject peer, std::string_view name, std::optional<std::u16string_view> value);
  void SetObjectProperty(jobject peer, std::string_view name, jobject value);

  // Constructor arguments kept by a peer; descriptor "" when made without a constructor.
  std::string ConstructorDescriptor(jobject peer);
  std::size_t ConstructorArgumentCount(jobject peer);
  jlong IntArgument(jobject peer, std::size_t index);
  double FloatArgument(jobject peer, std::size_t index);
  std::optional<std::u16string> StringArgument(jobject peer, std::size_t index);
  jobject ObjectArgument(jobject peer, std::size_t index);

  // Static int constant from the manifest (e.g. FileAttributes.HIDDEN); nullopt if not declared.
  std::optional<jint> StaticIntConstant(std::string_view className, std::string_view fieldName);

  // --- Native calls ---
  // Passes env() then the arguments as given (include `this` or the class yourself).
  template <class Fn, class... A>
  auto Call(Fn native, A... args);
  // Same with `self` as the `this` argument.
  template <class Fn, class... A>
  auto CallOn(jobject self, Fn native, A... args) { return Call(native, self, args...); }

  // --- Exceptions ---
  std::optional<ThrownException> Pending();
  std::optional<ThrownException> TakePending();               // and clears it
  void ThrowForTest(std::string_view className);              // makes an exception pending

  // --- Violations (JNI misuse, unreleased resources, unimplemented functions) ---
  std::vector<std::string> TakeViolations();
  const std::vector<std::string>& Violations() const;

  // --- Fault injection ---
  void HideClass(std::string_view internalName);
  // descriptor "" hides every overload / every field of that name.
  void HideMethod(std::string_view className, std::string_view name, std::string_view descriptor = "");
  void HideField(std::string_view className, std::string_view name, std::string_view descriptor = "");
  // The next `count` allocations (after `skip` successful ones) fail with a pending OutOfMemoryError.
  void FailAllocations(int count, int skip = 0);

  // --- Reference bookkeeping ---
  int LiveLocalRefs();              // in the current frame
  int LastCallPeakLocalRefs();      // most live local refs in the last Call's frames
  int LiveGlobalRefs();
  int NativeCallCount();

  // The VM behind this TestVm, for its extensions (vm_json.h, declared_natives.h); not for tests.
  vm::VmState& Internals();

  // Internals used by Call(); not for tests.
  void BeginNativeCall();
  jobject EnterArgument(jobject testRef);
  void KeepResult(jobject nativeRef);
  void EndNativeCall();
  jobject TakeResult();

 private:
  template <class A>
  A Enter(A arg) {
    if constexpr (std::is_pointer_v<A> && std::is_convertible_v<A, jobject>) {
      return static_cast<A>(EnterArgument(arg));
    } else {
      return arg;
    }
  }

  std::unique_ptr<VmState> state_;
};

template <class Fn, class... A>
auto TestVm::Call(Fn native, A... args) {
  using Result = decltype(native(env(), args...));
  BeginNativeCall();
  if constexpr (std::is_void_v<Result>) {
    native(env(), Enter(args)...);
    EndNativeCall();
  } else if constexpr (std::is_pointer_v<Result> && std::is_convertible_v<Result, jobject>) {
    Result result = native(env(), Enter(args)...);
    KeepResult(result);
    EndNativeCall();
    return static_cast<Result>(TakeResult());
  } else {
    Result result = native(env(), Enter(args)...);
    EndNativeCall();
    return result;
  }
}

}  // namespace fwtest

#endif

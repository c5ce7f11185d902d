// VmState: the test VM behind one TestVm: heap, classes, references, the pending exception,
// buffers handed to native code, violations and fault injection. The JNI functions reach it from
// their JNIEnv* with VmState::From(env) and start with Enter(), which applies the checks every JNI
// function shares:
//
//   jsize JNICALL GetStringLength(JNIEnv* env, jstring str) {
//     VmState& vm = VmState::From(env);
//     vm.Enter("GetStringLength");
//     Object* s = vm.Deref(str, "string", ObjectKind::kString);
//     return s == nullptr ? 0 : static_cast<jsize>(s->text.size());
//   }
#ifndef FWTEST_TESTVM_VM_STATE_H
#define FWTEST_TESTVM_VM_STATE_H

#include <jni.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "class_info.h"
#include "descriptor.h"
#include "manifest.h"
#include "object_heap.h"
#include "reference_table.h"
#include "value.h"

namespace fwtest::vm {

// Which checks a JNI function is subject to on entry.
enum class EntryRule {
  kNormal,          // no exception may be pending, no critical region may be open
  kExceptionSafe,   // may run with an exception pending (JNI's documented list)
  kCritical,        // Get...Critical: allowed inside a critical region
  kCriticalRelease  // Release...Critical: both
};

struct MethodRef {
  ClassInfo* declaring;
  const MethodDecl* decl;
  MethodSignature sig;
  bool isStatic;
  std::string Describe() const;  // "java/util/Vector.addElement(Ljava/lang/Object;)V"
};

struct FieldRef {
  ClassInfo* declaring;
  const FieldDecl* decl;
  TypeDesc type;
  bool isStatic;
  std::string Describe() const;  // "com/fernwick/util/FileAttributes.HIDDEN:I"
};

enum class BufferKind { kStringChars, kStringUtfChars, kStringCritical, kArrayElements, kArrayCritical };

struct TrackedBuffer {
  BufferKind kind;
  ObjectId owner;
  std::unique_ptr<unsigned char[]> storage;
  std::size_t payloadBytes;  // the characters or elements; a guard follows
  std::size_t totalBytes;
  bool released = false;
  int call;                  // native call that acquired it; 0: the test's frame
};

class VmState {
 public:
  explicit VmState(std::string_view extraManifest);
  ~VmState();
  VmState(const VmState&) = delete;
  VmState& operator=(const VmState&) = delete;

  static VmState& From(JNIEnv* env);
  JNIEnv* env();

  // --- Entry checks and violations ---
  void Enter(std::string function, EntryRule rule = EntryRule::kNormal);
  void SetFunction(std::string function) { function_ = std::move(function); }  // names, checks nothing
  void Violation(const std::string& text);  // recorded as "<function>: <text>"
  void RawViolation(std::string text);      // recorded as given
  std::vector<std::string>& violations() { return violations_; }
  const std::string& function() const { return function_; }

  // --- Objects and references ---
  ObjectHeap& heap() { return heap_; }
  ReferenceTable& refs() { return refs_; }
  Object* Get(ObjectId id) const { return heap_.Get(id); }
  ClassInfo* ClassOf(ObjectId id);
  jobject Local(ObjectId id) { return refs_.NewLocal(id); }
  // Resolves a reference argument. A deleted, ended or invalid reference is a violation and gives
  // false; null gives true with id 0.
  bool Resolve(jobject ref, const char* role, ObjectId* id);
  // Resolves a non-null reference to an object of `kind` (any kind when nullopt); else a violation
  // and null.
  Object* Deref(jobject ref, const char* role, std::optional<ObjectKind> kind = std::nullopt,
                ObjectId* idOut = nullptr);
  // The class a jclass stands for; a violation and null when it is not a live class reference.
  ClassInfo* ClassFromRef(jclass ref, const char* role);

  // --- Classes ---
  ClassRegistry& classes() { return classes_; }
  const Manifest& manifest() const { return manifest_; }
  ClassInfo* LoadInternal(std::string_view name);  // the VM's own use: no hiding, no exception
  ClassInfo* LoadForNative(std::string_view name); // FindClass rules: hiding, NoClassDefFoundError
  std::set<std::string, std::less<>> hiddenClasses;
  std::set<std::string, std::less<>> hiddenMethods;  // "class.name" or "class.name(desc)"
  std::set<std::string, std::less<>> hiddenFields;   // "class.name" or "class.name:desc"

  // --- Method and field ids ---
  // Looks up as GetMethodID / GetStaticMethodID do: null and NoSuchMethodError when absent.
  jmethodID LookUpMethod(ClassInfo* c, const char* name, const char* descriptor, bool isStatic);
  jfieldID LookUpField(ClassInfo* c, const char* name, const char* descriptor, bool isStatic);
  const MethodRef* MethodFromId(jmethodID id);  // violation and null for an unknown id
  const FieldRef* FieldFromId(jfieldID id);
  const MethodRef* FindMethodRef(ClassInfo* c, std::string_view name, std::string_view descriptor);

  // --- Exceptions ---
  ObjectId pending = 0;
  void ThrowVmError(std::string_view className, std::string_view message);

  // --- Allocation and fault injection ---
  // False (with a pending OutOfMemoryError) when fault injection fails this allocation.
  bool Allocate();
  int failSkip = 0;
  int failCount = 0;
  ObjectId NewString(std::u16string text);
  ObjectId NewInstance(ClassInfo* c);
  ObjectId NewArray(ClassInfo* arrayClass, std::size_t length);
  static std::size_t ElementSize(char kind);

  // --- Invocation ---
  // Runs a method (static when self is 0 and the method is static) with typed arguments.
  Value Invoke(ObjectId self, const MethodRef& method, const std::vector<Value>& args);
  Value Construct(ObjectId self, const MethodRef& ctor, const std::vector<Value>& args);
  // Converts a stored value to what a getter or field of `type` returns; a violation on mismatch.
  Value Coerce(const Value& stored, const TypeDesc& type, const std::string& what);
  // Checks that `value` may be passed where `type` is expected; a violation names `what`.
  bool CheckAssignable(const Value& value, const TypeDesc& type, const std::string& what);

  // --- Buffers handed to native code ---
  void* Track(BufferKind kind, ObjectId owner, const void* payload, std::size_t payloadBytes,
              std::size_t zeroBytes = 0);
  // Finds a buffer for a Release... function; records the misuse and gives null otherwise. Owner 0
  // skips the check that the buffer came from that object.
  TrackedBuffer* FindForRelease(const void* data, BufferKind kind, ObjectId owner);
  int openCriticals = 0;

  // --- Native calls ---
  void BeginCall();
  void EndCall();
  int callDepth() const { return callDepth_; }
  int callCount() const { return callCount_; }
  int lastCallPeak = 0;

 private:
  struct Env;
  std::unique_ptr<Env> env_;
  Manifest manifest_;
  ObjectHeap heap_;
  ClassRegistry classes_;
  ReferenceTable refs_;
  std::string function_;
  std::vector<std::string> violations_;
  std::vector<std::unique_ptr<MethodRef>> methods_;
  std::vector<std::unique_ptr<FieldRef>> fields_;
  std::map<const void*, jmethodID> methodIds_;
  std::map<const void*, jfieldID> fieldIds_;
  std::map<const void*, TrackedBuffer> buffers_;
  int callDepth_ = 0;
  int callCount_ = 0;
  std::vector<int> callStack_;
};

// Modified UTF-8 (as JNI's ...UTF functions use it) and UTF-16.
std::string ToModifiedUtf8(std::u16string_view text);
std::u16string FromModifiedUtf8(std::string_view bytes);
std::string ToUtf8(std::u16string_view text);  // for messages

}  // namespace fwtest::vm

#endif

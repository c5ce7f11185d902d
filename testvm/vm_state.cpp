#include "vm_state.h"

#include <cstring>

#include "embedded_manifests.h"
#include "jni_functions.h"

namespace fwtest::vm {

struct VmState::Env : JNIEnv_ {
  VmState* vm;
};

namespace {

const char* StatusText(RefStatus status) {
  switch (status) {
    case RefStatus::kDeleted: return "was deleted";
    case RefStatus::kFrameEnded: return "belongs to a local frame that has ended (foreign reference)";
    case RefStatus::kInvalid: return "is not a reference this VM handed out";
    default: return "is unusable";
  }
}

std::string Hex(const void* p) {
  char text[32];
  std::snprintf(text, sizeof text, "%p", p);
  return text;
}

constexpr unsigned char kGuardByte = 0xFF;
constexpr std::size_t kGuardBytes = 8;

}  // namespace

VmState::VmState(std::string_view extraManifest)
    : env_(std::make_unique<Env>()), classes_(manifest_, heap_) {
  env_->functions = FunctionTable();
  env_->vm = this;
  std::vector<std::string> errors;
  manifest_.Add(JdkManifestText(), "jdk_classes.manifest", errors);
  manifest_.Add(JavaManifestText(), "java_manifest.txt", errors);
  if (!extraManifest.empty()) manifest_.Add(extraManifest, "test manifest", errors);
  for (std::string& e : errors) RawViolation("manifest: " + e);
}

VmState::~VmState() = default;

VmState& VmState::From(JNIEnv* env) { return *static_cast<Env*>(env)->vm; }

JNIEnv* VmState::env() { return env_.get(); }

void VmState::Enter(std::string function, EntryRule rule) {
  function_ = std::move(function);
  bool safe = rule == EntryRule::kExceptionSafe || rule == EntryRule::kCriticalRelease;
  bool critical = rule == EntryRule::kCritical || rule == EntryRule::kCriticalRelease;
  if (pending != 0 && !safe) {
    ClassInfo* c = ClassOf(pending);
    Violation("called with an exception pending (" + (c ? c->name : std::string("?")) + ")");
  }
  if (openCriticals > 0 && !critical) {
    Violation("called inside a critical region (Get...Critical not yet released)");
  }
}

void VmState::Violation(const std::string& text) { RawViolation(function_ + ": " + text); }

void VmState::RawViolation(std::string text) { violations_.push_back(std::move(text)); }

ClassInfo* VmState::ClassOf(ObjectId id) {
  Object* o = heap_.Get(id);
  if (o == nullptr) return nullptr;
  if (o->cls == nullptr && o->kind == ObjectKind::kClass) o->cls = LoadInternal("java/lang/Class");
  return o->cls;
}

bool VmState::Resolve(jobject ref, const char* role, ObjectId* id) {
  *id = 0;
  RefStatus status = refs_.Resolve(ref, id);
  if (status == RefStatus::kNull || status == RefStatus::kLive) return true;
  Violation(std::string(role) + " reference " + Hex(ref) + " " + StatusText(status));
  return false;
}

Object* VmState::Deref(jobject ref, const char* role, std::optional<ObjectKind> kind, ObjectId* idOut) {
  ObjectId id = 0;
  if (!Resolve(ref, role, &id)) return nullptr;
  if (id == 0) {
    Violation(std::string(role) + " is null");
    return nullptr;
  }
  Object* o = heap_.Get(id);
  if (kind && o->kind != *kind) {
    static const char* const kNames[] = {"an object", "a string", "a primitive array", "an object array",
                                         "a class"};
    ClassInfo* c = ClassOf(id);
    Violation(std::string(role) + " is not " + kNames[static_cast<int>(*kind)] + " (it is a " +
              (c ? c->name : "?") + ")");
    return nullptr;
  }
  if (idOut != nullptr) *idOut = id;
  return o;
}

ClassInfo* VmState::ClassFromRef(jclass ref, const char* role) {
  Object* o = Deref(ref, role, ObjectKind::kClass);
  return o == nullptr ? nullptr : o->represented;
}

ClassInfo* VmState::LoadInternal(std::string_view name) {
  std::string missing;
  return classes_.Load(name, &missing);
}

ClassInfo* VmState::LoadForNative(std::string_view name) {
  std::string missing;
  ClassInfo* c = nullptr;
  if (hiddenClasses.count(name) == 0) c = classes_.Load(name, &missing);
  if (c == nullptr) {
    if (missing.empty()) missing = std::string(name);
    ThrowVmError("java/lang/NoClassDefFoundError", missing);
  }
  return c;
}

void VmState::ThrowVmError(std::string_view className, std::string_view message) {
  ClassInfo* c = LoadInternal(className);
  if (c == nullptr) c = LoadInternal("java/lang/Error");
  ObjectId id = NewInstance(c);
  Object* o = heap_.Get(id);
  o->constructed = true;
  o->ctorDescriptor = "(Ljava/lang/String;)V";
  std::u16string text(message.begin(), message.end());
  o->ctorArgs.push_back(Value::Ref(NewString(std::move(text))));
  pending = id;
}

bool VmState::Allocate() {
  if (failSkip > 0) {
    --failSkip;
    return true;
  }
  if (failCount > 0) {
    --failCount;
    ThrowVmError("java/lang/OutOfMemoryError", "allocation failed by the test (" + function_ + ")");
    return false;
  }
  return true;
}

ObjectId VmState::NewString(std::u16string text) {
  auto o = std::make_unique<Object>(LoadInternal("java/lang/String"), ObjectKind::kString);
  o->text = std::move(text);
  return heap_.Add(std::move(o));
}

ObjectId VmState::NewInstance(ClassInfo* c) {
  return heap_.Add(std::make_unique<Object>(c, ObjectKind::kInstance));
}

std::size_t VmState::ElementSize(char kind) {
  switch (kind) {
    case 'Z': case 'B': return 1;
    case 'C': case 'S': return 2;
    case 'I': case 'F': return 4;
    default: return 8;
  }
}

ObjectId VmState::NewArray(ClassInfo* arrayClass, std::size_t length) {
  bool primitive = arrayClass->IsPrimitiveArray();
  auto o = std::make_unique<Object>(arrayClass, primitive ? ObjectKind::kPrimitiveArray : ObjectKind::kObjectArray);
  if (primitive) {
    o->bytes.assign(length * ElementSize(arrayClass->componentKind), 0);
  } else {
    o->elements.assign(length, Value::Ref(0));
  }
  return heap_.Add(std::move(o));
}

std::string MethodRef::Describe() const { return declaring->name + "." + decl->name + decl->descriptor; }
std::string FieldRef::Describe() const { return declaring->name + "." + decl->name + ":" + decl->descriptor; }

// --- Buffers ---

void* VmState::Track(BufferKind kind, ObjectId owner, const void* payload, std::size_t payloadBytes,
                     std::size_t zeroBytes) {
  TrackedBuffer buffer{kind, owner, nullptr, payloadBytes, payloadBytes + zeroBytes + kGuardBytes, false,
                       callDepth_ > 0 ? callStack_.back() : 0};
  buffer.storage = std::make_unique<unsigned char[]>(buffer.totalBytes);
  if (payloadBytes > 0) std::memcpy(buffer.storage.get(), payload, payloadBytes);
  std::memset(buffer.storage.get() + payloadBytes, 0, zeroBytes);
  // Non-zero units after the data, then a zero: code that wrongly takes the characters as
  // zero-terminated reads garbage instead of the right text, and the guard shows overruns.
  std::memset(buffer.storage.get() + payloadBytes + zeroBytes, kGuardByte, kGuardBytes - 2);
  buffer.storage[buffer.totalBytes - 2] = 0;
  buffer.storage[buffer.totalBytes - 1] = 0;
  void* data = buffer.storage.get();
  if (kind == BufferKind::kStringCritical || kind == BufferKind::kArrayCritical) ++openCriticals;
  buffers_.emplace(data, std::move(buffer));
  return data;
}

TrackedBuffer* VmState::FindForRelease(const void* data, BufferKind kind, ObjectId owner) {
  static const char* const kAcquirers[] = {"GetStringChars", "GetStringUTFChars", "GetStringCritical",
                                           "Get<Type>ArrayElements", "GetPrimitiveArrayCritical"};
  if (data == nullptr) {
    Violation("null buffer");
    return nullptr;
  }
  auto it = buffers_.find(data);
  if (it == buffers_.end()) {
    Violation("pointer " + Hex(data) + " was never handed out by " + kAcquirers[static_cast<int>(kind)]);
    return nullptr;
  }
  TrackedBuffer& b = it->second;
  if (b.kind != kind) {
    Violation("pointer " + Hex(data) + " came from " + kAcquirers[static_cast<int>(b.kind)]);
    return nullptr;
  }
  if (b.released) {
    Violation("pointer " + Hex(data) + " released twice");
    return nullptr;
  }
  if (owner != 0 && owner != b.owner) Violation("released with a different object than it was taken from");
  for (std::size_t i = b.totalBytes - kGuardBytes; i < b.totalBytes - 2; ++i) {
    if (b.storage[i] != kGuardByte) {
      Violation("native code wrote past the end of the buffer");
      break;
    }
  }
  if (b.kind == BufferKind::kStringCritical || b.kind == BufferKind::kArrayCritical) --openCriticals;
  return &b;
}

// --- Native calls ---

void VmState::BeginCall() {
  ++callDepth_;
  ++callCount_;
  callStack_.push_back(callCount_);
  refs_.PushFrame(FrameKind::kNativeCall, 16);
  if (callDepth_ == 1) refs_.ResetCallPeak();
}

void VmState::EndCall() {
  function_ = "native call";
  int call = callStack_.back();
  while (refs_.TopFrameKind() == FrameKind::kPushed) {
    RawViolation("native call: local frame from PushLocalFrame not popped before returning");
    refs_.PopFrame();
  }
  static const char* const kWhat[] = {"string chars not released (GetStringChars)",
                                      "string UTF chars not released (GetStringUTFChars)",
                                      "string critical region not released (GetStringCritical)",
                                      "array elements not released (Get<Type>ArrayElements)",
                                      "array critical region not released (GetPrimitiveArrayCritical)"};
  for (auto& [data, b] : buffers_) {
    if (b.released || b.call != call) continue;
    std::string what = kWhat[static_cast<int>(b.kind)];
    Object* owner = heap_.Get(b.owner);
    if (owner != nullptr && owner->kind == ObjectKind::kString) what += " for \"" + ToUtf8(owner->text) + "\"";
    RawViolation("native call: " + what);
    b.released = true;
    if (b.kind == BufferKind::kStringCritical || b.kind == BufferKind::kArrayCritical) --openCriticals;
  }
  refs_.PopFrame();
  lastCallPeak = refs_.CallPeak();
  callStack_.pop_back();
  --callDepth_;
}

}  // namespace fwtest::vm

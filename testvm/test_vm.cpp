#include "test_vm.h"

#include <cstring>

#include "behaviours.h"
#include "vm_state.h"

namespace fwtest {

using vm::ClassInfo;
using vm::Object;
using vm::ObjectId;
using vm::ObjectKind;
using vm::Value;

namespace {

std::string Quote(const std::u16string& text) { return "\"" + vm::ToUtf8(text) + "\""; }

}  // namespace

std::string ThrownException::Describe() const {
  std::string out = className;
  if (code) out += " code=" + std::to_string(*code);
  out += hasMessage ? " message=" + Quote(message) : " (no message)";
  return out;
}

class VmState : public vm::VmState {
 public:
  using vm::VmState::VmState;
  ObjectId result = 0;

  // The object behind a reference the test holds; a violation and 0 when it is stale.
  ObjectId Id(jobject ref, const char* api) {
    ObjectId id = 0;
    vm::RefStatus status = refs().Resolve(ref, &id);
    if (status == vm::RefStatus::kNull || status == vm::RefStatus::kLive) return id;
    RawViolation(std::string("TestVm::") + api + ": the test passed a reference that is no longer valid");
    return 0;
  }
  Object* Obj(jobject ref, const char* api) { return Get(Id(ref, api)); }
  ObjectId Str(std::u16string text) { return NewString(std::move(text)); }
  ObjectId StrOrNull(const std::optional<std::u16string>& text) { return text ? Str(*text) : 0; }
  std::optional<std::u16string> TextOf(ObjectId id) {
    Object* o = Get(id);
    if (o == nullptr || o->kind != ObjectKind::kString) return std::nullopt;
    return o->text;
  }
  ObjectId MakeVector(const StringList& elements) {
    ClassInfo* c = LoadInternal("java/util/Vector");
    ObjectId v = NewInstance(c);
    Object* o = Get(v);
    o->constructed = true;
    o->ctorDescriptor = "()V";
    for (const auto& e : elements) o->elements.push_back(Value::Ref(StrOrNull(e)));
    return v;
  }
  Value Property(jobject peer, std::string_view name) {
    Object* o = Obj(peer, "Property");
    if (o == nullptr) return Value{};
    auto it = o->properties.find(name);
    return it == o->properties.end() ? Value{} : it->second;
  }
  void SetProperty(jobject peer, std::string_view name, Value v) {
    if (Object* o = Obj(peer, "SetProperty")) o->properties[std::string(name)] = v;
  }
  Value Argument(jobject peer, std::size_t index) {
    Object* o = Obj(peer, "Argument");
    return o == nullptr || index >= o->ctorArgs.size() ? Value{} : o->ctorArgs[index];
  }
  // The elements a Vector holds, or those an Enumeration has yet to return.
  std::vector<Value>* ElementsOf(Object* o, std::size_t* from) {
    *from = 0;
    if (o == nullptr) return nullptr;
    if (classes().DerivesFrom(o->cls, "java/util/Vector")) return &o->elements;
    auto it = o->properties.find("this$0");
    if (o->cls->name == "java/util/Vector$1" && it != o->properties.end()) {
      *from = o->cursor;
      return &Get(it->second.object)->elements;
    }
    return nullptr;
  }
};

TestVm::TestVm() : TestVm(std::string_view()) {}
TestVm::TestVm(std::string_view extraManifest) : state_(std::make_unique<VmState>(extraManifest)) {}
TestVm::~TestVm() = default;

JNIEnv* TestVm::env() { return state_->env(); }

vm::VmState& TestVm::Internals() { return *state_; }

// --- Making arguments ---

jstring TestVm::String(std::u16string_view text) {
  return static_cast<jstring>(state_->Local(state_->Str(std::u16string(text))));
}

jstring TestVm::StringUtf8(std::string_view utf8) {
  return static_cast<jstring>(state_->Local(state_->Str(vm::FromModifiedUtf8(utf8))));
}

jobjectArray TestVm::StringArray(const StringList& elements) {
  ObjectId a = state_->NewArray(state_->LoadInternal("[Ljava/lang/String;"), elements.size());
  for (std::size_t i = 0; i < elements.size(); ++i) state_->Get(a)->elements[i] = Value::Ref(state_->StrOrNull(elements[i]));
  return static_cast<jobjectArray>(state_->Local(a));
}

jbyteArray TestVm::ByteArray(const Bytes& bytes) {
  ObjectId a = state_->NewArray(state_->LoadInternal("[B"), bytes.size());
  state_->Get(a)->bytes.assign(bytes.begin(), bytes.end());
  return static_cast<jbyteArray>(state_->Local(a));
}

jintArray TestVm::IntArray(const std::vector<jint>& values) {
  ObjectId a = state_->NewArray(state_->LoadInternal("[I"), values.size());
  unsigned char* data = state_->Get(a)->bytes.data();
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::int32_t v = static_cast<std::int32_t>(values[i]);
    std::memcpy(data + i * 4, &v, 4);
  }
  return static_cast<jintArray>(state_->Local(a));
}

jclass TestVm::Class(std::string_view internalName) {
  if (state_->hiddenClasses.count(internalName) != 0) return nullptr;
  ClassInfo* c = state_->LoadInternal(internalName);
  return c == nullptr ? nullptr : static_cast<jclass>(state_->Local(c->classObject));
}

jobject TestVm::NewPeer(std::string_view internalName) {
  ClassInfo* c = state_->LoadInternal(internalName);
  if (c == nullptr) {
    state_->RawViolation("TestVm::NewPeer: the manifest has no class " + std::string(internalName));
    return nullptr;
  }
  return state_->Local(state_->NewInstance(c));
}

jobject TestVm::Vector(const StringList& elements) { return state_->Local(state_->MakeVector(elements)); }

jobject TestVm::Enumeration(const StringList& elements) {
  ObjectId v = state_->MakeVector(elements);
  ObjectId e = state_->NewInstance(state_->LoadInternal("java/util/Vector$1"));
  state_->Get(e)->constructed = true;
  state_->Get(e)->properties["this$0"] = Value::Ref(v);
  return state_->Local(e);
}

// --- Reading results ---

bool TestVm::IsNull(jobject ref) { return state_->Id(ref, "IsNull") == 0; }

std::string TestVm::ClassNameOf(jobject ref) {
  ClassInfo* c = state_->ClassOf(state_->Id(ref, "ClassNameOf"));
  return c == nullptr ? "" : c->name;
}

std::optional<std::u16string> TestVm::StringValue(jobject ref) {
  ObjectId id = state_->Id(ref, "StringValue");
  if (id != 0 && state_->Get(id)->kind != ObjectKind::kString) {
    state_->RawViolation("TestVm::StringValue: object is a " + state_->ClassOf(id)->name + ", not a string");
  }
  return state_->TextOf(id);
}

std::optional<StringList> TestVm::StringArrayValue(jobject ref) {
  Object* o = state_->Obj(ref, "StringArrayValue");
  if (o == nullptr || o->kind != ObjectKind::kObjectArray) return std::nullopt;
  StringList out;
  for (const Value& v : o->elements) out.push_back(state_->TextOf(v.object));
  return out;
}

std::optional<Bytes> TestVm::ByteArrayValue(jobject ref) {
  Object* o = state_->Obj(ref, "ByteArrayValue");
  if (o == nullptr || o->kind != ObjectKind::kPrimitiveArray || o->cls->componentKind != 'B') return std::nullopt;
  return Bytes(o->bytes.begin(), o->bytes.end());
}

std::optional<std::vector<jint>> TestVm::IntArrayValue(jobject ref) {
  Object* o = state_->Obj(ref, "IntArrayValue");
  if (o == nullptr || o->kind != ObjectKind::kPrimitiveArray || o->cls->componentKind != 'I') return std::nullopt;
  std::vector<jint> out(o->bytes.size() / 4);
  for (std::size_t i = 0; i < out.size(); ++i) {
    std::int32_t v;
    std::memcpy(&v, o->bytes.data() + i * 4, 4);
    out[i] = v;
  }
  return out;
}

std::vector<jobject> TestVm::Elements(jobject vectorOrEnumeration) {
  std::size_t from = 0;
  std::vector<Value>* elements = state_->ElementsOf(state_->Obj(vectorOrEnumeration, "Elements"), &from);
  std::vector<jobject> out;
  for (std::size_t i = from; elements != nullptr && i < elements->size(); ++i) {
    out.push_back(state_->Local((*elements)[i].object));
  }
  return out;
}

std::optional<StringList> TestVm::StringElements(jobject vectorOrEnumeration) {
  std::size_t from = 0;
  std::vector<Value>* elements = state_->ElementsOf(state_->Obj(vectorOrEnumeration, "StringElements"), &from);
  if (elements == nullptr) return std::nullopt;
  StringList out;
  for (std::size_t i = from; i < elements->size(); ++i) out.push_back(state_->TextOf((*elements)[i].object));
  return out;
}

// --- Peer properties ---

bool TestVm::HasProperty(jobject peer, std::string_view name) { return state_->Property(peer, name).IsSet(); }

jlong TestVm::IntProperty(jobject peer, std::string_view name) {
  Value v = state_->Property(peer, name);
  return v.IsIntegral() ? v.integer : 0;
}

bool TestVm::BoolProperty(jobject peer, std::string_view name) { return IntProperty(peer, name) != 0; }

double TestVm::FloatProperty(jobject peer, std::string_view name) {
  Value v = state_->Property(peer, name);
  return v.IsFloating() ? v.real : 0;
}

std::optional<std::u16string> TestVm::StringProperty(jobject peer, std::string_view name) {
  return state_->TextOf(state_->Property(peer, name).object);
}

jobject TestVm::ObjectProperty(jobject peer, std::string_view name) {
  return state_->Local(state_->Property(peer, name).object);
}

std::vector<jobject> TestVm::ListProperty(jobject peer, std::string_view name) {
  std::vector<jobject> out;
  Object* o = state_->Obj(peer, "ListProperty");
  if (o == nullptr) return out;
  auto it = o->lists.find(name);
  if (it == o->lists.end()) return out;
  for (const Value& v : it->second) out.push_back(state_->Local(v.object));
  return out;
}

std::string TestVm::Indexed(std::string_view name, jlong index) {
  return vm::IndexedName(name, std::to_string(index));
}

void TestVm::SetIntProperty(jobject peer, std::string_view name, jlong value) {
  state_->SetProperty(peer, name, Value::Int('J', value));
}

void TestVm::SetBoolProperty(jobject peer, std::string_view name, bool value) {
  state_->SetProperty(peer, name, Value::Int('Z', value ? 1 : 0));
}

void TestVm::SetFloatProperty(jobject peer, std::string_view name, double value) {
  state_->SetProperty(peer, name, Value::Real('D', value));
}

void TestVm::SetStringProperty(jobject peer, std::string_view name, std::optional<std::u16string_view> value) {
  ObjectId text = value ? state_->Str(std::u16string(*value)) : 0;
  state_->SetProperty(peer, name, Value::Ref(text));
}

void TestVm::SetObjectProperty(jobject peer, std::string_view name, jobject value) {
  state_->SetProperty(peer, name, Value::Ref(state_->Id(value, "SetObjectProperty")));
}

std::string TestVm::ConstructorDescriptor(jobject peer) {
  Object* o = state_->Obj(peer, "ConstructorDescriptor");
  return o == nullptr ? "" : o->ctorDescriptor;
}

std::size_t TestVm::ConstructorArgumentCount(jobject peer) {
  Object* o = state_->Obj(peer, "ConstructorArgumentCount");
  return o == nullptr ? 0 : o->ctorArgs.size();
}

jlong TestVm::IntArgument(jobject peer, std::size_t index) {
  Value v = state_->Argument(peer, index);
  return v.IsIntegral() ? v.integer : 0;
}

double TestVm::FloatArgument(jobject peer, std::size_t index) {
  Value v = state_->Argument(peer, index);
  return v.IsFloating() ? v.real : 0;
}

std::optional<std::u16string> TestVm::StringArgument(jobject peer, std::size_t index) {
  return state_->TextOf(state_->Argument(peer, index).object);
}

jobject TestVm::ObjectArgument(jobject peer, std::size_t index) {
  return state_->Local(state_->Argument(peer, index).object);
}

std::optional<jint> TestVm::StaticIntConstant(std::string_view className, std::string_view fieldName) {
  for (ClassInfo* c = state_->LoadInternal(className); c != nullptr; c = c->super) {
    if (c->decl == nullptr) continue;
    for (const vm::FieldDecl& f : c->decl->fields) {
      if (f.name != fieldName || (f.flags & vm::kStatic) == 0) continue;
      if (!f.constant) return std::nullopt;
      return static_cast<jint>(*f.constant);
    }
  }
  return std::nullopt;
}

// --- Exceptions ---

std::optional<ThrownException> TestVm::Pending() {
  if (state_->pending == 0) return std::nullopt;
  Object& o = *state_->Get(state_->pending);
  ThrownException e;
  e.className = state_->ClassOf(state_->pending)->name;
  std::optional<vm::MethodSignature> sig = vm::ParseMethodDescriptor(o.ctorDescriptor);
  for (std::size_t i = 0; sig && i < sig->params.size() && i < o.ctorArgs.size(); ++i) {
    if (sig->params[i].kind == 'I') {
      e.code = static_cast<jint>(o.ctorArgs[i].integer);
      break;
    }
  }
  e.hasMessage = vm::ThrowableMessage(*state_, o, &e.message);
  return e;
}

std::optional<ThrownException> TestVm::TakePending() {
  std::optional<ThrownException> e = Pending();
  state_->pending = 0;
  return e;
}

void TestVm::ThrowForTest(std::string_view className) {
  ClassInfo* c = state_->LoadInternal(className);
  if (c == nullptr) {
    state_->RawViolation("TestVm::ThrowForTest: the manifest has no class " + std::string(className));
    return;
  }
  state_->pending = state_->NewInstance(c);
}

// --- Violations ---

std::vector<std::string> TestVm::TakeViolations() {
  std::vector<std::string> out;
  out.swap(state_->violations());
  return out;
}

const std::vector<std::string>& TestVm::Violations() const { return state_->violations(); }

// --- Fault injection ---

void TestVm::HideClass(std::string_view internalName) { state_->hiddenClasses.emplace(internalName); }

void TestVm::HideMethod(std::string_view className, std::string_view name, std::string_view descriptor) {
  state_->hiddenMethods.insert(std::string(className) + "." + std::string(name) + std::string(descriptor));
}

void TestVm::HideField(std::string_view className, std::string_view name, std::string_view descriptor) {
  std::string key = std::string(className) + "." + std::string(name);
  if (!descriptor.empty()) key += ":" + std::string(descriptor);
  state_->hiddenFields.insert(key);
}

void TestVm::FailAllocations(int count, int skip) {
  state_->failCount = count;
  state_->failSkip = skip;
}

// --- Reference bookkeeping ---

int TestVm::LiveLocalRefs() { return state_->refs().TopFrameLiveCount(); }
int TestVm::LastCallPeakLocalRefs() { return state_->lastCallPeak; }
int TestVm::LiveGlobalRefs() { return state_->refs().LiveGlobals(); }
int TestVm::NativeCallCount() { return state_->callCount(); }

// --- Native calls ---

void TestVm::BeginNativeCall() {
  if (state_->pending != 0) {
    // A VM never enters native code with an exception pending; the test forgot to take one.
    state_->RawViolation("TestVm::Call: an exception from before the call was still pending (" +
                         state_->ClassOf(state_->pending)->name + "); it was cleared");
    state_->pending = 0;
  }
  state_->BeginCall();
  state_->result = 0;
}

jobject TestVm::EnterArgument(jobject testRef) {
  ObjectId id = 0;
  vm::RefStatus status = state_->refs().Resolve(testRef, &id);
  if (status != vm::RefStatus::kNull && status != vm::RefStatus::kLive) {
    state_->RawViolation("TestVm::Call: the test passed an argument reference that is no longer valid");
  }
  return state_->Local(id);
}

void TestVm::KeepResult(jobject nativeRef) {
  state_->SetFunction("native call result");
  state_->Resolve(nativeRef, "returned", &state_->result);
}

void TestVm::EndNativeCall() { state_->EndCall(); }

jobject TestVm::TakeResult() { return state_->Local(state_->result); }

}  // namespace fwtest

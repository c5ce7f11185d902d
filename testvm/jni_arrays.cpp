// JNI functions on arrays: GetArrayLength, NewObjectArray, GetObjectArrayElement,
// SetObjectArrayElement, New<Type>Array, Get/Release<Type>ArrayElements, Get/Set<Type>ArrayRegion,
// GetPrimitiveArrayCritical, ReleasePrimitiveArrayCritical. Elements handed out are tracked copies.
#include <cstring>

#include "jni_call_support.h"
#include "jni_functions.h"

namespace fwtest::vm {
namespace {

template <char K> struct ArrayType;
template <> struct ArrayType<'Z'> { using type = jbooleanArray; };
template <> struct ArrayType<'B'> { using type = jbyteArray; };
template <> struct ArrayType<'C'> { using type = jcharArray; };
template <> struct ArrayType<'S'> { using type = jshortArray; };
template <> struct ArrayType<'I'> { using type = jintArray; };
template <> struct ArrayType<'J'> { using type = jlongArray; };
template <> struct ArrayType<'F'> { using type = jfloatArray; };
template <> struct ArrayType<'D'> { using type = jdoubleArray; };
template <char K> using ArrayT = typename ArrayType<K>::type;

std::size_t LengthOf(const Object& a) {
  return a.kind == ObjectKind::kObjectArray ? a.elements.size() : a.bytes.size() / VmState::ElementSize(a.cls->componentKind);
}

bool InBounds(VmState& vm, const Object& a, jsize start, jsize length) {
  if (start >= 0 && length >= 0 && static_cast<std::size_t>(start) + static_cast<std::size_t>(length) <= LengthOf(a)) {
    return true;
  }
  vm.ThrowVmError("java/lang/ArrayIndexOutOfBoundsException",
                  "Array region " + std::to_string(start) + ".." + std::to_string(static_cast<long long>(start) + length) +
                      " out of bounds for length " + std::to_string(LengthOf(a)));
  return false;
}

// A primitive array of element kind `k` ('?' for any), or null after a violation.
Object* PrimitiveArray(VmState& vm, jarray array, char k, ObjectId* id = nullptr) {
  Object* a = vm.Deref(array, "array", ObjectKind::kPrimitiveArray, id);
  if (a != nullptr && k != '?' && a->cls->componentKind != k) {
    vm.Violation("array is a " + a->cls->name + ", not a [" + std::string(1, k));
    return nullptr;
  }
  return a;
}

jsize JNICALL GetArrayLength(JNIEnv* env, jarray array) {
  VmState& vm = VmState::From(env);
  vm.Enter("GetArrayLength");
  Object* a = vm.Deref(array, "array");
  if (a == nullptr) return 0;
  if (a->kind != ObjectKind::kObjectArray && a->kind != ObjectKind::kPrimitiveArray) {
    vm.Violation("object is a " + a->cls->name + ", not an array");
    return 0;
  }
  return static_cast<jsize>(LengthOf(*a));
}

jobjectArray JNICALL NewObjectArray(JNIEnv* env, jsize length, jclass elementClass, jobject initial) {
  VmState& vm = VmState::From(env);
  vm.Enter("NewObjectArray");
  ClassInfo* element = vm.ClassFromRef(elementClass, "element class");
  ObjectId init = 0;
  if (element == nullptr || !vm.Resolve(initial, "initial element", &init)) return nullptr;
  if (init != 0 && !vm.classes().IsAssignable(vm.ClassOf(init), element)) {
    vm.Violation("initial element is a " + vm.ClassOf(init)->name + ", not a " + element->name);
    return nullptr;
  }
  if (length < 0) {
    vm.ThrowVmError("java/lang/NegativeArraySizeException", std::to_string(length));
    return nullptr;
  }
  std::string name = element->IsArray() ? "[" + element->name : "[L" + element->name + ";";
  ClassInfo* arrayClass = vm.LoadInternal(name);
  if (arrayClass == nullptr || !vm.Allocate()) return nullptr;
  ObjectId id = vm.NewArray(arrayClass, static_cast<std::size_t>(length));
  for (Value& v : vm.Get(id)->elements) v = Value::Ref(init);
  return static_cast<jobjectArray>(vm.Local(id));
}

jobject JNICALL GetObjectArrayElement(JNIEnv* env, jobjectArray array, jsize index) {
  VmState& vm = VmState::From(env);
  vm.Enter("GetObjectArrayElement");
  Object* a = vm.Deref(array, "array", ObjectKind::kObjectArray);
  if (a == nullptr || !InBounds(vm, *a, index, 1)) return nullptr;
  return vm.Local(a->elements[static_cast<std::size_t>(index)].object);
}

void JNICALL SetObjectArrayElement(JNIEnv* env, jobjectArray array, jsize index, jobject value) {
  VmState& vm = VmState::From(env);
  vm.Enter("SetObjectArrayElement");
  Object* a = vm.Deref(array, "array", ObjectKind::kObjectArray);
  ObjectId id = 0;
  if (a == nullptr || !vm.Resolve(value, "value", &id) || !InBounds(vm, *a, index, 1)) return;
  if (id != 0 && !vm.classes().IsAssignable(vm.ClassOf(id), a->cls->component)) {
    vm.ThrowVmError("java/lang/ArrayStoreException", vm.ClassOf(id)->name);
    return;
  }
  a->elements[static_cast<std::size_t>(index)] = Value::Ref(id);
}

template <char K>
ArrayT<K> JNICALL NewArray(JNIEnv* env, jsize length) {
  using Result = ArrayT<K>;
  VmState& vm = VmState::From(env);
  vm.Enter(std::string("New") + KindSuffix(K) + "Array");
  if (length < 0) {
    vm.ThrowVmError("java/lang/NegativeArraySizeException", std::to_string(length));
    return static_cast<Result>(nullptr);
  }
  ClassInfo* c = vm.LoadInternal(std::string("[") + K);
  if (c == nullptr || !vm.Allocate()) return static_cast<Result>(nullptr);
  return static_cast<Result>(vm.Local(vm.NewArray(c, static_cast<std::size_t>(length))));
}

template <char K>
KindT<K>* JNICALL GetArrayElements(JNIEnv* env, ArrayT<K> array, jboolean* isCopy) {
  VmState& vm = VmState::From(env);
  vm.Enter(std::string("Get") + KindSuffix(K) + "ArrayElements");
  ObjectId id = 0;
  Object* a = PrimitiveArray(vm, array, K, &id);
  if (a == nullptr || !vm.Allocate()) return nullptr;
  if (isCopy != nullptr) *isCopy = JNI_TRUE;
  return static_cast<KindT<K>*>(vm.Track(BufferKind::kArrayElements, id, a->bytes.data(), a->bytes.size()));
}

void ReleaseElements(VmState& vm, BufferKind kind, jarray array, char k, void* elems, jint mode) {
  ObjectId id = 0;
  Object* a = PrimitiveArray(vm, array, k, &id);
  TrackedBuffer* b = vm.FindForRelease(elems, kind, a == nullptr ? 0 : id);
  if (b == nullptr) return;
  if (mode != 0 && mode != JNI_COMMIT && mode != JNI_ABORT) vm.Violation("unknown mode " + std::to_string(mode));
  Object* target = vm.Get(b->owner);
  if (mode != JNI_ABORT && target->bytes.size() == b->payloadBytes && b->payloadBytes > 0) {
    std::memcpy(target->bytes.data(), b->storage.get(), b->payloadBytes);
  }
  if (mode == JNI_COMMIT) {
    if (kind == BufferKind::kArrayCritical) ++vm.openCriticals;  // still held
  } else {
    b->released = true;
  }
}

template <char K>
void JNICALL ReleaseArrayElements(JNIEnv* env, ArrayT<K> array, KindT<K>* elems, jint mode) {
  VmState& vm = VmState::From(env);
  vm.Enter(std::string("Release") + KindSuffix(K) + "ArrayElements", EntryRule::kExceptionSafe);
  ReleaseElements(vm, BufferKind::kArrayElements, array, K, elems, mode);
}

template <char K>
void JNICALL GetArrayRegion(JNIEnv* env, ArrayT<K> array, jsize start, jsize length, KindT<K>* buf) {
  VmState& vm = VmState::From(env);
  vm.Enter(std::string("Get") + KindSuffix(K) + "ArrayRegion");
  Object* a = PrimitiveArray(vm, array, K);
  if (a == nullptr || !InBounds(vm, *a, start, length)) return;
  if (length > 0 && buf == nullptr) {
    vm.Violation("buffer is null");
    return;
  }
  std::memcpy(buf, a->bytes.data() + start * sizeof(KindT<K>), length * sizeof(KindT<K>));
}

template <char K>
void JNICALL SetArrayRegion(JNIEnv* env, ArrayT<K> array, jsize start, jsize length, const KindT<K>* buf) {
  VmState& vm = VmState::From(env);
  vm.Enter(std::string("Set") + KindSuffix(K) + "ArrayRegion");
  Object* a = PrimitiveArray(vm, array, K);
  if (a == nullptr || !InBounds(vm, *a, start, length)) return;
  if (length > 0 && buf == nullptr) {
    vm.Violation("buffer is null");
    return;
  }
  std::memcpy(a->bytes.data() + start * sizeof(KindT<K>), buf, length * sizeof(KindT<K>));
}

void* JNICALL GetPrimitiveArrayCritical(JNIEnv* env, jarray array, jboolean* isCopy) {
  VmState& vm = VmState::From(env);
  vm.Enter("GetPrimitiveArrayCritical", EntryRule::kCritical);
  ObjectId id = 0;
  Object* a = PrimitiveArray(vm, array, '?', &id);
  if (a == nullptr || !vm.Allocate()) return nullptr;
  if (isCopy != nullptr) *isCopy = JNI_TRUE;
  return vm.Track(BufferKind::kArrayCritical, id, a->bytes.data(), a->bytes.size());
}

void JNICALL ReleasePrimitiveArrayCritical(JNIEnv* env, jarray array, void* carray, jint mode) {
  VmState& vm = VmState::From(env);
  vm.Enter("ReleasePrimitiveArrayCritical", EntryRule::kCriticalRelease);
  ReleaseElements(vm, BufferKind::kArrayCritical, array, '?', carray, mode);
}

}  // namespace

void InstallArrayFunctions(JNINativeInterface_& t) {
  t.GetArrayLength = &GetArrayLength;
  t.NewObjectArray = &NewObjectArray;
  t.GetObjectArrayElement = &GetObjectArrayElement;
  t.SetObjectArrayElement = &SetObjectArrayElement;
  t.GetPrimitiveArrayCritical = &GetPrimitiveArrayCritical;
  t.ReleasePrimitiveArrayCritical = &ReleasePrimitiveArrayCritical;
#define FWTEST_INSTALL_ARRAYS(Type, K)                   \
  t.New##Type##Array = &NewArray<K>;                     \
  t.Get##Type##ArrayElements = &GetArrayElements<K>;     \
  t.Release##Type##ArrayElements = &ReleaseArrayElements<K>; \
  t.Get##Type##ArrayRegion = &GetArrayRegion<K>;         \
  t.Set##Type##ArrayRegion = &SetArrayRegion<K>;
  FWTEST_INSTALL_ARRAYS(Boolean, 'Z')
  FWTEST_INSTALL_ARRAYS(Byte, 'B')
  FWTEST_INSTALL_ARRAYS(Char, 'C')
  FWTEST_INSTALL_ARRAYS(Short, 'S')
  FWTEST_INSTALL_ARRAYS(Int, 'I')
  FWTEST_INSTALL_ARRAYS(Long, 'J')
  FWTEST_INSTALL_ARRAYS(Float, 'F')
  FWTEST_INSTALL_ARRAYS(Double, 'D')
#undef FWTEST_INSTALL_ARRAYS
}

}  // namespace fwtest::vm

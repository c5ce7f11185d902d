// The function table: every slot first gets a stub typed from the slot itself, then the installers
// put the implemented functions in. Stubs record "unimplemented JNI function <Name>" and return a
// zero value.
//
// The stub's parameter types are deduced from the slot type, but its calling convention is written
// on the stub itself (JNICALL), not carried through a template argument, where GCC would drop it;
// assigning the stub to the slot then fails to compile if the two ever disagree.
#include <cstddef>
#include <type_traits>

#include "jni_functions.h"
#include "jni_slot_names.h"
#include "vm_state.h"

namespace fwtest::vm {
namespace {

constexpr std::size_t kReservedSlots = 4;
static_assert(sizeof(JNINativeInterface_) == (kReservedSlots + FWTEST_JNI_SLOT_COUNT) * sizeof(void*),
              "jni.h has a different number of function slots than jni_slot_names.h lists");

constexpr const char* kSlotNames[] = {
#define FWTEST_SLOT_NAME(name) #name,
    FWTEST_JNI_SLOTS(FWTEST_SLOT_NAME)
#undef FWTEST_SLOT_NAME
};

template <std::size_t Slot>
void Unimplemented(JNIEnv* env) {
  VmState& vm = VmState::From(env);
  vm.RawViolation(std::string("unimplemented JNI function ") + kSlotNames[Slot]);
}

template <class R>
R ZeroOf() {
  if constexpr (!std::is_void_v<R>) return R{};
}

template <std::size_t Slot, class R, class... P>
struct Stub {
  static R JNICALL Fixed(JNIEnv* env, P...) {
    Unimplemented<Slot>(env);
    return ZeroOf<R>();
  }
  static R JNICALL Variadic(JNIEnv* env, P..., ...) {
    Unimplemented<Slot>(env);
    return ZeroOf<R>();
  }
};

template <std::size_t Slot, class R, class... P>
constexpr auto StubFor(R(JNICALL*)(JNIEnv*, P...)) {
  return &Stub<Slot, R, P...>::Fixed;
}

template <std::size_t Slot, class R, class... P>
constexpr auto StubFor(R(JNICALL*)(JNIEnv*, P..., ...)) {
  return &Stub<Slot, R, P...>::Variadic;
}

JNINativeInterface_ BuildTable() {
  JNINativeInterface_ table{};
#define FWTEST_INSTALL_STUB(name)                                                                         \
  table.name = StubFor<offsetof(JNINativeInterface_, name) / sizeof(void*) - kReservedSlots>(table.name);
  FWTEST_JNI_SLOTS(FWTEST_INSTALL_STUB)
#undef FWTEST_INSTALL_STUB
  InstallClassFunctions(table);
  InstallExceptionFunctions(table);
  InstallReferenceFunctions(table);
  InstallMethodFunctions(table);
  InstallFieldFunctions(table);
  InstallStringFunctions(table);
  InstallArrayFunctions(table);
  return table;
}

}  // namespace

const JNINativeInterface_* FunctionTable() {
  static const JNINativeInterface_ table = BuildTable();
  return &table;
}

}  // namespace fwtest::vm

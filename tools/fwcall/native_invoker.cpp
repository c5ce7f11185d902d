#include "fwcall/native_invoker.h"

#include <array>
#include <cstdint>
#include <utility>

namespace fwcall {
namespace {

// Enough for the longest native method (nine words on i686: JNIEnv*, this and seven strings),
// with room for longs.
constexpr std::size_t kMaxWords = 24;

using PlainFunction = void (*)();

#if defined(__i386__) || defined(_M_IX86)
// JNICALL is __stdcall: the callee pops exactly its own arguments, so the call must pass exactly as
// many 32-bit words as the method takes; a long takes two, low word first.
using Word = std::uint32_t;

template <std::size_t... I>
std::uint64_t CallWith(PlainFunction f, const Word* w, std::index_sequence<I...>) {
  using Function = std::uint64_t(__stdcall*)(decltype((void)I, Word{})...);
  return reinterpret_cast<Function>(f)(w[I]...);  // EDX:EAX holds a long result
}

void Push(std::vector<Word>& words, char kind, const jvalue& v) {
  switch (kind) {
    case 'J': {
      const auto bits = static_cast<std::uint64_t>(v.j);
      words.push_back(static_cast<Word>(bits));
      words.push_back(static_cast<Word>(bits >> 32));
      break;
    }
    case 'Z': words.push_back(v.z); break;
    case 'B': words.push_back(static_cast<Word>(static_cast<std::int32_t>(v.b))); break;
    case 'C': words.push_back(v.c); break;
    case 'S': words.push_back(static_cast<Word>(static_cast<std::int32_t>(v.s))); break;
    case 'I': words.push_back(static_cast<Word>(v.i)); break;
    default: words.push_back(static_cast<Word>(reinterpret_cast<std::uintptr_t>(v.l))); break;
  }
}
#else
// x64: every argument takes one 64-bit slot (the first four in registers) and the caller cleans
// up, so passing the full set of slots is harmless: the callee reads only its own.
using Word = std::uint64_t;

template <std::size_t... I>
std::uint64_t CallWith(PlainFunction f, const Word* w, std::index_sequence<I...>) {
  using Function = std::uint64_t (*)(decltype((void)I, Word{})...);
  return reinterpret_cast<Function>(f)(w[I]...);
}

void Push(std::vector<Word>& words, char kind, const jvalue& v) {
  switch (kind) {
    case 'J': words.push_back(static_cast<Word>(v.j)); break;
    case 'Z': words.push_back(v.z); break;
    case 'B': words.push_back(static_cast<Word>(static_cast<std::int64_t>(v.b))); break;
    case 'C': words.push_back(v.c); break;
    case 'S': words.push_back(static_cast<Word>(static_cast<std::int64_t>(v.s))); break;
    case 'I': words.push_back(static_cast<Word>(static_cast<std::int64_t>(v.i))); break;
    default: words.push_back(reinterpret_cast<std::uintptr_t>(v.l)); break;
  }
}
#endif

template <std::size_t... N>
std::uint64_t CallByCount(PlainFunction f, const std::vector<Word>& words, std::index_sequence<N...>) {
  using Caller = std::uint64_t (*)(PlainFunction, const Word*);
  static constexpr std::array<Caller, sizeof...(N)> kCallers = {
      [](PlainFunction fn, const Word* w) { return CallWith(fn, w, std::make_index_sequence<N>()); }...};
  std::array<Word, kMaxWords> padded{};
  std::copy(words.begin(), words.end(), padded.begin());
#if defined(__i386__) || defined(_M_IX86)
  return kCallers[words.size()](f, padded.data());
#else
  return kCallers[kMaxWords](f, padded.data());
#endif
}

jvalue ResultOf(char kind, std::uint64_t bits) {
  jvalue v{};
  switch (kind) {
    case 'Z': v.z = static_cast<jboolean>(bits & 0xFF); break;
    case 'B': v.b = static_cast<jbyte>(bits & 0xFF); break;
    case 'C': v.c = static_cast<jchar>(bits & 0xFFFF); break;
    case 'S': v.s = static_cast<jshort>(bits & 0xFFFF); break;
    case 'I': v.i = static_cast<jint>(static_cast<std::uint32_t>(bits)); break;
    case 'J': v.j = static_cast<jlong>(bits); break;
    case 'V': break;
    default: v.l = reinterpret_cast<jobject>(static_cast<std::uintptr_t>(bits)); break;
  }
  return v;
}

std::size_t WordsOf(const NativeMethod& method) {
  std::size_t words = 2;
  for (const fwtest::vm::TypeDesc& p : method.signature.params) {
    words += sizeof(Word) == 4 && p.kind == 'J' ? 2 : 1;
  }
  return words;
}

}  // namespace

bool CanInvoke(const NativeMethod& method) {
  if (method.signature.result.IsFloating()) return false;
  for (const fwtest::vm::TypeDesc& p : method.signature.params) {
    if (p.IsFloating()) return false;
  }
  return WordsOf(method) <= kMaxWords;
}

jvalue InvokeNative(fwtest::TestVm& vm, FARPROC address, const NativeMethod& method, jobject self,
                    const std::vector<jvalue>& args) {
  // Casting through void (*)() is the one function-pointer cast that states "any signature".
  const auto function = reinterpret_cast<PlainFunction>(address);
  const char resultKind = method.signature.result.kind;
  vm.BeginNativeCall();
  std::vector<Word> words = {static_cast<Word>(reinterpret_cast<std::uintptr_t>(vm.env()))};
  jvalue selfValue{};
  selfValue.l = vm.EnterArgument(self);
  Push(words, 'L', selfValue);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const char kind = method.signature.params[i].kind;
    jvalue arg = args[i];
    if (kind == 'L' || kind == '[') arg.l = vm.EnterArgument(arg.l);
    Push(words, kind, arg);
  }
  const std::uint64_t bits = CallByCount(function, words, std::make_index_sequence<kMaxWords + 1>());
  jvalue result = ResultOf(resultKind, bits);
  if (resultKind == 'L' || resultKind == '[') {
    vm.KeepResult(result.l);
    vm.EndNativeCall();
    result.l = vm.TakeResult();
  } else {
    vm.EndNativeCall();
  }
  return result;
}

}  // namespace fwcall

// CallLine: one fwcall line ("Win32FileServiceImpl.win32DeleteFile C:\fw\a.txt") called on the
// library in a test VM as a JVM calls it: the arguments made in that VM, `edit` given them before
// the call, `this` a new object of the method's class (a static method gets its class), and the
// call in a local frame of its own, with the VM's end-of-call checks.
//
//   const fwcall::MethodTable table(vm);
//   const LineCall call = CallLine(vm, table, dll, "WindowsEnvironment.getProcessEnvironmentVariable PATH");
//   CallOutcome(vm, call.method->signature.result.kind, call.result).Write();   // the answer as JSON
//
// A line that does not parse, or a method the library does not export, throws std::runtime_error.
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fwcall/argument_text.h"
#include "fwcall/command_line.h"
#include "fwcall/method_table.h"
#include "fwcall/native_invoker.h"
#include "test_vm.h"

namespace fwtest {

// Changes the arguments of one call once they are made, before the call.
using ArgumentEdit = std::function<void(TestVm&, const fwcall::NativeMethod&, std::vector<jvalue>&)>;

struct LineCall {
  const fwcall::NativeMethod* method;
  jvalue result;  // with an exception pending in the VM when the method threw
};

// The method a line calls.
inline const fwcall::NativeMethod& MethodOf(const fwcall::MethodTable& table, const std::string& line) {
  std::string error;
  const fwcall::NativeMethod* m = table.Find(line.substr(0, line.find(' ')), &error);
  if (m == nullptr) throw std::runtime_error(line + ": " + error);
  return *m;
}

inline LineCall CallLine(TestVm& vm, const fwcall::MethodTable& table, HMODULE library, const std::string& line,
                         const ArgumentEdit& edit = nullptr) {
  const fwcall::NativeMethod& m = MethodOf(table, line);
  std::vector<fwcall::Word> words;
  std::string error;
  if (!fwcall::SplitWords(std::u16string(line.begin(), line.end()), &words, &error)) {
    throw std::runtime_error(line + ": " + error);
  }
  if (words.size() != m.signature.params.size() + 1) throw std::runtime_error(line + ": argument count");
  std::vector<jvalue> args(m.signature.params.size());
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (!fwcall::ArgumentFromWord(vm, words[i + 1], m.signature.params[i], &args[i], &error)) {
      throw std::runtime_error(line + ": " + error);
    }
  }
  FARPROC address = nullptr;
  for (const std::string& exportName : m.ExportNames(sizeof(void*) == 4)) {
    if ((address = GetProcAddress(library, exportName.c_str())) != nullptr) break;
  }
  if (address == nullptr) throw std::runtime_error(line + ": not exported");
  if (edit) edit(vm, m, args);
  jobject self = m.declared.isStatic ? static_cast<jobject>(vm.Class(m.declared.className)) : vm.NewPeer(m.declared.className);
  return {&m, fwcall::InvokeNative(vm, address, m, self, args)};
}

inline std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
inline std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }
inline std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// The text with every `token` replaced by `value`.
inline std::string Replaced(std::string text, const std::string& token, const std::string& value) {
  for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size())) {
    text.replace(at, token.size(), value);
  }
  return text;
}

}  // namespace fwtest

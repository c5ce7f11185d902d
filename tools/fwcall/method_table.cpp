#include "fwcall/method_table.h"

#include <cstdio>

namespace fwcall {
namespace {

std::string SimpleName(const std::string& internalName) {
  const std::size_t slash = internalName.rfind('/');
  return slash == std::string::npos ? internalName : internalName.substr(slash + 1);
}

// The JNI rule for a name in an export: '_' -> _1, ';' -> _2, '[' -> _3, '/' -> '_', and every
// other character outside [A-Za-z0-9] as _0xxxx (its UTF-16 unit in lower-case hex).
std::string Mangle(std::string_view name) {
  std::string out;
  for (unsigned char c : name) {
    if (c == '/') out += '_';
    else if (c == '_') out += "_1";
    else if (c == ';') out += "_2";
    else if (c == '[') out += "_3";
    else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) out += static_cast<char>(c);
    else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "_0%04x", c);
      out += escaped;
    }
  }
  return out;
}

}  // namespace

std::string JavaTypeName(const fwtest::vm::TypeDesc& type) {
  // Arrays by their component's Java name, classes by their simple name, primitives as the VM names them.
  if (type.kind == '[') {
    std::optional<fwtest::vm::TypeDesc> component = fwtest::vm::ParseFieldDescriptor(type.text.substr(1));
    return (component ? JavaTypeName(*component) : "?") + "[]";
  }
  if (type.kind == 'L') return SimpleName(type.ClassName());
  return fwtest::vm::TypeName(type);
}

std::string NativeMethod::SimpleClassName() const { return SimpleName(declared.className); }

std::string NativeMethod::QualifiedName() const { return SimpleClassName() + "." + declared.name; }

std::string NativeMethod::ParameterList() const {
  std::string out = "(";
  for (std::size_t i = 0; i < signature.params.size(); ++i) {
    if (i > 0) out += ", ";
    out += JavaTypeName(signature.params[i]);
  }
  return out + ")";
}

std::string NativeMethod::JavaSignature() const {
  return std::string(declared.isStatic ? "static " : "") + JavaTypeName(signature.result) + " " + declared.name +
         ParameterList();
}

std::vector<std::string> NativeMethod::ExportNames(bool decorated) const {
  const std::string shortName = "Java_" + Mangle(declared.className) + "_" + Mangle(declared.name);
  const std::size_t close = declared.descriptor.find(')');
  const std::string longName = shortName + "__" + Mangle(declared.descriptor.substr(1, close - 1));
  std::vector<std::string> names;
  if (decorated) {
    // JNIEnv* and the object or class, then 4 bytes per argument and 8 per long or double.
    std::size_t bytes = 8;
    for (const fwtest::vm::TypeDesc& p : signature.params) bytes += p.kind == 'J' || p.kind == 'D' ? 8 : 4;
    names.push_back("_" + shortName + "@" + std::to_string(bytes));
  }
  names.push_back(shortName);
  names.push_back(longName);
  return names;
}

MethodTable::MethodTable(fwtest::TestVm& vm) {
  for (fwtest::DeclaredNative& d : fwtest::DeclaredNatives(vm)) {
    std::optional<fwtest::vm::MethodSignature> sig = fwtest::vm::ParseMethodDescriptor(d.descriptor);
    if (sig) methods_.push_back(NativeMethod{std::move(d), std::move(*sig)});
  }
}

const NativeMethod* MethodTable::Find(std::string_view name, std::string* error) const {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size()) {
    *error = "\"" + std::string(name) + "\" is not Class.method (fwcall --help lists the native methods)";
    return nullptr;
  }
  std::string className(name.substr(0, dot));
  for (char& c : className) {
    if (c == '.') c = '/';
  }
  const std::string methodName(name.substr(dot + 1));
  const bool qualified = className.find('/') != std::string::npos;
  std::vector<const NativeMethod*> inClass;
  for (const NativeMethod& m : methods_) {
    if (qualified ? m.declared.className == className : m.SimpleClassName() == className) inClass.push_back(&m);
  }
  if (inClass.empty()) {
    *error = "unknown class \"" + std::string(name.substr(0, dot)) +
             "\": no Java class of that name declares native methods (fwcall --help lists them)";
    return nullptr;
  }
  std::vector<const NativeMethod*> found;
  for (const NativeMethod* m : inClass) {
    if (m->declared.name == methodName) found.push_back(m);
  }
  if (found.empty()) {
    *error = inClass.front()->SimpleClassName() + " has no native method \"" + methodName +
             "\" (fwcall --help lists them)";
    return nullptr;
  }
  if (found.size() > 1) {
    *error = "\"" + std::string(name) + "\" names more than one native method (overloads, or classes of one name in two packages: give the package)";
    return nullptr;
  }
  return found.front();
}

}  // namespace fwcall

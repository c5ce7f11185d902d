#include "jni_call_support.h"

namespace fwtest::vm {

bool ReadArguments(VmState& vm, const MethodRef& method, ArgSource source, std::vector<Value>* out) {
  const std::vector<TypeDesc>& params = method.sig.params;
  out->clear();
  if (source.list == nullptr && source.array == nullptr && !params.empty()) {
    vm.Violation("argument array is null for " + method.Describe());
    return false;
  }
  bool ok = true;
  for (std::size_t i = 0; i < params.size(); ++i) {
    char k = params[i].kind;
    Value v;
    if (source.list != nullptr) {
      va_list& ap = *source.list;
      switch (k) {
        // Promoted to int through "..."; jint is long, which has int's size on Windows.
        case 'Z': v = Value::Int(k, static_cast<jboolean>(va_arg(ap, int))); break;
        case 'B': v = Value::Int(k, static_cast<jbyte>(va_arg(ap, int))); break;
        case 'C': v = Value::Int(k, static_cast<jchar>(va_arg(ap, int))); break;
        case 'S': v = Value::Int(k, static_cast<jshort>(va_arg(ap, int))); break;
        case 'I': v = Value::Int(k, va_arg(ap, jint)); break;
        case 'J': v = Value::Int(k, va_arg(ap, jlong)); break;
        case 'F': v = Value::Real(k, static_cast<jfloat>(va_arg(ap, double))); break;
        case 'D': v = Value::Real(k, va_arg(ap, double)); break;
        default: {
          jobject ref = va_arg(ap, jobject);
          v = Value::Ref(0);
          std::string role = "argument " + std::to_string(i + 1);
          ok = vm.Resolve(ref, role.c_str(), &v.object) && ok;
        }
      }
    } else {
      const jvalue& a = source.array[i];
      switch (k) {
        case 'Z': v = Value::Int(k, a.z); break;
        case 'B': v = Value::Int(k, a.b); break;
        case 'C': v = Value::Int(k, a.c); break;
        case 'S': v = Value::Int(k, a.s); break;
        case 'I': v = Value::Int(k, a.i); break;
        case 'J': v = Value::Int(k, a.j); break;
        case 'F': v = Value::Real(k, a.f); break;
        case 'D': v = Value::Real(k, a.d); break;
        default: {
          v = Value::Ref(0);
          std::string role = "argument " + std::to_string(i + 1);
          ok = vm.Resolve(a.l, role.c_str(), &v.object) && ok;
        }
      }
    }
    if (ok && params[i].IsReference()) {
      ok = vm.CheckAssignable(v, params[i], "argument " + std::to_string(i + 1) + " of " + method.Describe());
    }
    out->push_back(v);
  }
  return ok;
}

std::string CallName(const char* family, char kind, const char* variant) {
  return std::string(family) + KindSuffix(kind) + "Method" + variant;
}

}  // namespace fwtest::vm

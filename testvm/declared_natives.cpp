#include "declared_natives.h"

#include "vm_state.h"

namespace fwtest {

std::vector<DeclaredNative> DeclaredNatives(TestVm& vm) {
  std::vector<DeclaredNative> out;
  for (const vm::ClassDecl* c : vm.Internals().manifest().Classes()) {
    if (c->name.rfind("java/", 0) == 0 || c->name.rfind("javax/", 0) == 0) continue;
    for (const vm::MethodDecl& m : c->methods) {
      if ((m.flags & vm::kNative) == 0) continue;
      out.push_back(DeclaredNative{c->name, m.name, m.descriptor, (m.flags & vm::kStatic) != 0});
    }
  }
  return out;
}

}  // namespace fwtest

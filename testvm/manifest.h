// Manifest: the classes, methods and fields the test VM knows, parsed from manifest text.
//
//   Manifest m;
//   std::vector<std::string> errors;
//   m.Add(JdkManifestText(), "jdk", errors);     // later texts replace whole classes of earlier ones
//   m.Add(JavaManifestText(), "java", errors);
//   const ClassDecl* c = m.Find("java/util/Vector");
//
// Line format ('#' lines and blank lines are ignored):
//   class <name> super <super or -> [interface] [abstract]
//   implements <name> <interface>
//   method <class> <name> <descriptor> <flags>
//   field <class> <name> <descriptor> <flags> [= <value>]
// A value is decimal for integral fields (long too) and a decimal number for float and double
// fields; values of other fields (String constants) are ignored.
// <flags> is a comma-separated subset of static,native,public,private,protected,final,abstract, or -.
#ifndef FWTEST_TESTVM_MANIFEST_H
#define FWTEST_TESTVM_MANIFEST_H

#include <jni.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fwtest::vm {

enum MemberFlag : unsigned {
  kStatic = 1u << 0,
  kNative = 1u << 1,
  kPublic = 1u << 2,
  kPrivate = 1u << 3,
  kProtected = 1u << 4,
  kFinal = 1u << 5,
  kAbstract = 1u << 6,
};

struct MethodDecl {
  std::string name;
  std::string descriptor;
  unsigned flags = 0;
};

struct FieldDecl {
  std::string name;
  std::string descriptor;
  unsigned flags = 0;
  std::optional<jlong> constant;       // value of an integral static final constant
  std::optional<double> realConstant;  // value of a float or double one
};

struct ClassDecl {
  std::string name;
  std::string superName;  // empty: none (java/lang/Object and interfaces)
  std::vector<std::string> interfaces;
  bool isInterface = false;
  bool isAbstract = false;
  std::vector<MethodDecl> methods;
  std::vector<FieldDecl> fields;
};

class Manifest {
 public:
  // Parses `text`; each class it declares replaces an earlier declaration of the same name.
  // Malformed lines are skipped and described in `errors` (prefixed with `origin` and the line).
  void Add(std::string_view text, std::string_view origin, std::vector<std::string>& errors);
  const ClassDecl* Find(std::string_view name) const;
  // Every class, in name order.
  std::vector<const ClassDecl*> Classes() const;

 private:
  std::map<std::string, ClassDecl, std::less<>> classes_;
};

}  // namespace fwtest::vm

#endif

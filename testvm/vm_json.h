// Java values of the test VM as JSON, both ways: what a native call gave Java, and arguments or
// peers written as JSON. The test program and command-line hosts share these, so a result printed
// by a host and one computed in a test are the same text.
//
//   jstring r = vm.Call(getStringValue, self, jint{3}, key, name, JNI_FALSE);
//   fwtest::CallOutcome(vm, r).Write();     // "\"abc\"" or {"exception": {"code": -100008, "message": "..."}}
//
//   jvalue v;
//   std::string error;
//   JavaValueFromJson(vm, *Json::Parse(R"({"attributeState": {"HIDDEN": true}})", &error),
//                     "Lcom/fernwick/util/FileAttributes;", &v, &error);   // v.l: a new peer
//
// Rendering: String -> string; byte[] -> lowercase hex string; other arrays, Vector and
// Enumeration (the elements it has yet to return) -> arrays; any other object -> a peer object:
//   setX(v)        -> "x": v
//   setX(k, v)     -> "x": {"k": v, ...}; an int key is shown as the name of the class's static int
//                     constant of that value when there is one ("HIDDEN" for FileAttributes 10)
//   addX(v)        -> "xs": [v, ...]
//   constructor    -> one member per instance field, in declaration order, when the arguments match
//                     the fields' types (Win2kSCAction(1, 60000) -> "actionType": 1, "delay": 60000);
//                     else "<init>": [arguments]
// Making a peer reverses this: "x" is given to the getters getX/isX (and getX(k) for the members of
// an object), and "xs" (for addX) also to getXCount() and getXAt(i). A name the class has no
// accessor for is an error.
#ifndef FWTEST_TESTVM_VM_JSON_H
#define FWTEST_TESTVM_VM_JSON_H

#include <jni.h>

#include <string>
#include <string_view>

#include "json.h"
#include "test_vm.h"

namespace fwtest {

Json JsonOfReference(TestVm& vm, jobject ref);
// {"exception": {"code": c, "message": "m"}}; "message" is null for ServiceException(int), and
// an exception of another class also carries "class".
Json JsonOfException(const ThrownException& e);

// What Java sees after a native call: the pending exception (taken from the VM) or the result,
// `kind` being the return type's descriptor character ('V' for void: null).
Json CallOutcome(TestVm& vm, char kind, const jvalue& result);
inline Json CallOutcome(TestVm& vm) { return CallOutcome(vm, 'V', jvalue{}); }
Json CallOutcome(TestVm& vm, jboolean result);
Json CallOutcome(TestVm& vm, jint result);
Json CallOutcome(TestVm& vm, jlong result);
Json CallOutcome(TestVm& vm, jobject result);

// A Java value of the type `descriptor` ("I", "Ljava/lang/String;", "[B", a peer class ...) made
// from JSON; references are made in the test's frame. False, with a message, when the JSON does
// not fit the type.
bool JavaValueFromJson(TestVm& vm, const Json& json, std::string_view descriptor, jvalue* out, std::string* error);

}  // namespace fwtest

#endif

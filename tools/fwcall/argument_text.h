// ArgumentFromWord: one typed word of a call made into the Java value its parameter takes.
//
//   String             text as typed; the bare word null is a null reference ("null" is the text)
//   int, long, short,  decimal, or hexadecimal after 0x, with an optional sign; must fit the type
//   byte, char
//   boolean            true or false
//   byte[]             hex digits (two per byte; "" is an empty array), or a JSON array of numbers
//   String[], Vector,  a JSON array: ["a", null, ""]
//   Enumeration
//   peer classes       a JSON object of the peer's properties (fwtest::JavaValueFromJson):
//                      {"attributeState": {"HIDDEN": true, "ARCHIVE": false}}
// Every reference type also takes the bare word null.
#pragma once

#include <jni.h>

#include <string>

#include "descriptor.h"
#include "fwcall/command_line.h"
#include "test_vm.h"

namespace fwcall {

// False, with a message that names the problem (not a number, out of range, malformed JSON ...).
bool ArgumentFromWord(fwtest::TestVm& vm, const Word& word, const fwtest::vm::TypeDesc& type, jvalue* out,
                      std::string* error);

}  // namespace fwcall

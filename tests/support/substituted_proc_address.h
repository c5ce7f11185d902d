// SubstitutedProcAddress: makes a module's GetProcAddress hand out a behaviour of the test's
// choosing for one function name, for code that binds an optional system function by name at the
// moment of use. The behaviour is typed from the function's declaration and may call the real one.
//
//   auto groups = fwtest::SubstituteProcAddress(library.get(), FWTEST_IMPORT(GetTokenInformation),
//       [](auto original, HANDLE token, TOKEN_INFORMATION_CLASS type, LPVOID data, DWORD size, PDWORD needed) {
//         return original(token, type, data, size, needed);   // then edit the result
//       });
//   EXPECT_EQ(groups.lookups(), 1);   // the module asked for the name once
//   EXPECT_EQ(groups.calls(), 2);     // and called what it got twice
//
// `original` is what the real GetProcAddress gave for the name (null when the system lacks it).
// Other names, and look-ups by ordinal, pass through. The substitute ends with the object; a
// pointer the code kept beyond that must not be called any more. It is a FakeImport
// (fake_import.h) of the function, and holds one more of GetProcAddress.
#pragma once

#include "support/fake_import.h"

#include <utility>

namespace fwtest {

template <typename Fn>
class SubstitutedProcAddress : public FakeImport<Fn> {
 public:
  SubstitutedProcAddress(HMODULE module, ImportOf<Fn> function, typename FakeImport<Fn>::Behaviour behaviour)
      : FakeImport<Fn>(typename FakeImport<Fn>::ByName{}, module, function, std::move(behaviour)) {}
  using FakeImport<Fn>::lookups;
};

template <typename Fn, typename Behaviour>
SubstitutedProcAddress<Fn> SubstituteProcAddress(HMODULE module, ImportOf<Fn> function, Behaviour behaviour) {
  return SubstitutedProcAddress<Fn>(module, function, std::move(behaviour));
}

}  // namespace fwtest

// BadInputSandbox: the places the bad-input calls may reach, all of them the test's own. While it
// lives:
// - the current directory is a new temporary folder, so a relative or empty path stays inside it;
// - HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE lead to keys below the test's own key, holding the few
//   keys the library expects (RunOnce, Uninstall, the environment keys);
// - the library's own file changes (create, copy, move, delete, attributes) outside the folder are
//   refused with access denied and recorded as escapes;
// - Netapi32 answers from stubs that keep nothing (Wine's NetUserSetInfo would end the process), and
//   the library's Sleep returns at once;
// - a demand-start service of the test's own exists, with a program that does not.
// At the end the process environment, error mode and affinity, the pending renames and WinInit.Ini
// are put back, services the calls created under the test's names are deleted, and the folder and
// keys are removed.
//
//   BadInputSandbox sandbox(library.get());
//   sandbox.BeforeCall();                 // the files the baseline arguments name, as they were
//   ... one call ...
//   sandbox.AfterCall(serviceNames);      // names the call passed to a service method
//   EXPECT_EQ(sandbox.Finish(), std::vector<std::string>{});
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace fwtest {

class BadInputSandbox {
 public:
  explicit BadInputSandbox(HMODULE library);
  ~BadInputSandbox();
  BadInputSandbox(const BadInputSandbox&) = delete;
  BadInputSandbox& operator=(const BadInputSandbox&) = delete;

  // The folder, with a trailing backslash; the current directory.
  std::wstring Folder() const;
  // Relative to the redirected HKEY_CURRENT_USER; holds the string value "value".
  static std::wstring RegistryKey() { return L"key"; }
  // The test's own service (it exists); with "new" after it, a name of the test's own where none exists.
  std::wstring ServiceName() const;

  void BeforeCall();
  // After a call that may create or delete services: deletes services of the test's own names that
  // the call created, and brings back the test's service when the call deleted it.
  void AfterCall(const std::vector<std::wstring>& serviceNames);

  // Ends the patches and the registry redirection, then lists the file changes refused outside the
  // folder, the pending renames made outside it, and a change in the root of the folder's drive.
  std::vector<std::string> Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace fwtest

// ScopedNetmsgDll: puts the test message table beside the test program as "netmsg.dll" for one
// test. Windows takes the texts of errors 2100 to 2999 from netmsg.dll, which Wine lacks; a load by
// name searches the program's folder first. The table holds 2102 and 2220 (kNetmsgText2102,
// kNetmsgText2220, each followed by CR LF). A file that cannot be deleted at the end (still loaded)
// is a test failure, since it would change every later test.
//
//   fwtest::ScopedNetmsgDll netmsg;   // 2102 now reads "Test message table: 2102."
#pragma once

#include "support/program_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>

namespace fwtest {

inline constexpr wchar_t kNetmsgText2102[] = L"Test message table: 2102.";
inline constexpr wchar_t kNetmsgText2220[] = L"Test message table: 2220.";

class ScopedNetmsgDll {
 public:
  ScopedNetmsgDll() : path_(ProgramFolder() + L"\\netmsg.dll") {
    // A copy left by a test that crashed is replaced.
    if (!CopyFileW((ProgramFolder() + L"\\fwtest_netmsg.dll").c_str(), path_.c_str(), FALSE)) {
      throw std::runtime_error("copying fwtest_netmsg.dll to netmsg.dll failed, error " + std::to_string(GetLastError()));
    }
  }
  ScopedNetmsgDll(const ScopedNetmsgDll&) = delete;
  ScopedNetmsgDll& operator=(const ScopedNetmsgDll&) = delete;
  ~ScopedNetmsgDll() {
    const DWORD savedError = GetLastError();
    const BOOL deleted = DeleteFileW(path_.c_str());
    const DWORD error = GetLastError();
    if (!deleted) ADD_FAILURE() << "netmsg.dll could not be deleted (still loaded?), error " << error;
    SetLastError(savedError);
  }

 private:
  std::wstring path_;
};

}  // namespace fwtest

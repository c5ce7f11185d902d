// ScopedNetmsgDll: puts the test message table beside the test program as "netmsg.dll" for one
// test, and removes it when it ends. Windows takes the texts of errors 2100 to 2999 from
// netmsg.dll, which Wine does not have; LoadLibraryExA("netmsg.dll", nullptr,
// LOAD_LIBRARY_AS_DATAFILE) searches the program's folder first, so it finds this copy.
//
//   fwtest::ScopedNetmsgDll netmsg;   // 2102 now reads "Test message table: 2102."
//
// The table holds 2102 and 2220 with the texts in kNetmsgText2102 and kNetmsgText2220 (each
// followed by CR LF, as every message-table text is). The constructor throws std::runtime_error
// when the copy fails; the destructor records a test failure when the file cannot be deleted
// (someone still has it loaded), since it would change every later test.
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
      const DWORD error = GetLastError();
      throw std::runtime_error("copying fwtest_netmsg.dll to netmsg.dll beside the test program failed, error " +
                               std::to_string(error));
    }
  }
  ScopedNetmsgDll(const ScopedNetmsgDll&) = delete;
  ScopedNetmsgDll& operator=(const ScopedNetmsgDll&) = delete;
  ~ScopedNetmsgDll() {
    const DWORD savedError = GetLastError();
    if (!DeleteFileW(path_.c_str())) {
      const DWORD error = GetLastError();
      ADD_FAILURE() << "netmsg.dll beside the test program could not be deleted (still loaded?), error " << error;
    }
    SetLastError(savedError);
  }

 private:
  std::wstring path_;
};

}  // namespace fwtest

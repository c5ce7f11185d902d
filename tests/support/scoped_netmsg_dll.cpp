#include "support/scoped_netmsg_dll.h"

#include "support/program_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

namespace fwtest {

ScopedNetmsgDll::ScopedNetmsgDll() {
  const std::wstring folder = ProgramFolder();
  const std::wstring source = folder + L"\\fwtest_netmsg.dll";
  path_ = folder + L"\\netmsg.dll";
  // A copy left by a test that crashed is replaced.
  if (!CopyFileW(source.c_str(), path_.c_str(), FALSE)) {
    const DWORD error = GetLastError();
    throw std::runtime_error("copying fwtest_netmsg.dll to netmsg.dll beside the test program failed, error " +
                             std::to_string(error));
  }
}

ScopedNetmsgDll::~ScopedNetmsgDll() {
  const DWORD savedError = GetLastError();
  if (!DeleteFileW(path_.c_str())) {
    const DWORD error = GetLastError();
    ADD_FAILURE() << "netmsg.dll beside the test program could not be deleted (still loaded?), error " << error;
  }
  SetLastError(savedError);
}

}  // namespace fwtest

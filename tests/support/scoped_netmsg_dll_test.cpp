#include "support/scoped_netmsg_dll.h"

#include "bridge/local_memory_holder.h"
#include "bridge/unique_resource.h"
#include "support/program_folder.h"

#include <gtest/gtest.h>

namespace {

// The text the library looks up for a network error: the module's table first, then the system's.
std::wstring MessageText(HMODULE module, DWORD code) {
  fw::LocalMemoryHolder text;
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      module, code, 0x400, reinterpret_cast<LPWSTR>(text.put()), 0, nullptr);
  return length != 0 ? std::wstring(text.as<wchar_t>(), length) : std::wstring();
}

TEST(ScopedNetmsgDllTest, NetworkMessagesComeFromTheTestTableOnlyWhileTheCopyExists) {
  {
    fwtest::ScopedNetmsgDll netmsg;
    fw::UniqueModule module(LoadLibraryExA("netmsg.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module) << "error " << GetLastError();
    EXPECT_EQ(MessageText(module.get(), 2102), std::wstring(fwtest::kNetmsgText2102) + L"\r\n");
    EXPECT_EQ(MessageText(module.get(), 2220), std::wstring(fwtest::kNetmsgText2220) + L"\r\n");
  }
  EXPECT_EQ(GetFileAttributesW((fwtest::ProgramFolder() + L"\\netmsg.dll").c_str()), INVALID_FILE_ATTRIBUTES);
  fw::UniqueModule missing(LoadLibraryExA("netmsg.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE));
  const DWORD error = GetLastError();
  EXPECT_FALSE(missing);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace

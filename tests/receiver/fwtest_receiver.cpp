// fwtestreceiver.exe: stands in for the clean-up program in the tests of nativeDeleteFilesAfterExit.
// It offers the same windows as fwcleanup.exe (tools/fwcleanup/request_windows.h), so the library
// finds it the same way, writes the bytes of the one WM_COPYDATA it receives, exactly, to
// received.bin beside its own exe, and exits with 0 (2 when the file cannot be written); a test
// reads it once the program has ended.
// With no request within 30 s it writes nothing and exits with 1.
#include <windows.h>

#include <string>

#include "bridge/unique_resource.h"
#include "fwcleanup/request_windows.h"

namespace {

constexpr UINT kRequestTimeoutMs = 30000;

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
  const fw::UniqueFileHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  fwcleanup::ReceivedRequest request;
  if (!fwcleanup::ReceiveRequest(instance, kRequestTimeoutMs, request)) return 1;
  return WriteWhole(OwnFolder() + "received.bin", request.bytes) ? 0 : 2;
}

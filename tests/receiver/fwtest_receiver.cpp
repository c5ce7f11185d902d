// fwtestreceiver.exe: stands in for the clean-up program, with the same windows. It writes the bytes
// of the one WM_COPYDATA it receives to received.bin beside its exe and exits with 0 (2 when the file
// cannot be written; 1, writing nothing, with no request within 30 s).
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "fwcleanup/request_windows.h"

constexpr UINT kRequestTimeoutMs = 30000;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  fwcleanup::ReceivedRequest request;
  if (!fwcleanup::ReceiveRequest(instance, kRequestTimeoutMs, nullptr, request)) return 1;
  char path[MAX_PATH + sizeof("received.bin")] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::strcpy(std::strrchr(path, '\\') + 1, "received.bin");
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return 2;
  const bool whole = std::fwrite(request.bytes.data(), 1, request.bytes.size(), file) == request.bytes.size();
  return std::fclose(file) == 0 && whole ? 0 : 2;
}

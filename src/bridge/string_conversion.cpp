#include "bridge/string_conversion.h"

#include <windows.h>

#include <cwchar>

#include "bridge/win32_exception.h"

namespace fw {
namespace {

// A conversion fails only when the system cannot do it (memory, a code page it lacks): the text is
// then lost, and the call it was for must not go on with nothing in its place.
[[noreturn]] void ThrowConversionFailure(DWORD error) {
  throw Win32Exception(error != 0 ? error : ERROR_NO_UNICODE_TRANSLATION);
}

std::uint32_t WideToAnsiInto(const wchar_t* text, int count, ScratchBuffer& out) {
  out.Release();
  if (text == nullptr) return 0;
  const UINT codePage = GetACP();
  const int size = WideCharToMultiByte(codePage, 0, text, count, nullptr, 0, nullptr, nullptr);
  if (size <= 0) ThrowConversionFailure(GetLastError());
  out.Allocate(static_cast<std::uint32_t>(size), 1);
  const int written =
      WideCharToMultiByte(codePage, 0, text, count, out.As<char>(), size, nullptr, nullptr);
  if (written <= 0) ThrowConversionFailure(GetLastError());
  return static_cast<std::uint32_t>(written);
}

std::uint32_t AnsiToWideInto(const char* text, int count, ScratchBuffer& out) {
  out.Release();
  if (text == nullptr) return 0;
  const UINT codePage = GetACP();
  const int size = MultiByteToWideChar(codePage, 0, text, count, nullptr, 0);
  if (size <= 0) ThrowConversionFailure(GetLastError());
  out.Allocate(static_cast<std::uint32_t>(size), sizeof(wchar_t));
  const int written = MultiByteToWideChar(codePage, 0, text, count, out.As<wchar_t>(), size);
  if (written <= 0) ThrowConversionFailure(GetLastError());
  return static_cast<std::uint32_t>(written);
}

}  // namespace

void WideToAnsi(const wchar_t* text, ScratchBuffer& out) { WideToAnsiInto(text, -1, out); }

DWORD AnsiRoundTripError(const wchar_t* text) {
  if (text == nullptr) return 0;
  ScratchBuffer ansi, back;
  try {
    WideToAnsi(text, ansi);
    AnsiToWide(ansi.As<const char>(), back);
  } catch (const Win32Exception& e) {
    return e.Error();
  }
  return std::wcscmp(back.As<const wchar_t>(), text) == 0 ? 0 : ERROR_NO_UNICODE_TRANSLATION;
}

std::uint32_t WideToAnsiCounted(const wchar_t* text, std::uint32_t count, ScratchBuffer& out) {
  if (count == 0) {
    out.Release();
    return 0;
  }
  return WideToAnsiInto(text, static_cast<int>(count), out);
}

void AnsiToWide(const char* text, ScratchBuffer& out) { AnsiToWideInto(text, -1, out); }

std::uint32_t AnsiToWideCounted(const char* text, std::uint32_t byteCount, ScratchBuffer& out) {
  if (byteCount == 0) {
    out.Release();
    return 0;
  }
  return AnsiToWideInto(text, static_cast<int>(byteCount), out);
}

}  // namespace fw

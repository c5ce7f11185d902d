#include "bridge/string_conversion.h"

#include <windows.h>

#include <cwchar>

namespace fw {
namespace {

std::uint32_t WideToAnsiInto(const wchar_t* text, int count, ScratchBuffer& out) {
  out.Release();
  if (text == nullptr) return 0;
  const UINT codePage = GetACP();
  const int size = WideCharToMultiByte(codePage, 0, text, count, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return 0;
  out.Allocate(static_cast<std::uint32_t>(size), 1);
  const int written =
      WideCharToMultiByte(codePage, 0, text, count, out.As<char>(), size, nullptr, nullptr);
  return written > 0 ? static_cast<std::uint32_t>(written) : 0;
}

std::uint32_t AnsiToWideInto(const char* text, int count, ScratchBuffer& out) {
  out.Release();
  if (text == nullptr) return 0;
  const UINT codePage = GetACP();
  const int size = MultiByteToWideChar(codePage, 0, text, count, nullptr, 0);
  if (size <= 0) return 0;
  out.Allocate(static_cast<std::uint32_t>(size), sizeof(wchar_t));
  const int written = MultiByteToWideChar(codePage, 0, text, count, out.As<wchar_t>(), size);
  return written > 0 ? static_cast<std::uint32_t>(written) : 0;
}

}  // namespace

void WideToAnsi(const wchar_t* text, ScratchBuffer& out) { WideToAnsiInto(text, -1, out); }

DWORD ConversionError(const wchar_t* text, const ScratchBuffer& ansi) {
  const DWORD error = GetLastError();
  const char* bytes = ansi.As<const char>();
  if (text == nullptr || *text == L'\0' || (bytes != nullptr && *bytes != '\0')) return 0;
  return error != 0 ? error : ERROR_NO_UNICODE_TRANSLATION;
}

DWORD AnsiRoundTripError(const wchar_t* text) {
  if (text == nullptr) return 0;
  ScratchBuffer ansi;
  WideToAnsi(text, ansi);
  if (const DWORD error = ConversionError(text, ansi)) return error;
  ScratchBuffer back;
  AnsiToWide(ansi.As<const char>(), back);
  const DWORD error = GetLastError();
  if (back.Empty()) return error != 0 ? error : ERROR_NO_UNICODE_TRANSLATION;
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

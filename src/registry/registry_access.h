// RegistryAccess: the one road to the registry. Each operation addresses a value by root, key path
// and value name, opens the key with the narrowest access it needs, makes its registry call, closes
// the key (also when it raises) and raises RegistryException with the Win32 error on any failure.
//
//   RegistryAccess registry;                       // records IsWindows9x() once
//   WideString dir = registry.ReadString(RootKey::LocalMachine, L"Software\\Fernwick", L"Dir", true);
//
// On the 9x family every text goes through the A functions after conversion to the ANSI code page
// (characters the code page lacks become its substitute); otherwise the W functions are called.
// Paths and value names are UTF-16 and may be null: a null path is the root itself, a null value
// name the key's default value. No key stays open between operations; out-lists are appended to.
// A value of another type than the operation reads raises 1804 (ERROR_INVALID_DATATYPE).
#pragma once

#include <windows.h>

#include <cstdint>

#include "bridge/scratch_buffer.h"
#include "bridge/wide_string.h"
#include "registry/key_info.h"
#include "registry/opened_key.h"
#include "registry/root_key.h"

namespace fw {

class RegistryAccess {
 public:
  RegistryAccess();
  virtual ~RegistryAccess() = default;
  RegistryAccess(const RegistryAccess&) = delete;
  RegistryAccess& operator=(const RegistryAccess&) = delete;

  // --- Values ---
  // REG_SZ or REG_EXPAND_SZ; expand passes REG_EXPAND_SZ text through ExpandString.
  WideString ReadString(RootKey root, const wchar_t* path, const wchar_t* name, bool expand);
  void ReadMultiString(RootKey root, const wchar_t* path, const wchar_t* name, StringList& out);
  std::uint32_t ReadDword(RootKey root, const wchar_t* path, const wchar_t* name);
  // out gets the bytes in 1-byte elements; a zero-length value leaves it empty.
  void ReadBinary(RootKey root, const wchar_t* path, const wchar_t* name, ScratchBuffer& out);
  DWORD ReadValueType(RootKey root, const wchar_t* path, const wchar_t* name);

  // Stored without the terminating zero; "" as 1 byte, a null text as 0 bytes.
  void WriteString(RootKey root, const wchar_t* path, const wchar_t* name, bool expand, const wchar_t* text);
  // Each string followed by a zero, one more zero at the end; an empty list is a single zero.
  void WriteMultiString(RootKey root, const wchar_t* path, const wchar_t* name, const StringList& list);
  void WriteDword(RootKey root, const wchar_t* path, const wchar_t* name, std::uint32_t value);
  void WriteBinary(RootKey root, const wchar_t* path, const wchar_t* name, const ScratchBuffer& data);
  // With reportMissing false a missing value is no error; a missing key always is (2).
  void DeleteValue(RootKey root, const wchar_t* path, const wchar_t* name, bool reportMissing);

  // --- Keys ---
  // Creates subkey (and any missing levels of it) below the existing key at path.
  void CreateKey(RootKey root, const wchar_t* path, const wchar_t* subkey);
  // Deletes subkey with everything below it. With reportMissing false a missing subkey is no
  // error; a missing parent always is (2). A null or empty subkey raises 1010 on every family
  // (never the key at path itself).
  void DeleteKey(RootKey root, const wchar_t* path, const wchar_t* subkey, bool reportMissing);
  // Names in the system's index order. On a failure the list is emptied and the error raised
  // (234 for a name of 1024 characters or more).
  void EnumerateValueNames(RootKey root, const wchar_t* path, StringList& out);
  void EnumerateSubkeyNames(RootKey root, const wchar_t* path, StringList& out);
  // A missing key (or value) is false; any other failure raises. A null path is always true.
  bool KeyExists(RootKey root, const wchar_t* path);
  bool ValueExists(RootKey root, const wchar_t* path, const wchar_t* name);
  void QueryKeyInfo(RootKey root, const wchar_t* path, KeyInfo& out);

  // --- Primitives the operations share ---
  // A null path borrows the root handle; otherwise the key is opened (raises on failure).
  OpenedKey OpenKey(RootKey root, const wchar_t* path, REGSAM access);
  // RegQueryValueEx / RegSetValueEx through the family's entry point; data is in the family's
  // character set. Return the Win32 result.
  LONG QueryValue(HKEY key, const wchar_t* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
  LONG SetValue(HKEY key, const wchar_t* name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
  // Expands environment references into out (UTF-16); returns the system's count, 0 on failure.
  std::uint32_t ExpandString(const wchar_t* text, ScratchBuffer& out);

  bool Ansi() const noexcept { return ansi_; }

 private:
  bool ansi_;
};

// Deletes parent\subkey depth-first through the W functions, children before parents; the first
// failure stops everything and leaves what was not yet deleted. A null or empty subkey returns
// 1010 (ERROR_BADKEY) and touches nothing. Returns the Win32 result.
LONG DeleteKeyTree(HKEY parent, const wchar_t* subkey);

}  // namespace fw

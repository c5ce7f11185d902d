// Start-up commands under the run-once key, through the registry access layer.
#include "sysutil/startup_commands.h"

#include <cwchar>

#include "bridge/service_exception.h"
#include "registry/registry_access.h"
#include "registry/registry_exception.h"

namespace fw {
namespace {

// The number is counted as a signed 16-bit value.
constexpr int kLastStartupCommandNumber = 32767;
constexpr std::size_t kPrefixLength = sizeof(kStartupCommandPrefix) / sizeof(wchar_t) - 1;

bool Empty(const wchar_t* text) { return text == nullptr || text[0] == L'\0'; }

bool HasPrefix(const WideString& name) { return name.compare(0, kPrefixLength, kStartupCommandPrefix) == 0; }

// Reads a string value; false for a value of another type, which callers pass over.
bool ReadCommand(RegistryAccess& registry, const WideString& name, bool expand, WideString& out) {
  try {
    out = registry.ReadString(RootKey::LocalMachine, kRunOncePath, name.c_str(), expand);
  } catch (const RegistryException& e) {
    if (e.Error() == ERROR_INVALID_DATATYPE) return false;
    throw;
  }
  return true;
}

}  // namespace

WideString StartupCommandName(int number) {
  wchar_t digits[16] = {};
  std::swprintf(digits, sizeof(digits) / sizeof(digits[0]), L"%05d", number);
  return WideString(kStartupCommandPrefix) + digits;
}

DWORD AddStartupCommand(const wchar_t* command) {
  if (Empty(command)) return kErrorEInvalidArg;
  RegistryAccess registry;
  for (int number = 1; number <= kLastStartupCommandNumber; ++number) {
    const WideString name = StartupCommandName(number);
    if (registry.ValueExists(RootKey::LocalMachine, kRunOncePath, name.c_str())) continue;
    registry.WriteString(RootKey::LocalMachine, kRunOncePath, name.c_str(), false, command);
    return ERROR_SUCCESS;
  }
  return ERROR_NO_MORE_ITEMS;
}

void ListStartupCommands(StringList& out) {
  RegistryAccess registry;
  StringList names;
  registry.EnumerateValueNames(RootKey::LocalMachine, kRunOncePath, names);
  for (const WideString& name : names) {
    WideString command;
    if (ReadCommand(registry, name, true, command)) out.push_back(command);
  }
}

DWORD RemoveStartupCommand(const wchar_t* command) {
  if (Empty(command)) return kErrorEInvalidArg;
  RegistryAccess registry;
  StringList names;
  registry.EnumerateValueNames(RootKey::LocalMachine, kRunOncePath, names);
  for (const WideString& name : names) {
    if (!HasPrefix(name)) continue;
    WideString stored;
    if (!ReadCommand(registry, name, false, stored) || stored != command) continue;
    registry.DeleteValue(RootKey::LocalMachine, kRunOncePath, name.c_str(), true);
    break;
  }
  return ERROR_SUCCESS;
}

}  // namespace fw

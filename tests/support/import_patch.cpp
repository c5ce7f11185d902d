#include "support/import_patch.h"

#include "support/import_table.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace fwtest {

struct ImportPatch::State {
  struct Slot {
    void** address;
    std::atomic<void*> saved;
  };
  std::vector<std::unique_ptr<Slot>> slots;
  void* replacement = nullptr;
};

namespace {

// The live patches of the process, so that a patch ending below another can relink the chain.
std::mutex& LiveMutex() {
  static std::mutex mutex;
  return mutex;
}
std::vector<ImportPatch::State*>& LivePatches() {
  static std::vector<ImportPatch::State*> patches;
  return patches;
}

void WriteSlot(void** slot, void* value) {
  DWORD oldProtection = 0;
  if (!VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &oldProtection)) {
    const DWORD error = GetLastError();
    throw std::runtime_error("VirtualProtect on an import slot failed, error " + std::to_string(error));
  }
  *slot = value;
  DWORD ignored = 0;
  VirtualProtect(slot, sizeof(void*), oldProtection, &ignored);
  FlushInstructionCache(GetCurrentProcess(), slot, sizeof(void*));
}

}  // namespace

ImportPatch::ImportPatch() noexcept = default;

ImportPatch::ImportPatch(HMODULE module, const char* function, void* replacement, const char* dll)
    : state_(std::make_unique<State>()) {
  const std::vector<void**> found = FindImportSlots(module, function, dll);
  if (found.empty()) {
    throw std::runtime_error(std::string("the module does not import ") + function +
                             (dll != nullptr ? std::string(" from ") + dll : std::string()));
  }
  state_->replacement = replacement;
  {
    std::lock_guard<std::mutex> lock(LiveMutex());
    for (void** address : found) {
      auto slot = std::make_unique<State::Slot>();
      slot->address = address;
      slot->saved = *address;
      state_->slots.push_back(std::move(slot));
    }
    LivePatches().push_back(state_.get());
  }
  try {
    for (auto& slot : state_->slots) WriteSlot(slot->address, replacement);
  } catch (...) {
    restore();  // puts back the slots already written
    throw;
  }
}

ImportPatch::ImportPatch(ImportPatch&& other) noexcept = default;

ImportPatch& ImportPatch::operator=(ImportPatch&& other) noexcept {
  if (this != &other) {
    restore();
    state_ = std::move(other.state_);
  }
  return *this;
}

ImportPatch::~ImportPatch() { restore(); }

void* ImportPatch::original() const noexcept {
  return state_ != nullptr ? state_->slots.front()->saved.load() : nullptr;
}

void ImportPatch::restore() noexcept {
  if (state_ == nullptr) return;
  const DWORD savedError = GetLastError();
  {
    std::lock_guard<std::mutex> lock(LiveMutex());
    auto& live = LivePatches();
    live.erase(std::remove(live.begin(), live.end(), state_.get()), live.end());
    for (auto& slot : state_->slots) {
      // A patch stacked on this one saved our replacement: it now leads on to what we saved.
      State::Slot* above = nullptr;
      for (State* other : live) {
        for (auto& otherSlot : other->slots) {
          if (otherSlot->address == slot->address && otherSlot->saved.load() == state_->replacement) {
            above = otherSlot.get();
          }
        }
      }
      if (above != nullptr) {
        above->saved = slot->saved.load();
      } else if (*slot->address == state_->replacement) {
        try {
          WriteSlot(slot->address, slot->saved.load());
        } catch (const std::exception&) {
          // Cannot happen for a slot that was written once; nothing better to do in a destructor.
        }
      }
    }
  }
  state_.reset();
  SetLastError(savedError);
}

}  // namespace fwtest

#include "reference_table.h"

namespace fwtest::vm {
namespace {

#if UINTPTR_MAX > 0xFFFFFFFFu
constexpr std::uintptr_t kTokenBase = 0xF1C0000000000001ull;
constexpr std::uintptr_t kTokenLimit = 0xF1D0000000000000ull;
#else
constexpr std::uintptr_t kTokenBase = 0xC0000001u;
constexpr std::uintptr_t kTokenLimit = 0xE0000000u;
#endif
constexpr std::uintptr_t kTokenStep = 4;

}  // namespace

ReferenceTable::ReferenceTable() { PushFrame(FrameKind::kTest, 16); }

jobject ReferenceTable::Make(ObjectId object, RefKind kind) {
  if (object == 0) return nullptr;
  int frame = kind == RefKind::kLocal ? frames_.back().id : -1;
  entries_.push_back({object, kind, false, frame});
  if (kind == RefKind::kLocal) {
    CountLocal(frame, +1);
  } else {
    ++liveGlobals_;
  }
  std::uintptr_t token = kTokenBase + (entries_.size() - 1) * kTokenStep;
  return reinterpret_cast<jobject>(token);
}

jobject ReferenceTable::NewLocal(ObjectId object) { return Make(object, RefKind::kLocal); }
jobject ReferenceTable::NewGlobal(ObjectId object) { return Make(object, RefKind::kGlobal); }

const ReferenceTable::Entry* ReferenceTable::Find(jobject ref) const {
  std::uintptr_t token = reinterpret_cast<std::uintptr_t>(ref);
  if (token < kTokenBase || token >= kTokenLimit || (token - kTokenBase) % kTokenStep != 0) return nullptr;
  std::uintptr_t index = (token - kTokenBase) / kTokenStep;
  return index < entries_.size() ? &entries_[index] : nullptr;
}

RefStatus ReferenceTable::Resolve(jobject ref, ObjectId* object, RefKind* kind) const {
  if (ref == nullptr) return RefStatus::kNull;
  const Entry* entry = Find(ref);
  if (entry == nullptr) return RefStatus::kInvalid;
  if (entry->deleted) return RefStatus::kDeleted;
  if (entry->kind == RefKind::kLocal && !frameActive_[entry->frame]) return RefStatus::kFrameEnded;
  *object = entry->object;
  if (kind != nullptr) *kind = entry->kind;
  return RefStatus::kLive;
}

RefStatus ReferenceTable::Delete(jobject ref, RefKind kind) {
  ObjectId object = 0;
  RefKind actual = RefKind::kLocal;
  RefStatus status = Resolve(ref, &object, &actual);
  if (status != RefStatus::kLive || actual != kind) return status;
  Entry& entry = const_cast<Entry&>(*Find(ref));
  entry.deleted = true;
  if (kind == RefKind::kLocal) {
    CountLocal(entry.frame, -1);
  } else {
    --liveGlobals_;
  }
  return status;
}

bool ReferenceTable::IsLocalOfTopFrame(jobject ref) const {
  const Entry* entry = Find(ref);
  return entry != nullptr && entry->kind == RefKind::kLocal && entry->frame == frames_.back().id;
}

void ReferenceTable::CountLocal(int frameId, int delta) {
  for (Frame& frame : frames_) {
    if (frame.id != frameId) continue;
    frame.live += delta;
    if (frame.kind != FrameKind::kTest) {
      callLive_ += delta;
      if (callLive_ > callPeak_) callPeak_ = callLive_;
    }
  }
}

void ReferenceTable::PushFrame(FrameKind kind, int capacity) {
  int id = static_cast<int>(frameActive_.size());
  frameActive_.push_back(true);
  frames_.push_back({id, kind, 0, capacity});
}

void ReferenceTable::PopFrame() {
  const Frame& top = frames_.back();
  if (top.kind != FrameKind::kTest) callLive_ -= top.live;
  frameActive_[top.id] = false;
  frames_.pop_back();
}

void ReferenceTable::EnsureCapacity(int capacity) {
  if (capacity > frames_.back().capacity) frames_.back().capacity = capacity;
}

}  // namespace fwtest::vm

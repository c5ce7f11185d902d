// ReferenceTable: local and global references as opaque tokens, and the stack of local frames.
//
//   table.PushFrame(FrameKind::kNativeCall, 16);
//   jobject ref = table.NewLocal(id);                  // belongs to the top frame
//   ObjectId id; RefStatus s = table.Resolve(ref, &id);  // kLive while its frame is on the stack
//   table.PopFrame();                                  // its refs now resolve as kFrameEnded
//
// A token is never a pointer into VM memory: on x86_64 it is a non-canonical address, on i686 an
// address in the kernel half, and it is odd, so native code that dereferences one faults at once
// instead of reading something plausible. Tokens are never reused, so a deleted or ended reference
// is told apart from a live one for the VM's whole life.
#ifndef FWTEST_TESTVM_REFERENCE_TABLE_H
#define FWTEST_TESTVM_REFERENCE_TABLE_H

#include <jni.h>

#include <cstdint>
#include <vector>

#include "value.h"

namespace fwtest::vm {

enum class RefKind : unsigned char { kLocal, kGlobal };
enum class RefStatus { kNull, kLive, kDeleted, kFrameEnded, kInvalid };
enum class FrameKind : unsigned char { kTest, kNativeCall, kPushed };

class ReferenceTable {
 public:
  ReferenceTable();

  jobject NewLocal(ObjectId object);   // null for object 0
  jobject NewGlobal(ObjectId object);
  // kLive fills `object` and `kind`; other statuses leave them untouched.
  RefStatus Resolve(jobject ref, ObjectId* object, RefKind* kind = nullptr) const;
  // Deletes a live reference of the given kind; returns its status before the call.
  RefStatus Delete(jobject ref, RefKind kind);

  void PushFrame(FrameKind kind, int capacity);
  void PopFrame();
  FrameKind TopFrameKind() const { return frames_.back().kind; }
  int FrameCount() const { return static_cast<int>(frames_.size()); }
  void EnsureCapacity(int capacity);
  int TopFrameLiveCount() const { return frames_.back().live; }
  int TopFrameCapacity() const { return frames_.back().capacity; }
  // Live local references in every frame above the test's frame, and the most there ever were
  // since ResetCallPeak.
  int CallLiveCount() const { return callLive_; }
  int CallPeak() const { return callPeak_; }
  void ResetCallPeak() { callPeak_ = callLive_; }
  int LiveGlobals() const { return liveGlobals_; }
  bool IsLocalOfTopFrame(jobject ref) const;

 private:
  struct Entry {
    ObjectId object;
    RefKind kind;
    bool deleted;
    int frame;  // frame id, locals only
  };
  struct Frame {
    int id;
    FrameKind kind;
    int live;
    int capacity;
  };

  jobject Make(ObjectId object, RefKind kind);
  const Entry* Find(jobject ref) const;
  void CountLocal(int frameId, int delta);

  std::vector<Entry> entries_;
  std::vector<Frame> frames_;
  std::vector<bool> frameActive_;  // by frame id
  int callLive_ = 0;
  int callPeak_ = 0;
  int liveGlobals_ = 0;
};

}  // namespace fwtest::vm

#endif

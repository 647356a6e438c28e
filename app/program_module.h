// The one process-wide module object: the program's module handle and the
// registry that tells each thread's code which message loop serves it.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

namespace brx {

class CMessageLoop;

class CProgramModule {
 public:
  // Takes the module handle and makes the empty loop registry. E_OUTOFMEMORY
  // when the registry cannot be allocated.
  HRESULT Init(HINSTANCE instance);
  // Releases the registry.
  void Term();

  // The module all resources are loaded from.
  HINSTANCE instance() const { return instance_; }

  // One loop per thread: false when the thread has one already or the
  // module is not initialised.
  bool RegisterLoop(DWORD thread_id, CMessageLoop* loop);
  bool UnregisterLoop(DWORD thread_id);
  // The thread's loop, or null.
  CMessageLoop* FindLoop(DWORD thread_id) const;

 private:
  // Thread ids and their loops, side by side; looked up by linear search,
  // which is all a program with one or two threads needs.
  struct LoopRegistry {
    std::vector<DWORD> keys;
    std::vector<CMessageLoop*> values;
  };

  HINSTANCE instance_ = nullptr;
  std::unique_ptr<LoopRegistry> loopRegistry_;
};

CProgramModule& ProgramModule();

}  // namespace brx

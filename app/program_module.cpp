#include "app/program_module.h"

#include <algorithm>
#include <new>

namespace brx {

CProgramModule& ProgramModule() {
  static CProgramModule module;
  return module;
}

HRESULT CProgramModule::Init(HINSTANCE instance) {
  instance_ = instance;
  loopRegistry_.reset(new (std::nothrow) LoopRegistry);
  return loopRegistry_ ? S_OK : E_OUTOFMEMORY;
}

void CProgramModule::Term() {
  loopRegistry_.reset();
}

bool CProgramModule::RegisterLoop(DWORD thread_id, CMessageLoop* loop) {
  if (!loopRegistry_ || FindLoop(thread_id)) return false;
  try {
    loopRegistry_->keys.push_back(thread_id);
    loopRegistry_->values.push_back(loop);
  } catch (const std::bad_alloc&) {
    loopRegistry_->keys.resize(loopRegistry_->values.size());
    return false;
  }
  return true;
}

bool CProgramModule::UnregisterLoop(DWORD thread_id) {
  if (!loopRegistry_) return false;
  auto& keys = loopRegistry_->keys;
  const auto found = std::find(keys.begin(), keys.end(), thread_id);
  if (found == keys.end()) return false;
  const auto index = found - keys.begin();
  keys.erase(found);
  loopRegistry_->values.erase(loopRegistry_->values.begin() + index);
  return true;
}

CMessageLoop* CProgramModule::FindLoop(DWORD thread_id) const {
  if (!loopRegistry_) return nullptr;
  const auto& keys = loopRegistry_->keys;
  const auto found = std::find(keys.begin(), keys.end(), thread_id);
  return found == keys.end() ? nullptr : loopRegistry_->values[found - keys.begin()];
}

}  // namespace brx

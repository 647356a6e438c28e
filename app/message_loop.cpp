#include "app/message_loop.h"

#include <algorithm>
#include <new>

namespace brx {
namespace {

// The system timer message that blinks the caret; it has no public name.
constexpr UINT kCaretBlinkTimer = 0x0118;

template <typename T>
bool Append(std::vector<T*>& list, T* object) {
  try {
    list.push_back(object);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// Leaves a null in the object's place: a removal from inside a call that
// walks the list must not move the entries still to be visited.
template <typename T>
void Forget(std::vector<T*>& list, T* object) {
  std::replace(list.begin(), list.end(), object, static_cast<T*>(nullptr));
}

}  // namespace

bool IsIdleTrigger(const MSG& message) {
  switch (message.message) {
    case WM_PAINT:
    case WM_NCMOUSEMOVE:
    case kCaretBlinkTimer:
    case WM_MOUSEMOVE:
      return false;
    default:
      return true;
  }
}

bool CMessageLoop::AddPreTranslator(CPreTranslator* object) {
  return Append(preTranslators_, object);
}

bool CMessageLoop::AddIdleTask(CIdleTask* object) {
  return Append(idleTasks_, object);
}

void CMessageLoop::RemovePreTranslator(CPreTranslator* object) {
  Forget(preTranslators_, object);
}

void CMessageLoop::RemoveIdleTask(CIdleTask* object) {
  Forget(idleTasks_, object);
}

int CMessageLoop::Run() {
  bool idleArmed = true;
  int idleCount = 0;
  for (;;) {
    if (idleArmed && !PeekMessageA(&currentMessage_, nullptr, 0, 0, PM_NOREMOVE)) {
      DoIdle(idleCount++);
      // One pass per dry spell: wait for input before the next.
      idleArmed = false;
      continue;
    }
    const BOOL got = GetMessageA(&currentMessage_, nullptr, 0, 0);
    if (got == -1) {
      OutputDebugStringA("::GetMessage returned -1 (error)\n");
      continue;
    }
    if (!got) {
      OutputDebugStringA("CMessageLoop::Run - exiting\n");
      break;
    }
    if (!PreTranslate(currentMessage_)) {
      TranslateMessage(&currentMessage_);
      DispatchMessageA(&currentMessage_);
    }
    if (IsIdleTrigger(currentMessage_)) {
      idleArmed = true;
      idleCount = 0;
    }
  }
  return static_cast<int>(currentMessage_.wParam);
}

bool CMessageLoop::PreTranslate(MSG& message) {
  for (std::size_t i = preTranslators_.size(); i-- > 0;) {
    if (preTranslators_[i] && preTranslators_[i]->PreTranslate(message)) return true;
  }
  return false;
}

bool CMessageLoop::DoIdle(int) {
  for (std::size_t i = 0; i < idleTasks_.size(); ++i) {
    if (idleTasks_[i]) idleTasks_[i]->DoIdle();
  }
  return false;
}

}  // namespace brx

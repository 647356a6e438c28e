#include "framework/menu_bar_message_hook.h"

#include <algorithm>
#include <vector>

#include "framework/fatal_error.h"

namespace brx::framework {
namespace {

struct ThreadHook {
  HHOOK hook = nullptr;
  std::vector<MessagePreviewer*> previewers;
};

thread_local ThreadHook thread_hook;

LRESULT CALLBACK GetMessageHook(int code, WPARAM wparam, LPARAM lparam) {
  // A peek with PM_NOREMOVE shows the same message again later: act once,
  // when it is taken from the queue.
  if (code == HC_ACTION && wparam == PM_REMOVE) {
    auto& message = *reinterpret_cast<MSG*>(lparam);
    CatchAtBoundary([&] {
      // By index: a previewer may go away while it looks at the message.
      std::vector<MessagePreviewer*>& previewers = thread_hook.previewers;
      for (size_t i = 0; i < previewers.size(); ++i) {
        if (previewers[i]->PreviewMessage(message)) {
          message.message = WM_NULL;
          message.wParam = 0;
          message.lParam = 0;
          break;
        }
      }
    });
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

bool AddMessagePreviewer(MessagePreviewer* previewer) {
  if (!thread_hook.hook) {
    thread_hook.hook =
        SetWindowsHookExA(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
    if (!thread_hook.hook) return false;
  }
  thread_hook.previewers.push_back(previewer);
  return true;
}

void RemoveMessagePreviewer(MessagePreviewer* previewer) {
  std::vector<MessagePreviewer*>& previewers = thread_hook.previewers;
  previewers.erase(std::remove(previewers.begin(), previewers.end(), previewer), previewers.end());
  if (previewers.empty() && thread_hook.hook) {
    UnhookWindowsHookEx(thread_hook.hook);
    thread_hook.hook = nullptr;
  }
}

}  // namespace brx::framework

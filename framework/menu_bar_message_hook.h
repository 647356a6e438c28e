// A per-thread WH_GETMESSAGE hook shared by the menu bars of the thread: each
// bar sees every message the thread takes from its queue before the message
// loop translates it (accelerators, dialog keys) and dispatches it, so keys
// addressed to whichever window has the focus reach the bar first.
#pragma once

#include <windows.h>

namespace brx::framework {

class MessagePreviewer {
 public:
  // True when the message is used up: the loop gets WM_NULL in its place.
  virtual bool PreviewMessage(const MSG& message) = 0;

 protected:
  ~MessagePreviewer() = default;
};

// The hook is installed with the thread's first previewer and removed with its
// last. Adding fails when the hook cannot be installed.
bool AddMessagePreviewer(MessagePreviewer* previewer);
void RemoveMessagePreviewer(MessagePreviewer* previewer);

}  // namespace brx::framework

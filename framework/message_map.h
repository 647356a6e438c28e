// Message maps: a class lists the messages it handles as a table of entries,
// each keyed by a message number, a command id (with or without a
// notification code) or a control id and notification code, and naming a
// member handler. Entries are consulted in order; the first one that matches
// and leaves its handled flag set ends the search. A handler clears the flag
// to pass the message on down the table, and finally to default processing.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <vector>

namespace brx::framework {

template <typename T>
class MessageMap {
 public:
  // Sees the raw message.
  using MessageHandler = LRESULT (T::*)(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
  // WM_COMMAND unpacked: notification code, command or control id, control window.
  using CommandHandler = LRESULT (T::*)(WORD code, WORD id, HWND control, bool& handled);
  // WM_NOTIFY unpacked: control id and the notification's header.
  using NotifyHandler = LRESULT (T::*)(int id, NMHDR* header, bool& handled);
  // Another map to consult in this place (a base class's, a mixin's).
  using ChainHandler = bool (T::*)(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                   LRESULT& result);

  static constexpr int kAny = -1;

  class Entry {
   public:
    static Entry Message(UINT message, MessageHandler handler) {
      Entry e(Kind::kMessage);
      e.message_ = message;
      e.on_message_ = handler;
      return e;
    }
    // A command with this id, whatever its notification code.
    static Entry Command(WORD id, CommandHandler handler) { return Command(id, kAny, handler); }
    static Entry Command(WORD id, int code, CommandHandler handler) {
      Entry e(Kind::kCommand);
      e.message_ = WM_COMMAND;
      e.id_ = id;
      e.code_ = code;
      e.on_command_ = handler;
      return e;
    }
    // Any command: a filter that sees every WM_COMMAND.
    static Entry AnyCommand(CommandHandler handler) {
      Entry e = Command(0, kAny, handler);
      e.any_id_ = true;
      return e;
    }
    // A notification with this code from any control.
    static Entry Notify(int code, NotifyHandler handler) {
      Entry e = Notify(0, code, handler);
      e.any_id_ = true;
      return e;
    }
    static Entry Notify(UINT_PTR id, int code, NotifyHandler handler) {
      Entry e(Kind::kNotify);
      e.message_ = WM_NOTIFY;
      e.id_ = id;
      e.code_ = code;
      e.on_notify_ = handler;
      return e;
    }
    static Entry Chain(ChainHandler handler) {
      Entry e(Kind::kChain);
      e.on_chain_ = handler;
      return e;
    }

    // Runs the entry's handler if it matches; true when the message is handled.
    bool Dispatch(T& object, HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                  LRESULT& result) const {
      if (kind_ == Kind::kChain)
        return (object.*on_chain_)(window, message, wparam, lparam, result);
      if (message != message_) return false;
      bool handled = true;
      switch (kind_) {
        case Kind::kMessage:
          result = (object.*on_message_)(message, wparam, lparam, handled);
          break;
        case Kind::kCommand: {
          const WORD id = LOWORD(wparam);
          const WORD code = HIWORD(wparam);
          if (!any_id_ && id != id_) return false;
          if (code_ != kAny && code != static_cast<WORD>(code_)) return false;
          result = (object.*on_command_)(code, id, reinterpret_cast<HWND>(lparam), handled);
          break;
        }
        case Kind::kNotify: {
          auto* header = reinterpret_cast<NMHDR*>(lparam);
          if (!any_id_ && header->idFrom != id_) return false;
          if (header->code != static_cast<UINT>(code_)) return false;
          result = (object.*on_notify_)(static_cast<int>(wparam), header, handled);
          break;
        }
        case Kind::kChain:
          break;
      }
      return handled;
    }

   private:
    enum class Kind { kMessage, kCommand, kNotify, kChain };
    explicit Entry(Kind kind) : kind_(kind) {}

    Kind kind_;
    UINT message_ = 0;
    UINT_PTR id_ = 0;
    int code_ = kAny;
    bool any_id_ = false;
    MessageHandler on_message_ = nullptr;
    CommandHandler on_command_ = nullptr;
    NotifyHandler on_notify_ = nullptr;
    ChainHandler on_chain_ = nullptr;
  };

  MessageMap(std::initializer_list<Entry> entries) : entries_(entries) {}

  // Consults the entries in order; false when none handled the message.
  bool Dispatch(T& object, HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                LRESULT& result) const {
    for (const Entry& entry : entries_) {
      if (entry.Dispatch(object, window, message, wparam, lparam, result)) return true;
    }
    return false;
  }

 private:
  std::vector<Entry> entries_;
};

}  // namespace brx::framework

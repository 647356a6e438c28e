// The program's message loop: registered pre-translators see every message
// before it is dispatched, and registered idle tasks get one call whenever
// the queue runs dry after a message that counts as input.
#pragma once

#include <windows.h>

#include <vector>

namespace brx {

// Sees every message before dispatch; true consumes it (neither translated
// nor dispatched).
class CPreTranslator {
 public:
  virtual bool PreTranslate(MSG& message) = 0;

 protected:
  ~CPreTranslator() = default;
};

// Called once when the queue runs dry after input. The result is ignored.
class CIdleTask {
 public:
  virtual bool DoIdle() = 0;

 protected:
  ~CIdleTask() = default;
};

// False for painting, mouse movement and the caret-blink timer: they never
// cause another idle pass. True for everything else.
bool IsIdleTrigger(const MSG& message);

class CMessageLoop {
 public:
  // Appends; false only when the list cannot grow.
  bool AddPreTranslator(CPreTranslator* object);
  bool AddIdleTask(CIdleTask* object);
  // Forgets an object that is about to go, so the loop never calls into it.
  void RemovePreTranslator(CPreTranslator* object);
  void RemoveIdleTask(CIdleTask* object);

  // Runs until the quit message and returns its exit code. Starts with one
  // idle pass before the first message.
  int Run();

  // Asks the pre-translators, newest first; true at the first that consumes.
  bool PreTranslate(MSG& message);
  // Calls every idle task once, oldest first. Always false.
  bool DoIdle(int idleCount);

 private:
  std::vector<CPreTranslator*> preTranslators_;
  std::vector<CIdleTask*> idleTasks_;
  MSG currentMessage_{};
};

}  // namespace brx

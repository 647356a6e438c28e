#include "view/beep.h"

#include <windows.h>

namespace brx {
namespace {

void PlatformBeep() {
  MessageBeep(0xFFFFFFFF);
}

BeepSound current_sound = PlatformBeep;

}  // namespace

void SimpleBeep() {
  current_sound();
}

BeepSound SetBeepSound(BeepSound sound) {
  BeepSound old = current_sound;
  current_sound = sound ? sound : PlatformBeep;
  return old;
}

}  // namespace brx

// The simple beep: the only signal the editor gives for input it refuses.
#pragma once

namespace brx {

using BeepSound = void (*)();

// Plays the simple beep, MessageBeep(0xFFFFFFFF), unless replaced.
void SimpleBeep();

// Replaces what SimpleBeep plays (tests count the beeps); returns the old sound.
BeepSound SetBeepSound(BeepSound sound);

}  // namespace brx

// Keys pressed and released as a user presses them, for tests that run on every system: through
// the headless display driver's injection on Linux, through SendInput on Windows. The key state
// changes at once; the messages go to the window with the keyboard focus.
#pragma once

namespace synth {

void KeyDown(int virtualKey);
void KeyUp(int virtualKey);

}  // namespace synth

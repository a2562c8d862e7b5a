#pragma once

// Enter or Return on a focused push button presses it, in every window, as
// users of the program's platform expect (Qt leaves Enter to a button only
// inside dialogs). Boxes where Enter moves on, and a dialog's default button
// pressed from a box, keep their own handling. Every program with windows
// calls it once at start.
void InstallButtonKeys();

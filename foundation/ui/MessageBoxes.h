#pragma once

// Lets MsgBox show its messages and questions as message boxes with the
// program's button captions. Every program with windows calls it once at start.
void InstallMessageBoxes();

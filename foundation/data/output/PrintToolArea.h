#pragma once

#include <QRect>

// The part of the screen the print tool's window opens in: the frame's work
// area below its toolbar, in screen pixels, so that the toolbar stays in
// view. The frame sets it as it moves and changes size; the tool that
// RunPrint starts, a process of its own, finds it in the environment it
// inherits (variable "QVPRINT_AREA", "x,y,width,height"). An empty rectangle
// when none was set or the text is not four whole numbers.
void SetPrintToolArea(const QRect& area);
QRect PrintToolArea();

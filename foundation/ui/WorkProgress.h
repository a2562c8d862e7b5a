#pragma once

class QProgressDialog;

// The progress window of long work that reports how far it has come (an
// export): it opens once the work has run longer than the delay (two seconds
// unless set), shows the rows done so far, and closes when the work is done.
// It receives every export's progress from the moment a window's handler
// first ran (BusyCursor installs it).
class WorkProgress
{
  public:
    static void Install();
    static void SetDelay(int milliseconds);
    // The open progress window, or none.
    static QProgressDialog* Current();
};

#pragma once

// Makes every window of the program known to the main frame by name.
void RegisterWindows();

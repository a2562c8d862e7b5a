#pragma once

// Loads Qt's own Chinese texts (the buttons and captions of standard dialogs:
// OK/Cancel of the input box, the print dialog), from Qt's translations
// folder. Without them installed the dialogs keep their English texts and the
// program runs as before. Every program with windows calls it once at start,
// after the application object exists.
bool InstallQtTranslations();

// Read first by every source of a data library (the <subsystem>_data targets):
// the compiler is given it with -include.
//
// Data classes and the logic below the windows never show anything: what a
// user is told goes through the message facade (MsgBox), which the window
// layer presents. A data library links no Qt Widgets (cmake/LayerCheck.cmake);
// its sources cannot include a Widgets header either (cmake/data-layer puts a
// stop in front of the module's first header), and the message and file
// dialogs are poisoned here, so that naming one does not compile, whatever a
// source declares itself.
#pragma once

#define WMS_DATA_LAYER 1

#pragma GCC poison QMessageBox QInputDialog QFileDialog QErrorMessage

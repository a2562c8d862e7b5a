#pragma once

#include <QIcon>
#include <QString>

// The pictures of the main frame's toolbar, by image key ("customer", "house",
// "report", "web", "calendar", "basic", "docset", "sysset", "funLimited",
// "help", "back"). Drawn here, so the program carries no image files.
QIcon ToolbarIcon(const QString& key);

#pragma once

// The print tool in its parts: the job it is started for (PrintData.h), the
// pages laid out and painted from it (PrintPages.h) and the preview window
// that shows, prints and saves them (PrintPreview.h).

#include "PrintData.h"
#include "PrintPages.h"
#include "PrintPreview.h"

#pragma once

// Where the sky window still looks for the disk panel; it includes app/mars_disk_panel.h itself
// once it moves, and this file goes with that.

#include "app/mars_disk_panel.h"

#pragma once

// The small window layer the program is written against, in rooms of one concern each. Two
// implementations exist, chosen at link time: platform/qt (the real one, on Qt 6) and
// platform/fake (a recorder for unit tests). Contract tests run the same scenarios against both.

#include "platform/gl.h"
#include "platform/process.h"
#include "platform/shell.h"
#include "platform/surface.h"
#include "platform/window.h"

#pragma once

// Process-wide values that start-up sets and the panes read.

#include "platform/window.h"

// The running program, for registering the panes' classes and loading their pictures.
extern InstanceHandle appInstance;

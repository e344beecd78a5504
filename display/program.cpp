#include "display/program.h"

InstanceHandle appInstance;

#include "tests/contract/harness.h"

void prepareScenario() {}

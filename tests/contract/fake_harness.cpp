#include "platform/fake/fake.h"
#include "tests/contract/harness.h"

void prepareScenario() {
    fake::reset();
    fake::letTimeRun(60000);
}

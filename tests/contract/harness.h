#pragma once

// What differs between running the contract scenarios on the fake and on the Qt layer: the fake
// starts each scenario afresh and lets its virtual clock run; Qt's clock runs anyway.
void prepareScenario();

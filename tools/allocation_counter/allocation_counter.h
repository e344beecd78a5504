#pragma once

// Counts every allocation through operator new in a program that links the allocation_counter
// object library, so tests and benchmarks can show that a piece of code allocates nothing.
long allocationCount();

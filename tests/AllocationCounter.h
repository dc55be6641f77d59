// Counts the test program's allocations while armed, to show that a frame
// path allocates nothing. The counting operator new is replaced once for
// the whole test program (AllocationCounter.cpp).
#pragma once

// Zeroes the count and starts counting.
void StartCountingAllocations();

// Stops counting; the allocations made since the start.
long StopCountingAllocations();

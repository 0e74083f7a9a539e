// Counts heap allocations, and fails one on request: linking allocation_count.cpp
// into a test executable replaces that executable's global operator new with a
// counting one.
#pragma once

// Allocations through operator new (every form but the over-aligned ones) since
// the program started.
long allocationCount();

// The `nth` allocation from now fails as when memory runs out (operator new throws
// std::bad_alloc, the nothrow form answers null); 0 fails none.
void failAllocation(long nth);

// Counts heap allocations: linking allocation_count.cpp into a test executable
// replaces that executable's global operator new with a counting one.
#pragma once

// Allocations through operator new (every form but the over-aligned ones) since
// the program started.
long allocationCount();

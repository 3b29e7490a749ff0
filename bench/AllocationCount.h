// Counts the program's heap allocations, for benchmarks of paths that must
// allocate nothing. Linked into every benchmark program.
#pragma once

// Allocations made through operator new since the program started.
long AllocationCount();

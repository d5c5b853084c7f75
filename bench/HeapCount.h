// SPDX-License-Identifier: MIT
#ifndef HEAPCOUNT_H
#define HEAPCOUNT_H

// Heap allocations made so far on the calling thread, counted by the
// benches' own operator new (HeapCount.cpp); the GL driver's worker threads
// are not the game. A tick or frame that allocates would now and then stall
// on a busy machine, so the benches report allocations per call.
long heapAllocations();

#endif

#pragma once

// Every allocation of a test program that links HeapCount.cpp is counted here, so a code path
// can be shown not to allocate (the audio thread's).
long heapAllocations();

#pragma once

namespace sheetsmith {

// How the program's memory goes back to the system, on glibc (elsewhere both do nothing).
//
// Keeps blocks of 1 MB and more (the whole texts of a large sheet, its undo records, the
// colour layer) in pages of their own, returned as soon as they are freed. glibc would
// otherwise raise that limit each time such a block is freed, and serve the next ones from
// the heap, where the holes they leave between smaller blocks stay resident. Called once
// at start, before the window.
void setUpMemoryUse();

// Hands the pages freed since back to the system: called when a sheet and its undo
// history have been dropped for another one.
void releaseFreedMemory();

} // namespace sheetsmith

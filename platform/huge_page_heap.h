#pragma once
// Backs the C heap with transparent huge pages.
//
// Large texts allocate millions of small records (paragraph extras, display
// lines, highlighting change points). On virtual machines most of the cost of
// touching that memory the first time is one page fault per 4 KB; with the heap
// in 2 MB pages, loading a 1 GB log file and laying it out take a quarter to a
// third less time and memory use stays the same. glibc reads its malloc
// tunables only when a process starts, so the program restarts itself once
// with the tunable added to GLIBC_TUNABLES.

namespace tarvex {

// Call first thing in main, before any thread or window exists. Returns only
// when no restart happens: the tunable is already set (by an earlier restart
// or by the user, whose setting is kept), TARVEX_NO_HUGE_PAGES is set, the
// kernel gives no huge pages, or the restart fails.
void UseHugePageHeap(char** Argv);

}  // namespace tarvex

// What tests use to clean up after themselves and to see leaks.
#ifndef SETUP_SCRATCH_H
#define SETUP_SCRATCH_H

#include <string>

// Deletes a folder with everything below it; a missing folder is fine.
void RemoveTree(const std::string& directory);

// Blocks in use on the process heap, where the program's own allocations live.
int HeapBlocksInUse();

#endif

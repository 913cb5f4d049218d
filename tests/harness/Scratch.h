// What tests use to clean up after themselves.
#ifndef SETUP_SCRATCH_H
#define SETUP_SCRATCH_H

#include <string>

// Deletes a folder with everything below it; a missing folder is fine.
void RemoveTree(const std::string& directory);

#endif

// Letter case by the ANSI code page, byte by byte, and field splitting.
#ifndef SUPPORT_CASEFOLD_H
#define SUPPORT_CASEFOLD_H

// Upper-case tables of the code pages 1250 to 1257, then the default table.
extern const unsigned char kUpperCaseTables[9][256];

// The upper-case byte of b under the system's current ANSI code page.
unsigned char UpperCP(unsigned char b);
// Compares count bytes of a and b through UpperCP: -1, 0 or 1. Zero bytes are
// compared like any other.
int CompareNoCaseCP(const char* a, const char* b, int count);
// Takes the text up to the next separator (or the end) into buffer, cut to
// size - 1 bytes, and moves *cursor past it and past one separator.
void NextField(const char** cursor, char* buffer, int size, char separator);

#endif

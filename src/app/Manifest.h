// What the setup installs, built in: the two file lists (names one after another,
// each ended by a zero, the list ended by an empty name) and the file types offered.
#ifndef APP_MANIFEST_H
#define APP_MANIFEST_H

extern const char kSystemLibraries[];
extern const char kProductFiles[];
extern const char kDefaultTextTypes[];

// The walk every user of a list makes: the name after `name`, or null at the end.
// Start with FirstFile(list).
const char* FirstFile(const char* list);
const char* NextFile(const char* name);
int CountFiles(const char* list);

#endif

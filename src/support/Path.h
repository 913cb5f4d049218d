// Joining paths in MAX_PATH buffers: a piece is added only as far as the whole
// stays within 259 characters and its terminating zero; the rest is cut.
#ifndef SUPPORT_PATH_H
#define SUPPORT_PATH_H

// Copies text into buffer (260 bytes), cut to 259 characters. Returns the length.
int CopyPath(char* buffer, const char* text);
// Appends text to the path in buffer, as far as it fits. Returns the new length.
int AppendPath(char* buffer, const char* text);
// buffer = directory + "\" + name, by the two rules above.
int JoinPath(char* buffer, const char* directory, const char* name);
// True when directory + "\" + name would need more than 259 characters.
bool PathWouldBeCut(const char* directory, const char* name);

#endif

// The shortcut table, split in place and walked entry by entry. The built-in
// tables follow the format; a table that does not (an entry without its "="
// or ",", no newline after the last entry) is walked by the same rule, three
// strings per entry, and never beyond its end.
#include "register/ShortcutTable.h"

namespace {

// The end of the zero-terminated string at text, at end at the latest.
const char* StringEnd(const char* text, const char* end) {
    while (text < end && *text) ++text;
    return text;
}

}  // namespace

void SplitShortcutTable(char* text, int length) {
    for (int i = 0; i < length; ++i)
        if (text[i] == '=' || text[i] == ',' || text[i] == '\n') text[i] = 0;
}

// A string that ends at end is the last of the table: the field after it would
// start past the text, so an entry is only taken when its description starts
// within it. The description may end at end (no newline after the last entry).
bool NextShortcut(const char** cursor, const char* end, ShortcutEntry* entry) {
    const char* linkName = *cursor;
    if (linkName >= end || !*linkName) return false;
    const char* linkEnd = StringEnd(linkName, end);
    if (linkEnd == end) return false;
    const char* target = linkEnd + 1;
    const char* targetEnd = StringEnd(target, end);
    if (targetEnd == end) return false;
    const char* description = targetEnd + 1;
    const char* descriptionEnd = StringEnd(description, end);
    entry->linkName = linkName;
    entry->target = target;
    entry->description = description;
    *cursor = descriptionEnd < end ? descriptionEnd + 1 : end;
    return true;
}

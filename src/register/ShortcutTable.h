// The shortcut table (string IDS_SHORTCUTS) as plain byte work: one entry per
// line, "link file name=target,description". The table is split in place,
// every "=", "," and newline becoming a zero, so that each entry is three
// zero-terminated strings one after another; the entries are then taken in
// turn. No platform call is made here, so this file also builds natively.
// Nothing is read beyond the length the caller gives.
#ifndef REGISTER_SHORTCUTTABLE_H
#define REGISTER_SHORTCUTTABLE_H

struct ShortcutEntry {
    const char* linkName;     // the link file's name, ".lnk" included
    const char* target;       // a file of the destination, or the uninstaller's name
    const char* description;
};

// Replaces every "=", "," and newline among the length bytes of text by a zero.
void SplitShortcutTable(char* text, int length);

// The entry at *cursor of a split table whose length bytes end at end, where
// a zero byte must follow them. False at the end of the table: at end, at an
// empty link file name, or at an entry whose fields would run past end (a
// table cut short). On true, *cursor is on the next entry, or at end.
bool NextShortcut(const char** cursor, const char* end, ShortcutEntry* entry);

#endif

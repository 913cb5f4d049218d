// The shortcut table as bytes: the split in place and the walk over its
// entries, for the built-in format and for tables that break it. Each table
// is laid out so that its terminating zero is the last byte of a readable page
// and the next page is not readable: a walk that reads past the text faults.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "register/ShortcutTable.h"

namespace {

// A copy of a text whose terminating zero ends a page, before a guard page.
class GuardedText {
public:
    explicit GuardedText(const std::string& text) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page_ = info.dwPageSize;
        base_ = static_cast<char*>(VirtualAlloc(nullptr, 2 * page_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &old);
        text_ = base_ + page_ - (text.size() + 1);
        text.copy(text_, text.size());
        text_[text.size()] = 0;
        length_ = static_cast<int>(text.size());
    }
    GuardedText(const GuardedText&) = delete;
    GuardedText& operator=(const GuardedText&) = delete;
    ~GuardedText() { VirtualFree(base_, 0, MEM_RELEASE); }

    char* text() const { return text_; }
    int length() const { return length_; }

private:
    DWORD page_;
    char* base_;
    char* text_;
    int length_;
};

// The entries of a table, each as "link|target|description".
std::vector<std::string> Walk(const std::string& table) {
    GuardedText guarded(table);
    SplitShortcutTable(guarded.text(), guarded.length());
    const char* end = guarded.text() + guarded.length();
    std::vector<std::string> entries;
    const char* cursor = guarded.text();
    ShortcutEntry entry;
    while (NextShortcut(&cursor, end, &entry)) {
        EXPECT_TRUE(cursor >= guarded.text() && cursor <= end);
        entries.push_back(std::string(entry.linkName) + "|" + entry.target + "|" + entry.description);
        if (entries.size() > 16) break;
    }
    EXPECT_TRUE(cursor >= guarded.text() && cursor <= end);
    return entries;
}

const char kEnglish[] =
    "Scrivon V4.1.lnk=Scrivon.exe,Scrivon V4.1\nScrivon's help.lnk=HelpUs.hlp,Scrivon's help\n"
    "Information.lnk=ReadmeUs.doc,Information\nOrder form.lnk=OrderUs.doc,Order form\n"
    "Uninstall.lnk=Unscri.exe,Uninstall\n";

TEST(ShortcutTableTest, TakesTheEntriesOfATable) {
    struct Case {
        const char* what;
        std::string table;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"the English table", kEnglish,
         {"Scrivon V4.1.lnk|Scrivon.exe|Scrivon V4.1", "Scrivon's help.lnk|HelpUs.hlp|Scrivon's help",
          "Information.lnk|ReadmeUs.doc|Information", "Order form.lnk|OrderUs.doc|Order form",
          "Uninstall.lnk|Unscri.exe|Uninstall"}},
        {"blanks next to separators stay", " Informazioni.lnk=ReadmeIt.doc,Informazioni\nD.lnk=Unscri.exe, D\n",
         {" Informazioni.lnk|ReadmeIt.doc|Informazioni", "D.lnk|Unscri.exe| D"}},
        {"an empty table", "", {}},
        {"an empty first link name ends the table", "=Scrivon.exe,Scrivon\nA.lnk=A.doc,A\n", {}},
        {"an empty line ends the table", "A.lnk=A.doc,A\n\nB.lnk=B.doc,B\n", {"A.lnk|A.doc|A"}},
        {"an empty description", "A.lnk=A.doc,\n", {"A.lnk|A.doc|"}},
        {"no newline after the last entry", "A.lnk=A.doc,A\nB.lnk=B.doc,B", {"A.lnk|A.doc|A", "B.lnk|B.doc|B"}},
        {"the last entry without its description", "A.lnk=A.doc,A\nB.lnk=B.doc", {"A.lnk|A.doc|A"}},
        {"the last entry without its target", "A.lnk=A.doc,A\nB.lnk", {"A.lnk|A.doc|A"}},
        {"a comma in place of the equals sign", "A.lnk,A.doc,A\n", {"A.lnk|A.doc|A"}},
        // Three strings make an entry, wherever the separators are.
        {"an entry without its comma", "A.lnk=A.doc\nB.lnk=B.doc,B\n", {"A.lnk|A.doc|B.lnk", "B.doc|B|"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.entries, Walk(c.table));
    }
}

// The built-in table cut at every length: only whole entries are taken (the
// newline of the last one may be missing), and nothing past the cut is read.
TEST(ShortcutTableTest, ATableCutAnywhereIsWalkedWithinItsText) {
    const std::string table = kEnglish;
    const std::vector<std::string> all = Walk(table);
    ASSERT_EQ(5u, all.size());
    for (size_t cut = 0; cut <= table.size(); ++cut) {
        SCOPED_TRACE(testing::Message() << "cut at " << cut);
        const std::string text = table.substr(0, cut);
        std::vector<std::string> entries = Walk(text);
        size_t whole = 0;
        for (size_t i = 0; i < text.size(); ++i) whole += text[i] == '\n';
        // After the last newline: an entry whose description has begun is
        // taken, cut as it is; one cut before its comma is not.
        const size_t lastLine = text.find_last_of('\n') == std::string::npos ? 0 : text.find_last_of('\n') + 1;
        const size_t started = text.find(',', lastLine) != std::string::npos ? 1 : 0;
        ASSERT_EQ(whole + started, entries.size());
        for (size_t i = 0; i < whole; ++i) EXPECT_EQ(all[i], entries[i]);
    }
}

}  // namespace

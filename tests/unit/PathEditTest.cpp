// The search-path text edits, one table per edit. Every input is copied into
// a buffer of exactly its own size, so a read past the count shows under the
// native build's address sanitizer (tests/harness/run-native.sh builds this
// file with the host compiler too). Letter case is folded here for ASCII
// only; the phase's code-page folding is tested with the phase.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "register/PathEdit.h"

namespace {

int AsciiNoCase(const char* a, const char* b, int count) {
    for (int i = 0; i < count; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x -= 0x20;
        if (y >= 'a' && y <= 'z') y -= 0x20;
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

int Exact(const char* a, const char* b, int count) {
    for (int i = 0; i < count; ++i)
        if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]) ? -1 : 1;
    return 0;
}

// A heap copy of exactly text.size() bytes, no terminator.
std::unique_ptr<char[]> Tight(const std::string& text) {
    std::unique_ptr<char[]> copy(new char[text.size() ? text.size() : 1]);
    for (size_t i = 0; i < text.size(); ++i) copy[i] = text[i];
    return copy;
}

const std::string kDir = "C:\\Program Files\\Scrivon";
const std::string kQ = "\"" + kDir + "\"";

// The batch file after the edit, with the phase's first line for a file that
// had no PATH line; "" stands for "left as it was".
std::string EditBatch(const std::string& text, CompareBytes compare = AsciiNoCase) {
    auto bytes = Tight(text);
    auto entry = Tight(kQ);
    int length = static_cast<int>(text.size());
    int entryLength = static_cast<int>(kQ.size());
    BatchEdit edit = PlanBatchEdit(bytes.get(), length, entry.get(), entryLength, compare);
    switch (edit.kind) {
    case kBatchHasEntry:
        return "";
    case kBatchPrepend:
        return std::string(kSetPathPrefix) + kQ + kLineEnd + text;
    case kBatchInsert: {
        std::string out(length + 1 + entryLength, '\x55');
        EXPECT_EQ(BuildBatchInsert(bytes.get(), length, edit.at, entry.get(), entryLength, &out[0]),
                  length + 1 + entryLength);
        return out;
    }
    }
    return "bad kind";
}

}  // namespace

TEST(PathEdit, BatchFileTable) {
    struct Case {
        const char* name;
        std::string before, after;   // after "" : unchanged
    };
    const Case cases[] = {
        {"SET PATH line among others", "@ECHO OFF\r\nSET PATH=C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\nWIN\r\n",
         "@ECHO OFF\r\nSET PATH=C:\\WINDOWS;C:\\WINDOWS\\COMMAND;" + kQ + "\r\nWIN\r\n"},
        {"trailing semicolon stays last", "PATH=C:\\DOS;\r\n", "PATH=C:\\DOS;" + kQ + ";\r\n"},
        {"last line without CR LF", "ECHO\r\npath=C:\\DOS", "ECHO\r\npath=C:\\DOS;" + kQ},
        {"last line with CR LF", "ECHO\r\nPATH=C:\\DOS\r\n", "ECHO\r\nPATH=C:\\DOS;" + kQ + "\r\n"},
        {"quoted entry in another case", "PATH=C:\\DOS;\"c:\\PROGRAM files\\scrivon\"\r\n", ""},
        {"quoted entry ends the text", "PATH=C:\\DOS;" + kQ, ""},
        {"unquoted directory does not count", "PATH=" + kDir + "\r\n", "PATH=" + kDir + ";" + kQ + "\r\n"},
        {"entry on another line does not count", "PATH=C:\\DOS\r\nREM " + kQ + "\r\n",
         "PATH=C:\\DOS;" + kQ + "\r\nREM " + kQ + "\r\n"},
        {"entry cut by the end of the text", "PATH=C:\\DOS;" + kQ.substr(0, 10),
         "PATH=C:\\DOS;" + kQ.substr(0, 10) + ";" + kQ},
        {"first occurrence wins: CLASSPATH=", "SET CLASSPATH=C:\\J\r\nPATH=C:\\DOS\r\n",
         "SET CLASSPATH=C:\\J;" + kQ + "\r\nPATH=C:\\DOS\r\n"},
        {"first occurrence wins: REM line", "REM PATH=old\r\nPATH=C:\\DOS\r\n",
         "REM PATH=old;" + kQ + "\r\nPATH=C:\\DOS\r\n"},
        {"set path= in lower case", "set path=c:\\dos\r\n", "set path=c:\\dos;" + kQ + "\r\n"},
        {"empty PATH line", "PATH=\r\n", "PATH=;" + kQ + "\r\n"},
        {"Unix line ends: the PATH line still", "PATH=C:\\DOS\nWIN\n", "PATH=C:\\DOS;" + kQ + "\nWIN\n"},
        {"Unix line ends, semicolon", "PATH=C:\\DOS;\nWIN\n", "PATH=C:\\DOS;" + kQ + ";\nWIN\n"},
        {"lone CR is no line end", "PATH=A\rB\r\n", "PATH=A\rB;" + kQ + "\r\n"},
        {"PATH then a blank is not found", "PATH =C:\\DOS\r\n",
         "set PATH=" + kQ + "\r\nPATH =C:\\DOS\r\n"},
        {"no PATH line", "@ECHO OFF\r\n", "set PATH=" + kQ + "\r\n@ECHO OFF\r\n"},
        {"empty file", "", "set PATH=" + kQ + "\r\n"},
        {"shorter than PATH=", "PATH", "set PATH=" + kQ + "\r\nPATH"},
        {"exactly PATH=", "PATH=", "PATH=;" + kQ},
    };
    for (const Case& c : cases) {
        std::string after = EditBatch(c.before);
        EXPECT_EQ(after, c.after) << c.name;
        // A second run finds its own entry and leaves the file alone.
        if (!after.empty()) {
            EXPECT_EQ(EditBatch(after), "") << c.name << ", second run";
        }
    }
}

TEST(PathEdit, BatchFileComparesThroughTheGivenFunction) {
    EXPECT_EQ(EditBatch("path=C:\\DOS\r\n", Exact), "set PATH=" + kQ + "\r\npath=C:\\DOS\r\n");
    EXPECT_EQ(EditBatch("PATH=C:\\DOS;\"c:\\program files\\scrivon\"\r\n", Exact),
              "PATH=C:\\DOS;\"c:\\program files\\scrivon\";" + kQ + "\r\n");
}

TEST(PathEdit, FindPathPositionIsTheFirstOffset) {
    using namespace std::string_literals;
    struct Case { std::string text; int at; };
    const Case cases[] = {{"PATH=", 0}, {"SET PATH=a", 4}, {"xpath=ypath=", 1}, {"PATH", -1}, {"", -1},
                          {"PAT\0H=PATH="s, 6}};
    for (const Case& c : cases) {
        auto bytes = Tight(c.text);
        EXPECT_EQ(FindPathPosition(bytes.get(), static_cast<int>(c.text.size()), AsciiNoCase), c.at) << c.text;
    }
}

TEST(PathEdit, PathValueTable) {
    const std::string dir = "C:\\Scrivon";
    struct Case {
        const char* name;
        std::string before, after;   // after "" : holds the directory, nothing written
    };
    const Case cases[] = {
        {"plain list", "A;B", "A;B;C:\\Scrivon"},
        {"one trailing semicolon dropped", "A;B;", "A;B;C:\\Scrivon"},
        {"only one of two dropped", "A;;", "A;;C:\\Scrivon"},
        {"empty value", "", ";C:\\Scrivon"},
        {"a semicolon alone", ";", ";C:\\Scrivon"},
        {"shorter than the directory", "C:\\Scri", "C:\\Scri;C:\\Scrivon"},
        {"the directory alone", "C:\\Scrivon", ""},
        {"in another case", "A;c:\\SCRIVON;B", ""},
        {"beginning of a longer entry", "A;C:\\Scrivon\\bin", ""},
        {"followed by letters", "C:\\ScrivonOld", ""},
        {"inside another entry", "A;D:\\old\\C:\\Scrivon", ""},
        {"expandable text is kept as it is", "%SystemRoot%;%SystemRoot%\\system32",
         "%SystemRoot%;%SystemRoot%\\system32;C:\\Scrivon"},
    };
    for (const Case& c : cases) {
        auto value = Tight(c.before);
        auto directory = Tight(dir);
        int length = static_cast<int>(c.before.size());
        int dirLength = static_cast<int>(dir.size());
        bool holds = PathValueHolds(value.get(), length, directory.get(), dirLength, AsciiNoCase);
        EXPECT_EQ(holds, c.after.empty()) << c.name;
        if (holds) continue;
        std::string out(length + 1 + dirLength, '\x55');
        int n = BuildPathValue(value.get(), length, directory.get(), dirLength, &out[0]);
        out.resize(n);
        EXPECT_EQ(out, c.after) << c.name;
    }
}

TEST(PathEdit, PathValueComparesThroughTheGivenFunction) {
    std::string value = "A;c:\\scrivon";
    EXPECT_FALSE(PathValueHolds(value.data(), static_cast<int>(value.size()), "C:\\Scrivon", 10, Exact));
    EXPECT_TRUE(PathValueHolds(value.data(), static_cast<int>(value.size()), "C:\\Scrivon", 10, AsciiNoCase));
}

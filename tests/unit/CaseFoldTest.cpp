// Code-page case folding and field splitting. The expected tables are built
// here from the list of mapped bytes, written out again as text, and every one
// of the 9 x 256 entries is compared. Runs under English (code page 1252) and
// Russian (1251), so the system's own code page is taken both ways.
// wine-langs: en ru
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "Seam.h"
#include "support/CaseFold.h"

namespace {

// Besides a to z, per table: "from>to" pairs and "first-last" ranges that drop
// by 0x20. Then the number of further bytes each table changes.
const char* const kMapped[9] = {
    "9A>8A 9C>8C 9D>8D 9E>8E 9F>8F B3>A3 BA>AA BF>AF E0-F6 F8-FE",        // 1250
    "90>80 9A>8A 9C>8C 9D>8D 9E>8E 9F>8F B8>A8 BA>AA BF>AF E0-FF",        // 1251
    "9A>8A 9C>8C E0-F6 F8-FF",                                            // 1252
    "E0-F1 F3-FE",                                                        // 1253
    "9A>8A 9C>8C E0-F6 F8-FE",                                            // 1254
    "",                                                                   // 1255
    "9C>8C",                                                              // 1256
    "BF>AF E0-F6 F8-FE",                                                  // 1257
    "",                                                                   // any other
};
const int kFurther[9] = {38, 41, 33, 30, 32, 0, 1, 31, 0};

std::vector<unsigned char> Expected(int table) {
    std::vector<unsigned char> t(256);
    for (int b = 0; b < 256; ++b) t[b] = static_cast<unsigned char>(b);
    for (int b = 'a'; b <= 'z'; ++b) t[b] = static_cast<unsigned char>(b - 0x20);
    std::istringstream items(kMapped[table]);
    std::string item;
    while (items >> item) {
        int from = std::stoi(item.substr(0, 2), nullptr, 16);
        int to = std::stoi(item.substr(3, 2), nullptr, 16);
        if (item[2] == '>') {
            t[from] = static_cast<unsigned char>(to);
        } else {
            for (int b = from; b <= to; ++b) t[b] = static_cast<unsigned char>(b - 0x20);
        }
    }
    return t;
}

int TableOf(UINT codePage) { return codePage >= 1250 && codePage <= 1257 ? static_cast<int>(codePage - 1250) : 8; }

std::string Hex(int b) {
    char text[8];
    snprintf(text, sizeof text, "0x%02X", b);
    return text;
}

TEST(CaseFoldTest, TablesHoldExactlyTheListedPairs) {
    for (int table = 0; table < 9; ++table) {
        SCOPED_TRACE(testing::Message() << "table " << table);
        std::vector<unsigned char> expected = Expected(table);
        int further = 0;
        for (int b = 0; b < 256; ++b) {
            EXPECT_EQ(Hex(expected[b]), Hex(kUpperCaseTables[table][b])) << "byte " << Hex(b);
            if (expected[b] != b && !(b >= 'a' && b <= 'z')) ++further;
        }
        EXPECT_EQ(kFurther[table], further);
    }
}

// Each call asks for the code page again: the pages are switched between calls.
TEST(CaseFoldTest, UpperCPTakesTheTableOfTheCurrentCodePage) {
    const UINT codePages[] = {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 437, 850, 932, 1249, 1258, 65001};
    for (UINT codePage : codePages) {
        SCOPED_TRACE(testing::Message() << "code page " << codePage);
        seam::SetACP(codePage);
        std::vector<unsigned char> expected = Expected(TableOf(codePage));
        for (int b = 0; b < 256; ++b)
            ASSERT_EQ(Hex(expected[b]), Hex(UpperCP(static_cast<unsigned char>(b)))) << "byte " << Hex(b);
    }
}

TEST(CaseFoldTest, UpperCPSpotChecks) {
    struct Case {
        UINT codePage;
        unsigned char in, out;
    };
    const Case cases[] = {
        {1252, 0xE9, 0xC9}, {1252, 0xF7, 0xF7}, {1252, 0xFF, 0xDF}, {1252, 0x9E, 0x9E},
        {1251, 0xFF, 0xDF}, {1251, 0x90, 0x80}, {1253, 0xF7, 0xD7}, {1253, 0xF2, 0xF2},
        {1250, 0xFF, 0xFF}, {1250, 0xB9, 0xB9}, {1250, 0xBE, 0xBE}, {1255, 0xE9, 0xE9},
        {437, 0xE9, 0xE9},  {932, 'q', 'Q'},    {1257, 0xFF, 0xFF}, {1254, 0xFF, 0xFF},
    };
    for (const Case& c : cases) {
        seam::SetACP(c.codePage);
        EXPECT_EQ(Hex(c.out), Hex(UpperCP(c.in))) << "code page " << c.codePage << ", byte " << Hex(c.in);
    }
    const UINT all[] = {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 437};
    for (UINT codePage : all) {
        seam::SetACP(codePage);
        EXPECT_EQ('A', UpperCP('a'));
        EXPECT_EQ('Z', UpperCP('z'));
        for (unsigned char b : {0x40, 0x5B, 0x60, 0x7B}) EXPECT_EQ(b, UpperCP(b)) << codePage;
    }
}

TEST(CaseFoldTest, UpperCPFollowsTheSystemCodePage) {
    UINT codePage = GetACP();
    const char* lang = getenv("SETUP_TEST_LANG");
    if (lang && std::string(lang) == "ru") ASSERT_EQ(1251u, codePage);
    std::vector<unsigned char> expected = Expected(TableOf(codePage));
    for (int b = 0; b < 256; ++b)
        ASSERT_EQ(Hex(expected[b]), Hex(UpperCP(static_cast<unsigned char>(b)))) << "byte " << Hex(b);
}

TEST(CaseFoldTest, CompareNoCaseCP) {
    struct Case {
        UINT codePage;
        std::string a, b;
        int count;
        int result;
    };
    const Case cases[] = {
        {1252, "path=", "PATH=", 5, 0},
        {1252, "abc", "xyz", 0, 0},
        {1252, "abc", "xyz", -1, 0},
        {1252, "a", "b", 1, -1},
        {1252, "b", "a", 1, 1},
        {1252, "abX", "ABY", 2, 0},                                    // stops at count
        {1252, std::string("a\0x", 3), std::string("A\0y", 3), 3, -1},  // goes on past a zero
        {1252, std::string("a\0x", 3), std::string("A\0X", 3), 3, 0},
        {1252, "\xE9", "z", 1, 1},  // unsigned order: folded 0xC9 above 0x5A
        {1252, "\xE9", "\xC9", 1, 0},
        {1255, "\xE9", "\xC9", 1, 1},
        {1251, "\xFF\xE0", "\xDF\xC0", 2, 0},
    };
    for (const Case& c : cases) {
        seam::SetACP(c.codePage);
        EXPECT_EQ(c.result, CompareNoCaseCP(c.a.data(), c.b.data(), c.count))
            << "code page " << c.codePage << ", count " << c.count << ", \"" << c.a << "\" against \"" << c.b << "\"";
    }
}

// The buffer is pre-filled with the sentinel: after the field comes exactly one
// zero, and nothing beyond it is written.
void ExpectField(const char* buffer, const std::string& field, int line) {
    SCOPED_TRACE(testing::Message() << "checked at line " << line);
    EXPECT_EQ(field, std::string(buffer, strnlen(buffer, field.size() + 1)));
    EXPECT_EQ(0, buffer[field.size()]);
    EXPECT_EQ(0x55, static_cast<unsigned char>(buffer[field.size() + 1]));
}
#define EXPECT_FIELD(buffer, field) ExpectField(buffer, field, __LINE__)

TEST(CaseFoldTest, NextFieldWalksAKeyPath) {
    const char* path = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
    const char* cursor = path;
    char buffer[MAX_PATH + 8];
    const std::vector<std::string> fields = {"System", "CurrentControlSet", "Control", "Session Manager",
                                             "Environment"};
    for (const std::string& field : fields) {
        memset(buffer, 0x55, sizeof buffer);
        NextField(&cursor, buffer, MAX_PATH, '\\');
        EXPECT_FIELD(buffer, field);
        if (field == "System") EXPECT_EQ(path + 7, cursor);  // on the C of CurrentControlSet
    }
    EXPECT_EQ(path + strlen(path), cursor);
}

TEST(CaseFoldTest, NextFieldOneCall) {
    struct Case {
        const char* what;
        std::string input;
        int size;
        char separator;
        std::string field;
        size_t cursorAfter;
    };
    const std::string longField(300, 'x');
    const Case cases[] = {
        {"leading separator", "\\abc", MAX_PATH, '\\', "", 1},
        {"empty string", "", MAX_PATH, '\\', "", 0},
        {"separator at the end", "abc\\", MAX_PATH, '\\', "abc", 4},
        {"two separators: one taken", "a\\\\b", MAX_PATH, '\\', "a", 2},
        {"field longer than the buffer", longField + "\\rest", MAX_PATH, '\\', std::string(259, 'x'), 301},
        {"room for the zero only", "abc\\d", 1, '\\', "", 4},
        {"another separator", "C:\\DOS;C:\\WIN", MAX_PATH, ';', "C:\\DOS", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<char> buffer(400, 0x55);
        const char* cursor = c.input.c_str();
        NextField(&cursor, buffer.data(), c.size, c.separator);
        EXPECT_FIELD(buffer.data(), c.field);
        EXPECT_EQ(c.cursorAfter, static_cast<size_t>(cursor - c.input.c_str()));
    }
}

TEST(CaseFoldTest, NextFieldWithNoRoomWritesNothing) {
    char buffer[4];
    memset(buffer, 0x55, sizeof buffer);
    const char* input = "abc\\d";
    const char* cursor = input;
    NextField(&cursor, buffer, 0, '\\');
    EXPECT_EQ(input + 4, cursor);
    for (char b : buffer) EXPECT_EQ(0x55, static_cast<unsigned char>(b));
}

}  // namespace

// The built-in lists and their walk.
#include <gtest/gtest.h>

#include "app/Manifest.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {
std::vector<std::string> Names(const char* list) {
    std::vector<std::string> out;
    for (const char* name = FirstFile(list); name; name = NextFile(name)) out.push_back(name);
    return out;
}
}  // namespace

TEST(Manifest, ListsHoldTheirNamesInOrderWithTheirLetterCase) {
    EXPECT_EQ(Names(kSystemLibraries),
              (std::vector<std::string>{"Mfc42.dll", "Msvcrt.dll", "Oleaut32.dll", "Olepro32.dll"}));
    std::vector<std::string> products = Names(kProductFiles);
    ASSERT_EQ(products.size(), 54u);
    EXPECT_EQ(products.front(), "64asm.ini");
    EXPECT_EQ(products[10], "Scrivon.exe");
    EXPECT_EQ(products.back(), "TipsUs.txt");
    EXPECT_EQ(CountFiles(kSystemLibraries) + CountFiles(kProductFiles), 58);
    // The walk ends on the empty name right after the last terminator.
    const char* last = FirstFile(kProductFiles);
    for (int i = 0; i < 53; ++i) last = NextFile(last);
    EXPECT_STREQ(last, "TipsUs.txt");
    EXPECT_EQ(last[strlen(last) + 1], 0);
    EXPECT_EQ(NextFile(last), nullptr);
}

TEST(Manifest, ListOfOnlyTheEndingZeroHoldsNoName) {
    const char empty[] = "";
    EXPECT_EQ(CountFiles(empty), 0);
    EXPECT_EQ(FirstFile(empty), nullptr);
}

TEST(Manifest, DefaultTextTypesAre28WordsSeparatedBySingleBlanks) {
    std::string types = kDefaultTextTypes;
    EXPECT_EQ(types.front(), '1');
    EXPECT_EQ(types.back(), 't');
    EXPECT_EQ(types.find("  "), std::string::npos);
    EXPECT_EQ(std::count(types.begin(), types.end(), ' '), 27);
    EXPECT_EQ(types.substr(0, 8), "1st asm ");
    EXPECT_EQ(types.substr(types.size() - 8), " tex txt");
}

// Letter case by the ANSI code page, one byte at a time, and field splitting.
// The upper-case tables are worked out by the compiler from the short rule
// list below (the single pairs and the ranges that drop by 0x20), so what a
// reviewer checks is the list, not 2304 numbers. Only GetACP comes from the
// system; everything else is plain byte work.
#include "support/CaseFold.h"

#include <windows.h>

namespace {

// One byte mapped to another.
struct Pair {
    unsigned char from, to;
};
// Every byte of first..last mapped to the byte 0x20 below it.
struct Span {
    unsigned char first, last;
};
// What a table maps besides a to z.
struct Rule {
    const Pair* pairs;
    int pairCount;
    const Span* spans;
    int spanCount;
};

constexpr Pair kPairs1250[] = {{0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E},
                               {0x9F, 0x8F}, {0xB3, 0xA3}, {0xBA, 0xAA}, {0xBF, 0xAF}};
constexpr Span kSpans1250[] = {{0xE0, 0xF6}, {0xF8, 0xFE}};

constexpr Pair kPairs1251[] = {{0x90, 0x80}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E},
                               {0x9F, 0x8F}, {0xB8, 0xA8}, {0xBA, 0xAA}, {0xBF, 0xAF}};
constexpr Span kSpans1251[] = {{0xE0, 0xFF}};

constexpr Pair kPairs1252[] = {{0x9A, 0x8A}, {0x9C, 0x8C}};
constexpr Span kSpans1252[] = {{0xE0, 0xF6}, {0xF8, 0xFF}};

// 0xF2 (final sigma) has no capital and stays; 0xF7 becomes 0xD7.
constexpr Span kSpans1253[] = {{0xE0, 0xF1}, {0xF3, 0xFE}};

constexpr Pair kPairs1254[] = {{0x9A, 0x8A}, {0x9C, 0x8C}};
constexpr Span kSpans1254[] = {{0xE0, 0xF6}, {0xF8, 0xFE}};

constexpr Pair kPairs1256[] = {{0x9C, 0x8C}};

constexpr Pair kPairs1257[] = {{0xBF, 0xAF}};
constexpr Span kSpans1257[] = {{0xE0, 0xF6}, {0xF8, 0xFE}};

template <typename T, int N>
constexpr int CountOf(const T (&)[N]) {
    return N;
}

// Code pages 1250 to 1257, then the default table for every other one.
constexpr Rule kRules[9] = {
    {kPairs1250, CountOf(kPairs1250), kSpans1250, CountOf(kSpans1250)},
    {kPairs1251, CountOf(kPairs1251), kSpans1251, CountOf(kSpans1251)},
    {kPairs1252, CountOf(kPairs1252), kSpans1252, CountOf(kSpans1252)},
    {nullptr, 0, kSpans1253, CountOf(kSpans1253)},
    {kPairs1254, CountOf(kPairs1254), kSpans1254, CountOf(kSpans1254)},
    {nullptr, 0, nullptr, 0},  // 1255
    {kPairs1256, CountOf(kPairs1256), nullptr, 0},
    {kPairs1257, CountOf(kPairs1257), kSpans1257, CountOf(kSpans1257)},
    {nullptr, 0, nullptr, 0},  // default
};

const int kDefaultTable = 8;

constexpr unsigned char Fold(int table, int b) {
    if (b >= 'a' && b <= 'z') return static_cast<unsigned char>(b - 0x20);
    const Rule& rule = kRules[table];
    for (int i = 0; i < rule.pairCount; ++i)
        if (rule.pairs[i].from == b) return rule.pairs[i].to;
    for (int i = 0; i < rule.spanCount; ++i)
        if (b >= rule.spans[i].first && b <= rule.spans[i].last) return static_cast<unsigned char>(b - 0x20);
    return static_cast<unsigned char>(b);
}

// The number of bytes a table changes besides a to z.
constexpr int FurtherBytes(int table) {
    int n = 0;
    for (int b = 0x80; b < 256; ++b)
        if (Fold(table, b) != b) ++n;
    return n;
}

static_assert(FurtherBytes(0) == 38, "1250");
static_assert(FurtherBytes(1) == 41, "1251");
static_assert(FurtherBytes(2) == 33, "1252");
static_assert(FurtherBytes(3) == 30, "1253");
static_assert(FurtherBytes(4) == 32, "1254");
static_assert(FurtherBytes(5) == 0, "1255");
static_assert(FurtherBytes(6) == 1, "1256");
static_assert(FurtherBytes(7) == 31, "1257");
static_assert(FurtherBytes(8) == 0, "default");

}  // namespace

// The tables themselves, every entry a constant: 256 calls of Fold per row.
#define FOLD4(t, b) Fold(t, b), Fold(t, b + 1), Fold(t, b + 2), Fold(t, b + 3)
#define FOLD16(t, b) FOLD4(t, b), FOLD4(t, b + 4), FOLD4(t, b + 8), FOLD4(t, b + 12)
#define FOLD64(t, b) FOLD16(t, b), FOLD16(t, b + 16), FOLD16(t, b + 32), FOLD16(t, b + 48)
#define FOLD_ROW(t) {FOLD64(t, 0), FOLD64(t, 64), FOLD64(t, 128), FOLD64(t, 192)}

constexpr unsigned char kUpperCaseTables[9][256] = {
    FOLD_ROW(0), FOLD_ROW(1), FOLD_ROW(2), FOLD_ROW(3), FOLD_ROW(4),
    FOLD_ROW(5), FOLD_ROW(6), FOLD_ROW(7), FOLD_ROW(8),
};

#undef FOLD_ROW
#undef FOLD64
#undef FOLD16
#undef FOLD4

// The code page is asked for on every call: nothing is cached.
unsigned char UpperCP(unsigned char b) {
    UINT codePage = GetACP();
    int table = codePage >= 1250 && codePage <= 1257 ? static_cast<int>(codePage - 1250) : kDefaultTable;
    return kUpperCaseTables[table][b];
}

// The order is that of the folded byte values, compared unsigned; no collation.
int CompareNoCaseCP(const char* a, const char* b, int count) {
    for (int i = 0; i < count; ++i) {
        unsigned char x = UpperCP(static_cast<unsigned char>(a[i]));
        unsigned char y = UpperCP(static_cast<unsigned char>(b[i]));
        if (x < y) return -1;
        if (x > y) return 1;
    }
    return 0;
}

// A field too long for the buffer is cut, and the rest of it skipped, so the
// cursor always ends behind the whole field. Only one separator is taken per
// call, and the terminating zero is never passed.
void NextField(const char** cursor, char* buffer, int size, char separator) {
    const char* p = *cursor;
    int n = 0;
    while (*p && *p != separator) {
        if (n < size - 1) buffer[n++] = *p;
        ++p;
    }
    if (*p) ++p;
    *cursor = p;
    // A buffer of no bytes has no room even for the terminator.
    if (size > 0) buffer[n] = 0;
}

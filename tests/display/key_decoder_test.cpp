#include "display/key_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "display/escape_table.h"
#include "display/keys.h"
#include "display/paste.h"

namespace {

using namespace std::string_literals;
using keys = std::vector<int>;

// A keyboard that plays a script of bytes, each typed at its time, with a
// clock that moves only when a byte is read or a wait runs out.
struct scripted_keyboard final : key_source {
    std::deque<std::pair<long long, int>> script;
    long long clock = 0;

    long long now() override { return clock; }

    int read_byte(long long deadline) override {
        if (script.empty() || script.front().first > deadline) {
            clock = deadline;
            return KEY_NO_BYTE;
        }
        auto [time, byte] = script.front();
        script.pop_front();
        clock = std::max(clock, time);
        return byte;
    }
};

// The keys read from the parts typed with a pause between each two, and the
// clock at the end: a byte is taken from the keyboard only when the decoder
// holds none, as reading a key does.
std::pair<keys, long long> decode(const std::vector<std::string> &parts, int pause = 0,
                                  int utf8 = 0) {
    scripted_keyboard kb;
    for (size_t i = 0; i < parts.size(); i++)
        for (unsigned char b : parts[i]) kb.script.push_back({i * pause, b});
    key_decoder dec{};
    dec.utf8 = utf8;
    keys out;
    while (dec.count > 0 || !kb.script.empty()) {
        if (dec.count == 0) key_decoder_add(&dec, kb.read_byte(LLONG_MAX));
        out.push_back(key_decode(&dec, &kb));
    }
    return {out, kb.clock};
}

// Escape, n dashes and then the key after them, if any.
keys escape_dashes(int n, int after = 0) {
    keys k{K_ESCAPE};
    k.insert(k.end(), n, '-');
    if (after != 0) k.push_back(after);
    return k;
}

TEST(KeyDecoder, BytesSequencesAndTimeOuts) {
    const int ESC = K_ESCAPE, A_ = K_ALT | 'A';
    struct {
        const char *name;
        std::vector<std::string> parts;
        int pause;
        keys want;
        long long clock;
    } const rows[] = {
        // clang-format off
        {"plain and control bytes", {"a\x01\r\x7f ~\0"s}, 0, {'a', 1, 13, 127, ' ', '~', 0}, 0},
        {"high bytes", {"\xe1\xc1\xb5\xb0\xa0\xff\x80"}, 0,
         {A_, A_, K_ALT | 5, K_ALT | 0, K_NONE, K_NONE, K_NONE}, 0},
        {"sequences sharing their start",
         {"\x1b[11~\x1b[1~\x1b[1~\x1b[13~\x1b[013q\x1b[P\x1bOA\x1bOa\x1bO1\x1b[[A\x1b" "a\x1b" "0"}, 0,
         {K_F1, K_HOME, K_HOME, K_F3, K_SHIFT | K_F1, K_DEL, K_UP, K_CTRL | K_F1, K_ALT | 1, K_F1,
          A_, K_ALT | 0}, 0},
        {"Escape alone", {"\x1b"}, 0, {ESC}, 1000},
        {"no sequence comes apart", {"\x1bX", "q"}, 2000, {ESC, 'X', 'q'}, 2000},
        {"an unknown sequence is read to its end", {"\x1b[Z", "q"}, 2000, {K_UNKNOWN, 'q'}, 2000},
        {"one second for the whole sequence", {"\x1b", "[", "A"}, 400, {K_UP}, 800},
        {"the last byte too late", {"\x1b", "[", "A"}, 600, {ESC, '[', 'A'}, 1200},
        {"an arrow after a lone Escape", {"\x1b", "\x1b[A"}, 2000, {ESC, K_UP}, 2000},
        {"bytes left over are not waited for", {"\x1b\x1b[", "A"}, 1500, {ESC, ESC, '[', 'A'}, 1500},
        {"a doubled Escape before no sequence", {"\x1b\x1b[13q"}, 0, {K_UNKNOWN}, 0},
        {"a lone Escape before a sequence", {"\x1b\x1b[013q"}, 0, {ESC, K_SHIFT | K_F1}, 1000},
        {"a high byte spoils a sequence", {"\x1b\xe1"}, 0, {ESC, A_}, 1000},
        {"30 bytes end a sequence", {"\x1b" + std::string(26, '-') + "\x1b[A"}, 0, escape_dashes(26, K_UP), 0},
        {"29 bytes wait for more", {"\x1b" + std::string(28, '-')}, 0, escape_dashes(28), 1000},
        {"a control sequence longer than 30 bytes", {"\x1b[" + std::string(40, '1') + "~x"}, 0,
         {K_UNKNOWN, 'x'}, 0},
        // clang-format on
    };
    for (const auto &row : rows) {
        auto [got, clock] = decode(row.parts, row.pause);
        EXPECT_EQ(got, row.want) << row.name;
        EXPECT_EQ(clock, row.clock) << row.name;
    }
}

TEST(KeyDecoder, EveryTableSequenceAndItsAltForm) {
    int flagged = 0;
    for (const escape_seq &row : escape_table) {
        SCOPED_TRACE(row.seq + 1);
        int code = row.code & ~ESC_ALT_FORM;
        EXPECT_EQ(decode({row.seq}), (std::pair{keys{code}, 0LL}));
        EXPECT_NE(lookup_key_code(code), -1) << "a key without a name";
        if (!(row.code & ESC_ALT_FORM)) continue;
        flagged++;
        EXPECT_EQ(decode({"\x1b"s + row.seq}), (std::pair{keys{code | K_ALT}, 0LL}));
        EXPECT_NE(lookup_key_code(code | K_ALT), -1);
    }
    EXPECT_EQ(flagged, 58);
}

// The forms terminals send for keys with modifiers, and sequences of no key:
// each is swallowed whole, so the bytes typed after it are keys of their own.
TEST(KeyDecoder, ModifierFormsAndUnknownSequences) {
    const int S = K_SHIFT, C = K_CTRL, A = K_ALT, U = K_UNKNOWN;
    const struct {
        const char *bytes;
        keys want;
    } rows[] = {
        // clang-format off
        {"\x1b[1;5D\x1b[1;5C\x1b[1;5A\x1b[1;5B", {C | K_LEFT, C | K_RIGHT, C | K_UP, C | K_DOWN}},
        {"\x1b[1;2H\x1b[1;3F\x1b[1;2P\x1b[1;5S\x1b[1;3Q", {S | K_HOME, A | K_END, S | K_F1, C | K_F4, A | K_F2}},
        {"\x1b[5;5~\x1b[6;2~\x1b[2;5~\x1b[3;3~\x1b[15;2~\x1b[24;5~",
         {C | K_PGUP, S | K_PGDN, C | K_INS, A | K_DEL, S | K_F5, C | K_F12}},
        // Combinations without names: the nearest named key.
        {"\x1b[2;2~\x1b[1;6D\x1b[1;4D\x1b[1;7C\x1b[1;9A\x1b[1;1D\x1b[;5D\x1b[1;8F",
         {K_INS, C | K_LEFT, A | K_LEFT, C | K_RIGHT, A | K_UP, K_LEFT, C | K_LEFT, C | K_END}},
        // rxvt's forms, and Alt by Escape.
        {"\x1b[7^\x1b[8$\x1b[3$\x1b[11^\x1b[5@\x1b[a", {C | K_HOME, S | K_END, K_DEL, C | K_F1, C | K_PGUP, S | K_UP}},
        {"\x1b\x1b[1;2D\x1b\x1b[7~", {A | K_LEFT, A | K_HOME}},
        // A paste's start; its end and everything else is no key.
        {"\x1b[200~\x1b\x1b[200~\x1b[201~", {K_PASTE, K_PASTE, U}},
        {"\x1b[99~\x1b[1;17D\x1b[5D\x1b[1;5E\x1b[1;5Z\x1b[?1;2c\x1b[27;5;13~", {U, U, U, U, U, U, U}},
        {"\x1b[Q\x1b[[Z\x1b[?2004;1$y\x1bOz\x1b\x1bO~", {U, U, U, U, U}},
        // clang-format on
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.bytes));
        keys want = row.want;
        want.insert(want.end(), {'a', 'b'});
        EXPECT_EQ(decode({row.bytes + "ab"s}), (std::pair{want, 0LL}));
        for (int key : row.want) EXPECT_TRUE(key >= K_PASTE || lookup_key_code(key) >= 0) << key;
    }
}

TEST(KeyDecoder, Utf8CharactersWhereTextIsUtf8) {
    const int CH = K_CHAR;
    const struct {
        std::string bytes;
        keys utf8, plain;
        long long clock;
    } rows[] = {
        // clang-format off
        {"\xc3\xa9x", {CH | 0xE9, 'x'}, {K_ALT | 'C', K_NONE, 'x'}, 0},
        {"\xe4\xb8\xad", {CH | 0x4E2D}, {K_ALT | 'D', K_ALT | 8, K_NONE}, 0},
        {"\xf0\x9f\x98\x80", {CH | 0x1F600}, {K_ALT | 'P', K_NONE, K_NONE, K_NONE}, 0},
        {"\xe1\xb5\xa0", {CH | 0x1D60}, {K_ALT | 'A', K_ALT | 5, K_NONE}, 0},
        // Not UTF-8: bytes, as anywhere else.
        {"\xc3" "A", {K_ALT | 'C', 'A'}, {K_ALT | 'C', 'A'}, 0},
        {"\xc0\x80", {K_NONE, K_NONE}, {K_NONE, K_NONE}, 0},
        {"\xed\xa0\x80", {K_ALT | 'M', K_NONE, K_NONE}, {K_ALT | 'M', K_NONE, K_NONE}, 0},
        {"\xc3", {K_ALT | 'C'}, {K_ALT | 'C'}, 1000},
        // clang-format on
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.bytes));
        EXPECT_EQ(decode({row.bytes}, 0, 1), (std::pair{row.utf8, row.clock}));
        EXPECT_EQ(decode({row.bytes}, 0, 0).first, row.plain);
    }
    EXPECT_EQ(decode({"\xe4\xb8", "\xad"}, 600, 1).first, (keys{CH | 0x4E2D}));
    EXPECT_EQ(decode({"\xe4\xb8", "\xad"}, 1200, 1).first, (keys{K_ALT | 'D', K_ALT | 8, K_NONE}))
        << "one second for the whole character";
}

// The text of a paste fed in pieces, and the bytes taken from each.
TEST(PasteScan, TheEndFoundAcrossPieces) {
    const struct {
        std::vector<std::string> pieces;
        std::string text;
        std::vector<size_t> taken;
        bool done;
    } rows[] = {
        // clang-format off
        {{"ab\ncd\x1b[201~xy"}, "ab\ncd", {11}, true},
        {{"ab\x1b[2", "01~xy"}, "ab", {5, 3}, true},
        {{"a\x1b", "[20", "1", "~", "b"}, "a", {2, 3, 1, 1, 0}, true},
        {{"\x1b[20\x1b[201~"}, "\x1b[20", {10}, true}, // a start that was not the end
        {{"\x1b\x1b[201~"}, "\x1b", {7}, true},
        {{"\x1b[201", "x\x1b[201~"}, "\x1b[201x", {5, 7}, true},
        {{"\t\x01\x1b[A", ""}, "\t\x01\x1b[A", {5, 0}, false},
        // clang-format on
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.pieces));
        paste_scan scan;
        std::vector<size_t> taken;
        for (const std::string &p : row.pieces) taken.push_back(scan.feed(p.data(), p.size()));
        EXPECT_EQ(scan.text, row.text);
        EXPECT_EQ(taken, row.taken);
        EXPECT_EQ(scan.done, row.done);
    }
}

// Every name is found and stands for one code, found again by it.
TEST(KeyTab, NamesAndCodesAreFoundBothWays) {
    int rows = 0;
    for (; key_tab[rows].name != nullptr; rows++) {
        EXPECT_EQ(lookup_key_name(key_tab[rows].name), rows) << "named twice";
        EXPECT_EQ(lookup_key_code(key_tab[rows].code), rows) << key_tab[rows].name;
    }
    EXPECT_EQ(rows, KEY_TAB_ROWS);
    for (const char *nameless : {"Grey+", "left", ""}) EXPECT_EQ(lookup_key_name(nameless), -1);
    for (int nameless : {0, K_ESCAPE, int('a'), K_GREY_PLUS, K_SHIFT | K_INS, K_ALT | (K_F12 + 1)})
        EXPECT_EQ(lookup_key_code(nameless), -1) << nameless;
    const std::pair<const char *, int> named[] = {
        {"Del127", 127},           {"^A", 1},
        {"~F5", K_SHIFT | K_F5},   {"^Grey/", K_CTRL | K_GREY_SLASH},
        {"@Left", K_ALT | K_LEFT}, {"@7", K_ALT | 7}};
    for (auto [name, code] : named) EXPECT_EQ(key_tab[lookup_key_name(name)].code, code) << name;
}

} // namespace

#include "display/key_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <deque>
#include <random>
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

// The edges of the forms terminals send for keys with modifiers (every form
// is seen through a terminal in tests/e2e), and sequences of no key.
TEST(KeyDecoder, ModifierFormsAndUnknownSequences) {
    const int S = K_SHIFT, C = K_CTRL, A = K_ALT;
    const struct {
        const char *bytes;
        int key;
    } rows[] = {
        // clang-format off
        {"\x1b[1;1D", K_LEFT}, {"\x1b[;5D", C | K_LEFT}, {"\x1b[1;8F", C | K_END},
        {"\x1b[3;4~", A | K_DEL}, {"\x1b[1;6P", C | K_F1}, {"\x1b[3$", K_DEL},
        {"\x1b[11^", C | K_F1}, {"\x1b[5@", C | K_PGUP}, {"\x1b[a", S | K_UP},
        {"\x1b\x1b[1;5D", C | K_LEFT}, {"\x1b\x1b[7~", A | K_HOME},
        // A paste's start; its end and everything else is no key.
        {"\x1b[200~", K_PASTE}, {"\x1b\x1b[200~", K_PASTE}, {"\x1b[201~", K_UNKNOWN},
        {"\x1b[99~", K_UNKNOWN}, {"\x1b[1;17D", K_UNKNOWN}, {"\x1b[5D", K_UNKNOWN},
        {"\x1b[1;5E", K_UNKNOWN}, {"\x1b[?1;2c", K_UNKNOWN}, {"\x1b[27;5;13~", K_UNKNOWN},
        {"\x1b[Q", K_UNKNOWN}, {"\x1b[[Z", K_UNKNOWN}, {"\x1b[?2004;1$y", K_UNKNOWN},
        {"\x1bOz", K_UNKNOWN}, {"\x1b\x1bO~", K_UNKNOWN},
        // clang-format on
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.bytes + 1);
        // Swallowed whole: the bytes typed after it are keys of their own.
        EXPECT_EQ(decode({row.bytes + "ab"s}), (std::pair{keys{row.key, 'a', 'b'}, 0LL}));
        EXPECT_TRUE(row.key >= K_PASTE || lookup_key_code(row.key) >= 0) << "named";
    }
}

// Random bytes of the kinds sequences are made of: every key decoded is one
// a key can be, and nothing is read twice or lost beyond the time-outs.
TEST(KeyDecoder, RandomBytesGiveOnlyKeys) {
    const std::string alphabet = "\x1b\x1b\x1b[[[OO0123456789;;;~~$^@ABCDHFPQRSZabcdq\x01\r\x7f"
                                 "\x80\xa9\xc3\xe4\xb8\xf0";
    std::mt19937 rng(12);
    for (int round = 0; round < 2000; round++) {
        std::string bytes;
        for (int n = 1 + rng() % 12; n > 0; n--) bytes += alphabet[rng() % alphabet.size()];
        // Half of them a control sequence's shape: parameters and a final byte.
        if (round % 2) {
            bytes = "\x1b[";
            for (int n = rng() % 9; n > 0; n--) bytes += "0123456789;;"[rng() % 12];
            bytes += "~$^@ABCDHFPQRSZabcdq"[rng() % 20];
        }
        for (int utf8 : {0, 1}) {
            auto [got, clock] = decode({bytes}, 0, utf8);
            ASSERT_LE(got.size(), bytes.size()) << testing::PrintToString(bytes);
            for (int key : got)
                ASSERT_TRUE(key < 256 || key == K_UNKNOWN || key == K_PASTE ||
                            (utf8 && is_char_key(key)) || lookup_key_code(key) >= 0)
                    << key << " from " << testing::PrintToString(bytes);
        }
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

// The code a key name stands for, worked out from the name alone.
int code_of_name(std::string name) {
    static const std::string cursor[] = {"Left",  "Right", "Up",    "Down", "Home",
                                         "End",   "PgUp",  "PgDn",  "Ins",  "Del",
                                         "Grey+", "Grey-", "Grey*", "Grey/"};
    if (name == "Del127") return 127;
    if (name.size() == 2 && name[0] == '^' && name[1] >= 'A' && name[1] <= '_') return name[1] - 64;
    size_t prefix = std::string("~^@").find(name[0]);
    int modifier = prefix == std::string::npos ? 0 : 0x1000 << prefix;
    if (modifier != 0) name.erase(0, 1);
    if (modifier == K_ALT && name.size() == 1)
        return K_ALT | (std::isdigit(name[0]) ? name[0] - '0' : name[0]);
    if (name[0] == 'F') return modifier | (0x200 + std::stoi(name.substr(1)));
    for (int i = 0; i < 14; i++)
        if (name == cursor[i]) return modifier | (0x100 + i);
    return -1;
}

TEST(KeyTab, NamesMatchTheirCodesAndAreFoundBothWays) {
    int rows = 0;
    for (; key_tab[rows].name != nullptr; rows++) {
        const key_tab_entry &row = key_tab[rows];
        EXPECT_EQ(code_of_name(row.name), row.code) << row.name;
        EXPECT_EQ(lookup_key_name(row.name), rows) << "named twice";
        EXPECT_EQ(lookup_key_code(row.code), rows);
    }
    EXPECT_EQ(rows, KEY_TAB_ROWS);
    for (const char *nameless : {"Grey+", "left", ""}) EXPECT_EQ(lookup_key_name(nameless), -1);
    for (int nameless :
         {0, K_ESCAPE, int(' '), int('a'), K_GREY_PLUS, K_SHIFT | K_INS, K_ALT | (K_F12 + 1)})
        EXPECT_EQ(lookup_key_code(nameless), -1) << nameless;
}

} // namespace

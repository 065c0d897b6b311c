#include "display/key_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "display/escape_table.h"
#include "display/keys.h"

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
std::pair<keys, long long> decode(const std::vector<std::string> &parts, int pause = 0) {
    scripted_keyboard kb;
    for (size_t i = 0; i < parts.size(); i++)
        for (unsigned char b : parts[i]) kb.script.push_back({i * pause, b});
    key_decoder dec{};
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
        {"an unknown sequence comes apart", {"\x1b[Z", "q"}, 2000, {ESC, '[', 'Z', 'q'}, 2000},
        {"one second for the whole sequence", {"\x1b", "[", "A"}, 400, {K_UP}, 800},
        {"the last byte too late", {"\x1b", "[", "A"}, 600, {ESC, '[', 'A'}, 1200},
        {"a doubled Escape before no sequence", {"\x1b\x1b[13q"}, 0, {ESC, ESC, '[', '1', '3', 'q'}, 1000},
        {"a lone Escape before a sequence", {"\x1b\x1b[013q"}, 0, {ESC, K_SHIFT | K_F1}, 1000},
        {"a high byte spoils a sequence", {"\x1b\xe1"}, 0, {ESC, A_}, 1000},
        {"30 bytes end a sequence", {"\x1b" + std::string(26, '-') + "\x1b[A"}, 0, escape_dashes(26, K_UP), 0},
        {"29 bytes wait for more", {"\x1b" + std::string(28, '-')}, 0, escape_dashes(28), 1000},
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
    EXPECT_EQ(flagged, 56);
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

#include "display/key_decoder.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "display/escape_table.h"
#include "display/keys.h"

namespace {

// A keyboard driven by a script of typed bytes and pauses, with a clock that
// only moves when the script pauses or a wait runs out.
struct scripted_keyboard final : key_source {
    struct event {
        int byte;        // -1 for a pause
        long long pause; // milliseconds
    };
    std::deque<event> script;
    long long clock = 0;
    int reads = 0;

    void type(const std::string &bytes) {
        for (unsigned char b : bytes) script.push_back({b, 0});
    }
    void wait(long long ms) { script.push_back({-1, ms}); }

    long long now() override { return clock; }

    int read_byte(long long deadline) override {
        reads++;
        while (!script.empty()) {
            event &e = script.front();
            if (e.byte >= 0) {
                int b = e.byte;
                script.pop_front();
                return b;
            }
            if (clock + e.pause > deadline) {
                e.pause -= deadline - clock;
                clock = deadline;
                return KEY_NO_BYTE;
            }
            clock += e.pause;
            script.pop_front();
        }
        if (clock < deadline) clock = deadline; // nothing more is ever typed
        return KEY_NO_BYTE;
    }

    // The first byte of a key, waited for as long as it takes.
    int first_byte() {
        while (!script.empty() && script.front().byte < 0) {
            clock += script.front().pause;
            script.pop_front();
        }
        if (script.empty()) return KEY_NO_BYTE;
        int b = script.front().byte;
        script.pop_front();
        return b;
    }
};

class KeyDecoder : public ::testing::Test {
  protected:
    scripted_keyboard kb;
    key_decoder dec{};

    // What reading a key does: take a byte from the keyboard only when no
    // bytes are left over, then decode.
    int next_key() {
        if (dec.count == 0) {
            int b = kb.first_byte();
            if (b == KEY_NO_BYTE) return -1;
            key_decoder_add(&dec, b);
        }
        return key_decode(&dec, &kb);
    }

    std::vector<int> keys_of(const std::string &bytes) {
        kb.type(bytes);
        std::vector<int> keys;
        for (int k; (k = next_key()) != -1;) keys.push_back(k);
        return keys;
    }
};

using keys = std::vector<int>;

TEST_F(KeyDecoder, PlainAndControlBytesAreKeysByThemselves) {
    EXPECT_EQ(keys_of(std::string("a\x01\r\x7f ~\0", 7)), (keys{'a', 1, 13, 127, ' ', '~', 0}));
    EXPECT_EQ(kb.clock, 0);
}

TEST_F(KeyDecoder, EveryTableSequenceTypedAtOnceGivesItsKey) {
    for (const escape_seq &row : escape_table) {
        SCOPED_TRACE(row.seq + 1);
        EXPECT_EQ(keys_of(row.seq), keys{row.code & ~ESC_ALT_FORM});
    }
    EXPECT_EQ(kb.clock, 0) << "no sequence waited for the time-out";
}

TEST_F(KeyDecoder, SequencesSharingTheirStartAreTold) {
    EXPECT_EQ(keys_of("\x1b[11~\x1b[1~\x1b[1~\x1b[13~\x1b[013q\x1b[P"),
              (keys{K_F1, K_HOME, K_HOME, K_F3, K_SHIFT | K_F1, K_DEL}));
    EXPECT_EQ(keys_of("\x1bOA\x1bOa\x1bO1\x1b[[A\x1b[A\x1b"
                      "a\x1b"
                      "0"),
              (keys{K_UP, K_CTRL | K_F1, K_ALT | 1, K_F1, K_UP, K_ALT | 'A', K_ALT | 0}));
}

TEST_F(KeyDecoder, EscapeAloneComesOutWhenTheSecondIsUp) {
    kb.type("\x1b");
    EXPECT_EQ(next_key(), K_ESCAPE);
    EXPECT_EQ(kb.clock, KEY_SEQ_TIMEOUT);
    EXPECT_EQ(dec.count, 0);
}

TEST_F(KeyDecoder, UnknownSequenceComesApartWithoutFurtherWaiting) {
    kb.type("\x1b[Z");
    EXPECT_EQ(next_key(), K_ESCAPE);
    int reads = kb.reads;
    kb.type("q"); // typed after the time-out: must not join the left-overs
    EXPECT_EQ(next_key(), '[');
    EXPECT_EQ(next_key(), 'Z');
    EXPECT_EQ(kb.reads, reads) << "left-over bytes were decoded without reading";
    EXPECT_EQ(next_key(), 'q');
    EXPECT_EQ(kb.clock, KEY_SEQ_TIMEOUT);
}

TEST_F(KeyDecoder, OneDeadlineCoversTheWholeSequence) {
    kb.type("\x1b");
    kb.wait(400);
    kb.type("[");
    kb.wait(400);
    kb.type("A");
    EXPECT_EQ(next_key(), K_UP);

    kb.type("\x1b");
    kb.wait(600);
    kb.type("[");
    kb.wait(600);
    kb.type("A");
    EXPECT_EQ(next_key(), K_ESCAPE);
    EXPECT_EQ(next_key(), '[');
    EXPECT_EQ(next_key(), 'A');
}

TEST_F(KeyDecoder, DoubledEscapeGivesTheAltFormOfFlaggedRows) {
    EXPECT_EQ(keys_of("\x1b\x1bOP"), keys{K_ALT | K_F1});
    EXPECT_EQ(keys_of("\x1b\x1b[A"), keys{K_ALT | K_UP});
    EXPECT_EQ(keys_of("\x1b\x1b[1~"), keys{K_ALT | K_HOME});
    EXPECT_EQ(kb.clock, 0);
    int flagged = 0;
    for (const escape_seq &row : escape_table) {
        if (!(row.code & ESC_ALT_FORM)) continue;
        flagged++;
        EXPECT_EQ(keys_of(std::string("\x1b") + row.seq), keys{(row.code & ~ESC_ALT_FORM) | K_ALT})
            << row.seq + 1;
    }
    EXPECT_EQ(flagged, 56);
}

TEST_F(KeyDecoder, DoubledEscapeBeforeAnUnflaggedRowWaitsThenComesApart) {
    // "[13q" is no sequence: after the time-out both Escapes and the rest
    // come out one by one.
    EXPECT_EQ(keys_of("\x1b\x1b[13q"), (keys{K_ESCAPE, K_ESCAPE, '[', '1', '3', 'q'}));
    EXPECT_EQ(kb.clock, KEY_SEQ_TIMEOUT);
    // An unflagged row after the first Escape is still recognised once the
    // lone Escape is out.
    EXPECT_EQ(keys_of("\x1b\x1b[013q"), (keys{K_ESCAPE, K_SHIFT | K_F1}));
    EXPECT_EQ(keys_of("\x1b\x1b"
                      "a"),
              (keys{K_ESCAPE, K_ALT | 'A'}));
}

TEST_F(KeyDecoder, ThirtyBytesWithoutASequenceGiveEscapeAtOnce) {
    kb.type("\x1b" + std::string(26, '-') + "\x1b[A");
    EXPECT_EQ(next_key(), K_ESCAPE);
    EXPECT_EQ(kb.clock, 0) << "the 30th byte ended the sequence, not the time-out";
    for (int i = 0; i < 26; i++) ASSERT_EQ(next_key(), '-');
    EXPECT_EQ(next_key(), K_UP);

    kb.type("\x1b" + std::string(28, '-'));
    EXPECT_EQ(next_key(), K_ESCAPE);
    EXPECT_EQ(kb.clock, KEY_SEQ_TIMEOUT) << "29 bytes still wait for more";
}

TEST_F(KeyDecoder, HighBytesBecomeAltLettersAndDigits) {
    EXPECT_EQ(keys_of("\xe1\xc1\xb5\xb0\xa0\xff\x80"),
              (keys{K_ALT | 'A', K_ALT | 'A', K_ALT | 5, K_ALT | 0, K_NONE, K_NONE, K_NONE}));
    EXPECT_EQ(meta_key(0xfa), K_ALT | 'Z');
    EXPECT_EQ(meta_key(0x7f), 0x7f);
    // A high byte inside a sequence spoils it and comes out after the Escape.
    EXPECT_EQ(keys_of("\x1b\xe1"), (keys{K_ESCAPE, K_ALT | 'A'}));
}

TEST(EscapeTable, SequencesAreDistinctAndNoneIsAPrefixOfAnother) {
    for (const escape_seq &a : escape_table) {
        ASSERT_EQ(a.seq[0], '\x1b');
        ASSERT_GE(std::string(a.seq).size(), 2u);
        for (const escape_seq &b : escape_table)
            if (&a != &b) {
                EXPECT_NE(std::string(b.seq).rfind(a.seq, 0), 0u) << a.seq + 1 << " " << b.seq + 1;
            }
    }
}

TEST(EscapeTable, EveryKeyItGivesHasAName) {
    for (const escape_seq &row : escape_table) {
        int code = row.code & ~ESC_ALT_FORM;
        EXPECT_NE(lookup_key_code(code), -1) << row.seq + 1;
        if (row.code & ESC_ALT_FORM) {
            EXPECT_NE(lookup_key_code(code | K_ALT), -1) << row.seq + 1;
        }
    }
}

} // namespace

// Gives each test empty language and buffer tables and frees whatever it
// left in them, so that tables never leak from one test into the next.
#pragma once

#include "text/buffer.h"
#include "text/lang.h"

#include <gtest/gtest.h>

class TablesTest : public ::testing::Test {
  protected:
    void SetUp() override { data_init(); }
    void TearDown() override {
        cur_buffer = nullptr;
        for (text_buffer *b : buffs) {
            if (b) buff_delete(b);
        }
        while (n_langs) lang_delete(langs[n_langs - 1]);
        data_deinit();
    }

    static language_def *make_top() {
        return lang_create("top", "/*...", "*/", ".*\\.top", "_", 0x300);
    }
};

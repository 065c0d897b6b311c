#include "tables_owner.h"
#include "tree_check.h"

#include "text/buff_file.h"
#include "text/fold_file.h"

#include <csignal>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class BuffFile : public TablesTest {
  protected:
    void SetUp() override {
        TablesTest::SetUp();
        lang_ = make_top();
        char tmpl[] = "/tmp/ox_buff_file_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        TablesTest::TearDown();
        fs::remove_all(dir_);
    }

    std::string path(const char *name) const { return (dir_ / name).string(); }
    void put(const char *name, const std::string &bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
    }
    std::string get(const char *name) const {
        std::ifstream in(path(name), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    BUFF *buffer() { return buff_create("", -1, lang_); }

    LANG *lang_ = nullptr;
    fs::path dir_;
};

const std::string example = "int a;\n/*...Sinit code:4:*/\na = 0;\n"
                            "/*...vlib\\47\\my\\39\\ file\\46\\c:4:*/\n/*...e*/\nend\n";

TEST_F(BuffFile, ReadsAndWritesBackByteForByte) {
    put("in.top", example);
    BUFF *b = buffer();
    line_insert(line_create_text("old"), b->top);
    b->changed = 1;
    b->line_no = 5;
    ASSERT_EQ(buff_read(b, path("in.top").c_str()), 1);
    EXPECT_EQ(rdloss, 0);
    EXPECT_EQ(b->fold, b->top);
    EXPECT_EQ(b->line_no, 0);
    EXPECT_EQ(b->top->cur_index, 0) << "at the first line";
    EXPECT_EQ(b->changed, 1) << "left to the caller";
    EXPECT_EQ(tree_picture(b->top), "int a;,[init code 4 o:a = 0;,<lib/my' file.c 0 c>,],end,");
    EXPECT_EQ(check_fold_invariants(b->top), "");

    // The whole buffer is written, whichever fold the user is in.
    b->fold = line_fold(b->top->first->next);
    ASSERT_EQ(buff_write(b, path("out.top").c_str(), 0), 1);
    EXPECT_EQ(get("out.top"), example);
    ASSERT_EQ(buff_write(b, path("out.top").c_str(), 1), 1);
    EXPECT_EQ(get("out.top"), example + example);
    ASSERT_EQ(buff_write(b, path("out.top").c_str(), 0), 1);
    EXPECT_EQ(get("out.top"), example);
}

TEST_F(BuffFile, FilesThatCannotBeReadLeaveTheBufferAlone) {
    BUFF *b = buffer();
    line_insert(line_create_text("kept"), b->top);
    FOLD *old = b->top;
    fs::create_directory(path("folder"));
    for (const char *name : {"missing", "folder"}) {
        rdloss = 3;
        EXPECT_EQ(buff_read(b, path(name).c_str()), 0) << name;
        EXPECT_EQ(rdfail, RD_CANNOT_OPEN) << name;
        EXPECT_EQ(rdloss, 0);
        EXPECT_EQ(b->top, old);
        EXPECT_EQ(tree_picture(b->top), "kept,");
    }
}

TEST_F(BuffFile, FailedReadKeepsTheLinesBefore) {
    put("corrupt", "a\n/*...Sf:0:*/\nb\n/*...e*/\n/*...e*/\nafter\n");
    BUFF *b = buffer();
    EXPECT_EQ(buff_read(b, path("corrupt").c_str()), 0);
    EXPECT_EQ(rdfail, RD_END_MARKER);
    EXPECT_EQ(tree_picture(b->top), "a,[f 0 o:b,],");
    EXPECT_EQ(check_fold_invariants(b->top), "");
}

TEST_F(BuffFile, LossIsReportedPerRead) {
    put("long", std::string(1200, 'x') + "\n");
    put("nul", "a\0b\n"s);
    put("both", "\0\n"s + std::string(600, 'y') + "\n");
    put("exact", std::string(LINE_MAX_TEXT, 'z') + "\n");
    BUFF *b = buffer();
    struct Case {
        const char *name;
        int loss;
        int lines;
    } cases[] = {{"long", RD_LOSS_SPLIT, 3},
                 {"exact", 0, 1},
                 {"nul", RD_LOSS_NUL, 1},
                 {"both", RD_LOSS_NUL | RD_LOSS_SPLIT, 3},
                 {"exact", 0, 1}};
    for (const Case &c : cases) {
        ASSERT_EQ(buff_read(b, path(c.name).c_str()), 1);
        EXPECT_EQ(rdloss, c.loss) << c.name;
        EXPECT_EQ(b->top->line_count - 1, c.lines) << c.name;
    }
}

TEST_F(BuffFile, WriteFailures) {
    BUFF *b = buffer();
    std::string line(100, 'w');
    for (int i = 0; i < 2000; i++) line_insert(line_create_text(line.c_str()), b->top);
    fs::create_directory(path("folder"));
    EXPECT_EQ(buff_write(b, path("folder").c_str(), 0), 0);
    EXPECT_EQ(buff_write(b, path("gone/x").c_str(), 0), 0);

    // A file size limit makes the writes fail part way.
    struct Limit {
        rlimit old{};
        void (*old_handler)(int);
        Limit() {
            getrlimit(RLIMIT_FSIZE, &old);
            old_handler = signal(SIGXFSZ, SIG_IGN);
            rlimit small = old;
            small.rlim_cur = 50000;
            setrlimit(RLIMIT_FSIZE, &small);
        }
        ~Limit() {
            setrlimit(RLIMIT_FSIZE, &old);
            signal(SIGXFSZ, old_handler);
        }
    };
    {
        Limit limit;
        EXPECT_EQ(buff_write(b, path("big").c_str(), 0), 0);
    }
    EXPECT_LE(fs::file_size(path("big")), 50000u);
    EXPECT_EQ(buff_write(b, path("big").c_str(), 0), 1);
    EXPECT_EQ(fs::file_size(path("big")), 2000u * 101);
}

} // namespace

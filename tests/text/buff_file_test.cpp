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
        char tmpl[] = "/tmp/ox_buff_file_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        b_ = buff_create("", -1, make_top());
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
        std::ostringstream s;
        s << std::ifstream(path(name), std::ios::binary).rdbuf();
        return s.str();
    }

    fs::path dir_;
    BUFF *b_ = nullptr;
};

const std::string example = "int a;\n/*...Sinit code:4:*/\na = 0;\n"
                            "/*...vlib\\47\\my\\39\\ file\\46\\c:4:*/\n/*...e*/\nend\n";

TEST_F(BuffFile, ReadsAndWritesBackByteForByte) {
    put("in.top", example);
    line_insert(line_create_text("old"), b_->top);
    b_->changed = 1;
    b_->line_no = 5;
    ASSERT_EQ(buff_read(b_, path("in.top").c_str()), 1);
    EXPECT_EQ(tree_picture(b_->top), "int a;,[init code 4 o:a = 0;,<lib/my' file.c 0 c>,],end,");
    EXPECT_EQ(check_fold_invariants(b_->top), "");
    EXPECT_TRUE(b_->fold == b_->top && b_->line_no == 0 && b_->top->cur_index == 0);
    EXPECT_EQ(b_->changed, 1) << "left to the caller";

    b_->fold = line_fold(b_->top->first->next); // the whole buffer is written anyway
    ASSERT_EQ(buff_write(b_, path("out").c_str(), 0), 1);
    EXPECT_EQ(get("out"), example);
    ASSERT_EQ(buff_write(b_, path("out").c_str(), 1), 1);
    EXPECT_EQ(get("out"), example + example);
}

TEST_F(BuffFile, FailedReads) {
    line_insert(line_create_text("kept"), b_->top);
    FOLD *old = b_->top;
    fs::create_directory(path("folder"));
    for (const char *name : {"missing", "folder"}) {
        rdloss = 3;
        EXPECT_EQ(buff_read(b_, path(name).c_str()), 0);
        EXPECT_EQ(rdfail, RD_CANNOT_OPEN);
        EXPECT_EQ(rdloss, 0);
        EXPECT_TRUE(b_->top == old && tree_picture(old) == "kept,") << "unchanged";
    }
    put("corrupt", "a\n/*...Sf:0:*/\nb\n/*...e*/\n/*...e*/\nafter\n");
    EXPECT_EQ(buff_read(b_, path("corrupt").c_str()), 0);
    EXPECT_EQ(rdfail, RD_END_MARKER);
    EXPECT_EQ(tree_picture(b_->top), "a,[f 0 o:b,],");
}

TEST_F(BuffFile, LossIsReportedPerRead) {
    put("long", std::string(1200, 'x') + "\n");
    put("nul", "a\0b\n"s);
    put("exact", std::string(LINE_MAX_TEXT, 'z') + "\n");
    const std::pair<const char *, int> cases[] = {
        {"long", RD_LOSS_SPLIT}, {"exact", 0}, {"nul", RD_LOSS_NUL}, {"exact", 0}};
    for (auto [name, loss] : cases) {
        ASSERT_EQ(buff_read(b_, path(name).c_str()), 1);
        EXPECT_EQ(rdloss, loss) << name;
    }
}

TEST_F(BuffFile, FailedWrites) {
    std::string line(100, 'w');
    for (int i = 0; i < 2000; i++) line_insert(line_create_text(line.c_str()), b_->top);
    fs::create_directory(path("folder"));
    EXPECT_EQ(buff_write(b_, path("folder").c_str(), 0), 0);
    EXPECT_EQ(buff_write(b_, path("gone/x").c_str(), 0), 0);

    // A file size limit makes a write fail part way.
    struct Limit {
        rlimit old{};
        void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
        Limit() {
            getrlimit(RLIMIT_FSIZE, &old);
            rlimit small{50000, old.rlim_max};
            setrlimit(RLIMIT_FSIZE, &small);
        }
        ~Limit() {
            setrlimit(RLIMIT_FSIZE, &old);
            signal(SIGXFSZ, old_handler);
        }
    };
    {
        Limit limit;
        EXPECT_EQ(buff_write(b_, path("big").c_str(), 0), 0);
    }
    EXPECT_EQ(fs::file_size(path("big")), 50000u);
    EXPECT_EQ(buff_write(b_, path("big").c_str(), 0), 1);
    EXPECT_EQ(fs::file_size(path("big")), 2000u * 101);
}

} // namespace

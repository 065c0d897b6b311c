#include "text/outline_rule.h"

#include "text/scan.h"

#include <cstring>
#include <new>
#include <utility>

namespace {

std::vector<std::string> words_of(const char *text) {
    std::vector<std::string> words;
    for (const char *p = skip_space(text); *p != '\0'; p = skip_space(p)) {
        const char *end = p;
        while (*end != '\0' && !is_space_byte(static_cast<unsigned char>(*end))) end++;
        words.emplace_back(p, end);
        p = end;
    }
    return words;
}

bool starts_with(const std::string &s, const char *prefix) {
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}

// "OPEN...CLOSE" into its two halves, both non-empty; false without "...".
bool split_pair(const std::string &word, outline_span &span) {
    size_t dots = word.find("...");
    if (dots == std::string::npos) return false;
    span.open = word.substr(0, dots);
    span.close = word.substr(dots + 3);
    return true;
}

bool add_comment(const std::string &word, std::vector<outline_span> &spans) {
    outline_span span{SPAN_LINE_COMMENT, false, false, word, ""};
    if (split_pair(word, span)) {
        span.form = SPAN_BLOCK_COMMENT;
        if (span.close.empty()) return false;
    } else if (word[0] == '^') {
        span.form = SPAN_DIRECTIVE;
        span.open.erase(0, 1);
    } else if (word[0] == '_') {
        span.word_start = true;
        span.open.erase(0, 1);
    }
    if (span.open.empty()) return false;
    spans.push_back(span);
    return true;
}

bool add_string(std::string word, std::vector<outline_span> &spans) {
    outline_span span{SPAN_QUOTE, true, false, "", ""};
    if (word == "<<") {
        span.form = SPAN_HEREDOC;
        span.open = word;
    } else if (starts_with(word, "block:")) {
        span.form = SPAN_INDENTED_BLOCK;
        span.open = word.substr(6);
        if (span.open.size() != 1) return false;
    } else if (starts_with(word, "char:")) {
        span.form = SPAN_CHARACTER;
        span.open = span.close = word.substr(5);
        if (span.open.size() != 1) return false;
    } else {
        if (starts_with(word, "raw:")) {
            span.escapes = false;
            word.erase(0, 4);
        }
        if (split_pair(word, span)) {
            span.form = SPAN_LONG_STRING;
            if (span.close.empty()) return false;
        } else {
            span.open = span.close = word;
        }
    }
    if (span.open.empty()) return false;
    spans.push_back(span);
    return true;
}

outline_rule_made make(const char *kind, const char *first_line, const char *comments,
                       const char *strings) {
    outline_rule_made made{std::make_unique<outline_rule>(), RULE_MADE, 0};
    outline_rule &rule = *made.rule;
    std::vector<std::string> words = words_of(kind);
    if (words.empty()) return {nullptr, RULE_BAD_KIND, 0};
    if (words[0] == "braces")
        rule.kind = OUTLINE_BRACES;
    else if (words[0] == "indent")
        rule.kind = OUTLINE_INDENT;
    else if (words[0] == "headings" && words.size() > 1)
        rule.kind = OUTLINE_HEADINGS;
    else
        return {nullptr, RULE_BAD_KIND, 0};
    rule.prefixes.assign(words.begin() + 1, words.end());
    for (const std::string &w : words_of(comments))
        if (!add_comment(w, rule.spans)) return {nullptr, RULE_BAD_DELIMITER, 0};
    for (const std::string &w : words_of(strings))
        if (!add_string(w, rule.spans)) return {nullptr, RULE_BAD_DELIMITER, 0};
    if (*first_line != '\0') {
        rule.first_line.reset(ere_compile(first_line, 0, &made.ere_code));
        if (!rule.first_line)
            return {nullptr, ere_error(made.ere_code) ? RULE_BAD_EXPRESSION : RULE_NO_MEMORY,
                    made.ere_code};
    }
    return made;
}

// The rules by language id; ids are never reused.
std::vector<std::pair<int, std::unique_ptr<outline_rule>>> rules;

} // namespace

outline_rule_made outline_rule_make(const char *kind, const char *first_line, const char *comments,
                                    const char *strings) {
    try {
        return make(kind, first_line, comments, strings);
    } catch (const std::bad_alloc &) {
        return {nullptr, RULE_NO_MEMORY, 0};
    }
}

const outline_rule *outline_rule_of(const language_def *lang) {
    for (const auto &r : rules)
        if (r.first == lang->id) return r.second.get();
    return nullptr;
}

int outline_rule_set(const language_def *lang, std::unique_ptr<outline_rule> rule) {
    try {
        rules.reserve(rules.size() + 1);
    } catch (const std::bad_alloc &) {
        return 0;
    }
    std::erase_if(rules,
                  [&](const auto &r) { return r.first == lang->id || !lookup_lang_id(r.first); });
    // Within the room reserved: nothing can fail from here on.
    if (rule) rules.emplace_back(lang->id, std::move(rule));
    return 1;
}

#include <gtest/gtest.h>

#include <string>

#include "core/engine/sql_scanner.h"

using veliora::engine::SqlScanner;
using veliora::engine::SqlStretch;
using veliora::engine::StretchContent;

namespace {

// Code as it stands, every other stretch as {Q}, {B} or {C} ("~" when left open), and each
// code parenthesis followed by its depth.
std::string Shape(std::string_view sql) {
    std::string out;
    for (SqlScanner scanner(sql); !scanner.Done(); scanner.Next()) {
        const SqlStretch& s = scanner.Stretch();
        if (s.code()) {
            out += scanner.Char();
            if (scanner.Char() == '(' || scanner.Char() == ')')
                out += std::to_string(scanner.Depth());
            continue;
        }
        const char* kind = s.kind == SqlStretch::Kind::Quoted      ? "Q"
                           : s.kind == SqlStretch::Kind::Bracketed ? "B"
                                                                   : "C";
        out += std::string("{") + kind + (s.closed ? "" : "~") + "}";
    }
    return out;
}

}  // namespace

TEST(SqlScanner, StretchesAndDepth) {
    const struct {
        const char* sql;
        const char* shape;
    } cases[] = {
        {"a = 'it''s' or b = ''''", "a = {Q} or b = {Q}"},
        {"\"a\"\"b\" `c``d` 'x", "{Q} {Q} {Q~}"},
        {"[it's] [a\"b]x] [open", "{B} {B}x] {B~}"},
        {"x -- it's (\ny", "x {C}y"},
        {"x /* 'a' ( */ y /* open", "x {C} y {C~}"},
        {"'--' [/*] \"/*\"", "{Q} {B} {Q}"},
        {"f(a, (b)) ) (c", "f(0a, (1b)1)0 )0 (0c"},
        {"('(' [)] \")\")", "(0{Q} {B} {Q})0"},
        {"a -- ( \n)", "a {C})0"},
        {"- - / * -/", "- - / * -/"},
    };
    for (const auto& c : cases) EXPECT_EQ(Shape(c.sql), c.shape) << c.sql;
}

TEST(SqlScanner, ContentReadsDoubledQuotesOnce) {
    const struct {
        const char* sql;
        const char* content;
    } cases[] = {
        {"'it''s'", "it's"}, {"\"a\"\"b\"", "a\"b"}, {"`c``d`", "c`d"},
        {"[a''b]", "a''b"},  {"'open''", "open'"},   {"[open", "open"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StretchContent(c.sql, veliora::engine::StretchAt(c.sql, 0)), c.content) << c.sql;
}

// A caller that reads words itself goes on where it stopped, the depth kept.
TEST(SqlScanner, SkipToKeepsTheDepth) {
    const std::string_view sql = "(select x) 'y'";
    SqlScanner scanner(sql);
    scanner.Next();
    scanner.SkipTo(sql.find(' '));
    scanner.SkipTo(sql.find('x'));
    EXPECT_EQ(scanner.Depth(), 1);
    scanner.Next();
    EXPECT_EQ(scanner.Char(), ')');
    EXPECT_EQ(scanner.Depth(), 0);
    scanner.SkipTo(sql.find('\''));
    EXPECT_EQ(scanner.Stretch().kind, SqlStretch::Kind::Quoted);
    scanner.Next();
    EXPECT_TRUE(scanner.Done());
}

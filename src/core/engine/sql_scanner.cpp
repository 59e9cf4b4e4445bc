#include "core/engine/sql_scanner.h"

namespace veliora::engine {

namespace {

// Past the quote that closes the text opened at `at`, a doubled quote being part of it.
SqlStretch Quoted(std::string_view sql, std::size_t at) {
    const char quote = sql[at];
    std::size_t end = at + 1;
    while (end < sql.size()) {
        if (sql[end] == quote) {
            if (end + 1 < sql.size() && sql[end + 1] == quote) {
                end += 2;
                continue;
            }
            return {SqlStretch::Kind::Quoted, at, end + 1, true};
        }
        ++end;
    }
    return {SqlStretch::Kind::Quoted, at, sql.size(), false};
}

// Up to and including `mark` searched from `from`; the rest of the text when it is absent.
SqlStretch UpTo(std::string_view sql, std::size_t at, std::size_t from, std::string_view mark,
                SqlStretch::Kind kind) {
    const std::size_t found = sql.find(mark, from);
    if (found == std::string_view::npos)
        return {kind, at, sql.size(), false};
    return {kind, at, found + mark.size(), true};
}

}  // namespace

SqlStretch StretchAt(std::string_view sql, std::size_t at) {
    const char c = sql[at];
    const char next = at + 1 < sql.size() ? sql[at + 1] : '\0';
    if (c == '\'' || c == '"' || c == '`')
        return Quoted(sql, at);
    if (c == '[')
        return UpTo(sql, at, at + 1, "]", SqlStretch::Kind::Bracketed);
    if (c == '-' && next == '-') {
        SqlStretch line = UpTo(sql, at, at + 2, "\n", SqlStretch::Kind::Comment);
        line.closed = true;
        return line;
    }
    if (c == '/' && next == '*')
        return UpTo(sql, at, at + 2, "*/", SqlStretch::Kind::Comment);
    return {SqlStretch::Kind::Code, at, at + 1, true};
}

std::string StretchContent(std::string_view sql, const SqlStretch& stretch) {
    if (stretch.code() || stretch.kind == SqlStretch::Kind::Comment)
        return std::string(stretch.text(sql));
    const std::size_t from = stretch.begin + 1;
    const std::size_t to = stretch.closed ? stretch.end - 1 : stretch.end;
    const std::string_view inside = sql.substr(from, to > from ? to - from : 0);
    if (stretch.kind == SqlStretch::Kind::Bracketed)
        return std::string(inside);
    const char quote = sql[stretch.begin];
    std::string out;
    out.reserve(inside.size());
    for (std::size_t i = 0; i < inside.size(); ++i) {
        out += inside[i];
        if (inside[i] == quote)
            ++i;  // inside a quoted text a quote comes doubled
    }
    return out;
}

void SqlScanner::SkipTo(std::size_t position) {
    if (!Done() && current_.code() && Char() == '(')
        ++depth_;
    Read(position);
}

void SqlScanner::Read(std::size_t position) {
    if (position >= sql_.size()) {
        current_ = {SqlStretch::Kind::Code, sql_.size(), sql_.size(), true};
        return;
    }
    current_ = StretchAt(sql_, position);
    if (current_.code() && Char() == ')' && depth_ > 0)
        --depth_;
}

}  // namespace veliora::engine

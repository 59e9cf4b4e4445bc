#pragma once
// One reading of SQL text for whoever walks it: which stretches are code and which are
// quoted texts, bracketed names or comments, and how deep in parentheses the code stands.
// Quotes ('..', "..", `..`) hold their own quote doubled; a bracketed name ends at the first
// ']'; a comment runs from "--" to the end of the line or from "/*" to "*/". A stretch left
// open runs to the end of the text.

#include <cstddef>
#include <string>
#include <string_view>

namespace veliora::engine {

struct SqlStretch {
    enum class Kind { Code, Quoted, Bracketed, Comment };
    Kind kind = Kind::Code;
    std::size_t begin = 0, end = 0;  // [begin, end) in the text, quotes and marks included
    // Whether the closing quote, bracket or "*/" was found (a line comment always ends).
    bool closed = true;

    bool code() const { return kind == Kind::Code; }
    std::string_view text(std::string_view sql) const { return sql.substr(begin, end - begin); }
};

// The stretch that begins at `at` (inside the text): a whole quoted text, bracketed name or
// comment, or else the one character of code there.
SqlStretch StretchAt(std::string_view sql, std::size_t at);

// What a quoted or bracketed stretch holds, without its marks and with a doubled quote
// read as one.
std::string StretchContent(std::string_view sql, const SqlStretch& stretch);

// Walks the text stretch by stretch, code one character at a time.
class SqlScanner {
  public:
    explicit SqlScanner(std::string_view sql) : sql_(sql) { Read(0); }

    bool Done() const { return current_.begin >= sql_.size(); }
    const SqlStretch& Stretch() const { return current_; }
    // The character of code (the first character of any other stretch).
    char Char() const { return sql_[current_.begin]; }
    // Parentheses open around the current stretch. A parenthesis stands at the level
    // outside it; one closed without being opened leaves the depth at zero.
    int Depth() const { return depth_; }

    void Next() { SkipTo(current_.end); }
    // Goes on at `position`, the caller having read the code before it (words, numbers:
    // nothing that opens or closes a parenthesis).
    void SkipTo(std::size_t position);

  private:
    void Read(std::size_t position);

    std::string_view sql_;
    SqlStretch current_;
    int depth_ = 0;
};

}  // namespace veliora::engine

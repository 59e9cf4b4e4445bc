// Joins on text keys that keep the file's indexes. A view's text column compares ignoring
// letter case, which no index of the file serves: an equality between two such columns ran
// as a nested loop or built a temporary index of the whole table. When every value of both
// columns is printable ASCII with letters of one case at most, two of their values compare
// equal ignoring case exactly when their bytes are equal, so the equality is compiled as a
// byte comparison, which the engine plans with the index. What each column holds is read
// once per connection, and only for columns an index leads with.
#include <sqlite3.h>

#include <cctype>
#include <optional>
#include <set>

#include "core/engine/connection.h"
#include "core/engine/sql_scanner.h"

namespace veliora::engine {

namespace {

struct Token {
    enum class Kind { Word, Name, Text, Symbol } kind;
    std::string text;   // words in ASCII lower case, names as written inside their quotes
    std::size_t begin;  // where the token begins and ends in the statement
    std::size_t end;
};

bool WordChar(unsigned char ch) {
    return std::isalnum(ch) || ch == '_' || ch == '$' || ch >= 0x80;
}

std::vector<Token> Tokens(std::string_view sql) {
    std::vector<Token> tokens;
    SqlScanner scan(sql);
    while (!scan.Done()) {
        const SqlStretch& s = scan.Stretch();
        if (s.kind == SqlStretch::Kind::Quoted || s.kind == SqlStretch::Kind::Bracketed) {
            const bool text = sql[s.begin] == '\'';
            tokens.push_back({text ? Token::Kind::Text : Token::Kind::Name, StretchContent(sql, s),
                              s.begin, s.end});
        } else if (s.code() && WordChar(static_cast<unsigned char>(scan.Char()))) {
            std::size_t end = s.begin;
            while (end < sql.size() && WordChar(static_cast<unsigned char>(sql[end]))) ++end;
            tokens.push_back(
                {Token::Kind::Word, LowerAscii(sql.substr(s.begin, end - s.begin)), s.begin, end});
            scan.SkipTo(end);
            continue;
        } else if (s.code() && !std::isspace(static_cast<unsigned char>(scan.Char()))) {
            tokens.push_back({Token::Kind::Symbol, std::string(1, scan.Char()), s.begin, s.end});
        }
        scan.Next();
    }
    return tokens;
}

bool IsWord(const Token& t, std::initializer_list<std::string_view> words) {
    if (t.kind != Token::Kind::Word)
        return false;
    for (std::string_view w : words)
        if (t.text == w)
            return true;
    return false;
}

bool IsSymbol(const Token& t, char c) {
    return t.kind == Token::Kind::Symbol && t.text[0] == c;
}

bool IsIdentifier(const Token& t) {
    return t.kind == Token::Kind::Name || t.kind == Token::Kind::Word;
}

// Words that end a table's mention in a from clause rather than name its alias.
bool EndsMention(const Token& t) {
    return IsWord(t, {"where",  "on",        "join",   "inner",  "left",  "right",   "full",
                      "cross",  "natural",   "outer",  "group",  "order", "limit",   "union",
                      "except", "intersect", "having", "window", "using", "indexed", "not"});
}

// The table each name used as a qualifier stands for, when it stands for one alone.
std::map<std::string, std::set<std::string>> Qualifiers(const Connection& c,
                                                        const std::vector<Token>& tokens) {
    std::map<std::string, std::set<std::string>> found;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (!IsIdentifier(tokens[i]) || (i > 0 && IsSymbol(tokens[i - 1], '.')) ||
            (i + 1 < tokens.size() && IsSymbol(tokens[i + 1], '.')))
            continue;
        const auto table = c.userTables.find(LowerAscii(tokens[i].text));
        if (table == c.userTables.end())
            continue;
        found[table->first].insert(table->second);
        std::size_t alias = i + 1;
        if (alias < tokens.size() && IsWord(tokens[alias], {"as"}))
            ++alias;
        if (alias < tokens.size() && IsIdentifier(tokens[alias]) && !EndsMention(tokens[alias]))
            found[LowerAscii(tokens[alias].text)].insert(table->second);
    }
    return found;
}

// Whether an index of the file leads with the column, comparing bytes.
bool Indexed(Connection& c, const std::string& table, const std::string& column) {
    Error err;
    return !Rows(c,
                 "SELECT 1 FROM pragma_index_list(?1, 'main') l, pragma_index_xinfo(l.name, "
                 "'main') x WHERE x.seqno = 0 AND x.name = ?2 COLLATE NOCASE AND x.coll = "
                 "'BINARY'",
                 {Value::Text(table), Value::Text(column)}, err)
                .empty();
}

// Notes what one text holds.
void Note(Connection::TextColumn& found, std::string_view text) {
    for (std::size_t k = 0; k < text.size() && found.plain; ++k) {
        const unsigned char ch = static_cast<unsigned char>(text[k]);
        found.plain = ch >= 0x20 && ch <= 0x7e;
        found.lower |= ch >= 'a' && ch <= 'z';
        found.upper |= ch >= 'A' && ch <= 'Z';
    }
}

// The statement that reads the column. Over an index that orders it as the column compares
// (`ordered`), values come in order with their copies side by side, and ?1 lets the reading
// seek past a value.
std::string ColumnReading(Connection& c, const std::string& table, const std::string& column,
                          bool indexed, bool& ordered) {
    const char* collation = nullptr;
    ordered = indexed &&
              sqlite3_table_column_metadata(c.db, "main", table.c_str(), column.c_str(), nullptr,
                                            &collation, nullptr, nullptr, nullptr) == SQLITE_OK &&
              collation && std::string_view(collation) == "BINARY";
    const std::string name = QuoteSql(column, '"');
    std::string sql = "SELECT " + name + " FROM main." + QuoteSql(table, '"');
    if (ordered)
        sql += " WHERE " + name + " > ?1 ORDER BY " + name;
    return sql;
}

// What the column's texts hold, read once: every byte printable ASCII, and which cases of
// letters appear. Over an index, past a run of copies of one value the reading seeks to the
// next value: a key repeated hundreds of times costs a seek instead of as many steps. A seek
// is the other of two statements starting past the value while the first still runs, so that
// the reading stays one read transaction (a statement reset ends it, and the next begins
// another, at the cost of locking and checking the file again).
const Connection::TextColumn& ReadColumn(Connection& c, const std::string& table,
                                         const std::string& column, bool indexed) {
    constexpr int kCopies = 32;
    const auto key = std::make_pair(LowerAscii(table), LowerAscii(column));
    const auto known = c.textColumns.find(key);
    if (known != c.textColumns.end())
        return known->second;
    Connection::TextColumn found;
    InternalScope internal(c);
    bool ordered = false;
    const std::string sql = ColumnReading(c, table, column, indexed, ordered);
    sqlite3_stmt* stmt[2] = {nullptr, nullptr};
    for (int i = 0; i < (ordered ? 2 : 1); ++i)
        found.plain = sqlite3_prepare_v2(c.db, sql.c_str(), -1, &stmt[i], nullptr) == SQLITE_OK;
    int now = 0;  // the statement being stepped
    // Every text but the empty one, which holds nothing to note.
    if (ordered)
        sqlite3_bind_text(stmt[now], 1, "", 0, SQLITE_STATIC);
    std::string previous;
    int copies = -1;  // of `previous` in a row; -1 before the first text
    // One lock for the whole reading rather than one per call.
    sqlite3_mutex_enter(sqlite3_db_mutex(c.db));
    int rc = found.plain ? sqlite3_step(stmt[now]) : SQLITE_DONE;
    for (; found.plain && rc == SQLITE_ROW; rc = sqlite3_step(stmt[now])) {
        // The value's own accessors, unlike the statement's, take no lock.
        sqlite3_value* value = sqlite3_column_value(stmt[now], 0);
        if (sqlite3_value_type(value) != SQLITE_TEXT)
            continue;
        std::string_view text(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                              std::size_t(sqlite3_value_bytes(value)));
        if (ordered && copies >= 0 && text == previous) {
            if (++copies < kCopies)
                continue;
            const int before = now;
            now = 1 - now;
            sqlite3_bind_text(stmt[now], 1, previous.data(), int(previous.size()),
                              SQLITE_TRANSIENT);
            rc = sqlite3_step(stmt[now]);
            sqlite3_reset(stmt[before]);
            if (rc != SQLITE_ROW)
                break;
            value = sqlite3_column_value(stmt[now], 0);
            if (sqlite3_value_type(value) != SQLITE_TEXT)
                continue;
            text = {reinterpret_cast<const char*>(sqlite3_value_text(value)),
                    std::size_t(sqlite3_value_bytes(value))};
        }
        Note(found, text);
        if (ordered) {
            previous.assign(text);
            copies = 0;
        }
    }
    sqlite3_mutex_leave(sqlite3_db_mutex(c.db));
    for (sqlite3_stmt* st : stmt) sqlite3_finalize(st);
    // Stopped by the time limit: unknown, asked again next time.
    static const Connection::TextColumn unknown;
    if (rc == SQLITE_INTERRUPT)
        return unknown;
    found.plain = found.plain && rc == SQLITE_DONE;
    return c.textColumns[key] = found;
}

// Whether ignoring case changes no comparison between values of the two columns.
bool BytesDecide(Connection& c, const std::string& t1, const std::string& c1, const std::string& t2,
                 const std::string& c2) {
    const bool indexed1 = Indexed(c, t1, c1), indexed2 = Indexed(c, t2, c2);
    if (!indexed1 && !indexed2)
        return false;
    const Connection::TextColumn& a = ReadColumn(c, t1, c1, indexed1);
    if (!a.plain)
        return false;
    const Connection::TextColumn& b = ReadColumn(c, t2, c2, indexed2);
    return b.plain && (!(a.lower || b.lower) || !(a.upper || b.upper));
}

// A change to the statement: `length` characters at `at` replaced by `text`.
struct Edit {
    std::size_t at, length;
    std::string text;
};

bool OpensCondition(const Token& before) {
    return IsWord(before, {"where", "on", "and", "or", "not", "having"}) || IsSymbol(before, '(');
}

// Whether a condition ends at token `at` (past the end included).
bool ClosesCondition(const std::vector<Token>& t, std::size_t at) {
    return at == t.size() || IsSymbol(t[at], ')') || IsSymbol(t[at], ';') || IsSymbol(t[at], ',') ||
           (EndsMention(t[at]) && !IsWord(t[at], {"not", "indexed"})) ||
           IsWord(t[at], {"and", "or"});
}

// The literal, quoted, that an indexed column holding printable ASCII texts with letters of
// one case at most equals byte for byte exactly when it equals `text` ignoring case: `text`
// in that case. None when there is none (the column is not such, or `text` is not printable
// ASCII: another script's letters may equal ASCII ones ignoring case).
std::optional<std::string> LookupLiteral(Connection& c, const std::string& table,
                                         const std::string& column, const std::string& text) {
    for (unsigned char ch : text)
        if (ch < 0x20 || ch > 0x7e)
            return std::nullopt;
    if (!Indexed(c, table, column))
        return std::nullopt;
    const Connection::TextColumn& held = ReadColumn(c, table, column, true);
    if (!held.plain || (held.lower && held.upper))
        return std::nullopt;
    std::string literal = "'";
    for (char ch : text) {
        literal += held.upper ? char(std::toupper(static_cast<unsigned char>(ch)))
                              : char(std::tolower(static_cast<unsigned char>(ch)));
        if (ch == '\'')
            literal += '\'';
    }
    literal += '\'';
    return literal;
}

}  // namespace

std::string KeepIndexesInTextJoins(Connection& c, const std::string& sql) {
    if (c.userTables.empty())
        return sql;
    const std::vector<Token> t = Tokens(sql);
    // A common table expression or a subquery in FROM may take a table's name, and hold
    // other texts than the table's.
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (IsWord(t[i], {"with"}))
            return sql;
        const std::size_t name = i + (i + 1 < t.size() && IsWord(t[i + 1], {"as"}) ? 2 : 1);
        if (IsSymbol(t[i], ')') && name < t.size() && IsIdentifier(t[name]) &&
            c.userTables.count(LowerAscii(t[name].text)))
            return sql;
    }
    const auto qualifiers = Qualifiers(c, t);
    auto tableOf = [&](const Token& q) -> const std::string* {
        const auto found = qualifiers.find(LowerAscii(q.text));
        return found != qualifiers.end() && found->second.size() == 1 ? &*found->second.begin()
                                                                      : nullptr;
    };
    std::vector<Edit> edits;
    for (std::size_t i = 1; i + 4 < t.size(); ++i) {
        // q1 . c1 = ..., where a condition begins.
        if (!(IsIdentifier(t[i]) && IsSymbol(t[i + 1], '.') && IsIdentifier(t[i + 2]) &&
              IsSymbol(t[i + 3], '=') && OpensCondition(t[i - 1])))
            continue;
        const std::string* left = tableOf(t[i]);
        if (!left)
            continue;
        if (i + 6 < t.size() && IsIdentifier(t[i + 4]) && IsSymbol(t[i + 5], '.') &&
            IsIdentifier(t[i + 6])) {
            // ... q2 . c2
            const std::string* right = tableOf(t[i + 4]);
            if (ClosesCondition(t, i + 7) && right &&
                BytesDecide(c, *left, t[i + 2].text, *right, t[i + 6].text)) {
                edits.push_back({t[i + 2].end, 0, " COLLATE BINARY"});
                edits.push_back({t[i + 6].end, 0, " COLLATE BINARY"});
            }
        } else if (t[i + 4].kind == Token::Kind::Text) {
            // ... 'text' [COLLATE name]
            std::size_t after = i + 5;
            // The collation the dialect gives compared literals; another one, the user's own,
            // decides the comparison and is left alone.
            if (after + 1 < t.size() && IsWord(t[after], {"collate"}) &&
                IsWord(t[after + 1], {kCollation}))
                after += 2;
            std::optional<std::string> literal;
            if (ClosesCondition(t, after))
                literal = LookupLiteral(c, *left, t[i + 2].text, t[i + 4].text);
            if (literal) {
                edits.push_back({t[i + 2].end, 0, " COLLATE BINARY"});
                edits.push_back({t[i + 4].begin, t[i + 4].end - t[i + 4].begin, *literal});
            }
        }
    }
    std::string out = sql;
    for (auto e = edits.rbegin(); e != edits.rend(); ++e) out.replace(e->at, e->length, e->text);
    return out;
}

}  // namespace veliora::engine

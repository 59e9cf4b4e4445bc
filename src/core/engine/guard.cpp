// The guard every statement passes: what a statement may do (the authorizer and the
// refusal of writes), what it may build (limits), and how long it may run (the deadline,
// the time limit and the interrupt).
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <mutex>

#include "core/engine/connection.h"
#include "core/engine/sql_scanner.h"

namespace veliora::engine {

namespace {

constexpr int kMaxValueBytes = 32 << 20;  // longest text or blob a statement may build or read
constexpr int kMaxPatternBytes = 1000;    // longest LIKE/GLOB pattern
constexpr std::int64_t kHeapHeadroom = 256 << 20;

Error RefusalError(std::string_view sql) {
    return Failure(Code::Refused, {}, std::string(sql));
}

// The engine reports a statement it cannot parse as a plain error: its message tells.
bool IsSyntaxMessage(const std::string& m) {
    return m == "incomplete input" || m.rfind("unrecognized token", 0) == 0 ||
           (m.rfind("near ", 0) == 0 && m.find(": syntax error") != std::string::npos);
}

Code CodeOf(int number, const std::string& message) {
    switch (number) {
        case SQLITE_TOOBIG:
            return Code::TooBig;
        case SQLITE_NOMEM:
            return Code::EngineMemory;
        case SQLITE_INTERRUPT:
            return Code::Interrupted;
        default:
            return IsSyntaxMessage(message) ? Code::Syntax : Code::Engine;
    }
}

int ProgressHandler(void* p) {
    auto* c = static_cast<Connection*>(p);
    if (c->PastAbsoluteDeadline())
        return 1;
    if (!c->armed)
        return 0;
    const auto now = std::chrono::steady_clock::now();
    if (c->deadline == std::chrono::steady_clock::time_point{})
        c->deadline = now + c->limits.timeout;  // a forward-only step's limit starts here
    return now > c->deadline ? 1 : 0;
}

// Functions that hand native pointers to or from a statement: a registered tokenizer
// pointer is a route to running foreign code, and reading one leaks an address.
bool HandlesNativePointers(const char* function) {
    if (!function)
        return false;
    const std::string name = LowerAscii(function);
    return name == "fts3_tokenizer" || name == "fts5" || name == "load_extension";
}

// Statements typed by a person may only read. On every connection, no statement may call a
// function that passes native pointers.
int Authorizer(void* p, int action, const char* arg1, const char* arg2, const char* schema,
               const char*) {
    auto* c = static_cast<Connection*>(p);
    if (action == SQLITE_READ && c->noteReads && arg1 && arg2 && *arg2 && schema &&
        std::string_view(schema) == "main") {
        std::pair<std::string, std::string> read{arg1, arg2};
        if (std::find(c->reads.begin(), c->reads.end(), read) == c->reads.end())
            c->reads.push_back(std::move(read));
    }
    if (action == SQLITE_FUNCTION && HandlesNativePointers(arg2))
        return SQLITE_DENY;
    if (c->internal || c->kind != Database::Kind::User)
        return SQLITE_OK;
    switch (action) {
        case SQLITE_SELECT:
        case SQLITE_READ:
        case SQLITE_FUNCTION:
        case SQLITE_RECURSIVE:
            return SQLITE_OK;
        default:
            return SQLITE_DENY;
    }
}

// Where the text after blanks, comments and any of `skipped` begins; npos inside an
// unterminated comment.
std::size_t SkipNoise(std::string_view s, std::string_view skipped) {
    std::size_t i = 0;
    while (i < s.size()) {
        const SqlStretch stretch = StretchAt(s, i);
        if (stretch.kind == SqlStretch::Kind::Comment) {
            if (!stretch.closed)
                return std::string_view::npos;
            i = stretch.end;
        } else if (stretch.code() && (std::isspace(static_cast<unsigned char>(s[i])) ||
                                      skipped.find(s[i]) != skipped.npos)) {
            ++i;
        } else {
            break;
        }
    }
    return i;
}

// Whether the rest of a statement is only blanks, comments and semicolons.
bool OnlyTrailingNoise(const char* tail) {
    std::string_view s(tail ? tail : "");
    return SkipNoise(s, ";") == s.size();
}

// Whether a statement begins with a keyword that changes something. Refused before the
// engine compiles it, so that a write on a table shadowed by its case-insensitive view
// never reports the view.
bool StartsWithWrite(std::string_view sql) {
    std::size_t i = SkipNoise(sql, "(");
    if (i == std::string_view::npos)
        return false;
    std::size_t end = i;
    while (end < sql.size() &&
           (std::isalpha(static_cast<unsigned char>(sql[end])) || sql[end] == '_'))
        ++end;
    static const char* const kWrites[] = {"insert", "update",   "delete",    "replace", "create",
                                          "drop",   "alter",    "attach",    "detach",  "pragma",
                                          "vacuum", "reindex",  "analyze",   "begin",   "commit",
                                          "end",    "rollback", "savepoint", "release"};
    const std::string word = LowerAscii(sql.substr(i, end - i));
    return std::any_of(std::begin(kWrites), std::end(kWrites),
                       [&](const char* w) { return word == w; });
}

// Every engine allocation is held by one process-wide limit: the largest recordset budget
// set so far, plus room for the program's own connections and for values being built.
void HoldEngineHeap(std::size_t budget) {
    static std::mutex mutex;
    static std::int64_t largest = 0;
    const auto wanted = std::int64_t(std::min<std::size_t>(budget, std::size_t(1) << 50));
    std::lock_guard<std::mutex> lock(mutex);
    if (wanted <= largest)
        return;
    largest = wanted;
    sqlite3_hard_heap_limit64(largest + kHeapHeadroom);
}

// instr as the engine has it (character position in texts, byte position in blobs), but

}  // namespace

Error EngineFailure(int rc, std::string message, std::string_view sql) {
    Error e;
    e.engineCode = rc & 0xff;
    if (e.engineCode == SQLITE_ERROR && message.find("pattern too complex") != std::string::npos)
        e.engineCode = SQLITE_TOOBIG;
    e.code = CodeOf(e.engineCode, message);
    e.engineMessage = std::move(message);
    e.sql = std::string(sql);
    return e;
}

Error ErrorOf(sqlite3* db, int rc, std::string_view sql) {
    return EngineFailure(rc, db ? sqlite3_errmsg(db) : sqlite3_errstr(rc), sql);
}

Error TooBigError(Connection& c, const std::vector<std::pair<std::string, std::string>>& reads,
                  std::string_view sql) {
    for (const auto& [table, column] : reads) {
        // Reading the whole value is what the limit refuses.
        Error e;
        Rows(c,
             "SELECT count(CAST(" + QuoteSql(column, '"') + " AS BLOB)) FROM main." +
                 QuoteSql(table, '"'),
             {}, e);
        if (e.code == Code::TooBig) {
            Error stored = Failure(Code::StoredTooBig, table + "." + column, std::string(sql));
            stored.amount = kMaxValueBytes >> 20;
            return stored;
        }
    }
    return ErrorOf(c.db, SQLITE_TOOBIG, sql);
}

Error MemoryLimitError(const Limits& limits, std::string_view sql) {
    return FailureWith(Code::MemoryLimit, std::int64_t(limits.maxBytes), std::string(sql));
}

Error TimeLimitError(const Limits& limits, std::string_view sql) {
    return FailureWith(Code::TimeLimit, limits.timeout.count(), std::string(sql));
}

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Compiles one statement, refusing text after it. Returns null and fills err on failure.
sqlite3_stmt* Compile(Connection& c, std::string_view sql, Error& err, bool toRun) {
    const std::string translated = TranslateDialect(sql);
    const bool guarded = c.kind == Database::Kind::User && !c.internal;
    if (guarded && StartsWithWrite(translated)) {
        err = RefusalError(sql);
        return nullptr;
    }
    if (!CreatePendingViews(c, err))
        return nullptr;
    const std::string compiled =
        guarded && toRun ? KeepIndexesInTextJoins(c, translated) : translated;
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    c.reads.clear();
    c.noteReads = true;
    int rc = sqlite3_prepare_v2(c.db, compiled.c_str(), int(compiled.size()), &stmt, &tail);
    c.noteReads = false;
    if (rc != SQLITE_OK) {
        err = ErrorOf(c.db, rc, sql);
        // A write hidden after WITH still meets the views first; a refused function is
        // reported by the engine as a plain error.
        const std::string& text = err.engineMessage;
        if (err.engineCode == SQLITE_AUTH || text.rfind("not authorized", 0) == 0 ||
            (guarded && text.find("because it is a view") != std::string::npos))
            err = RefusalError(sql);
        sqlite3_finalize(stmt);
        return nullptr;
    }
    if (!stmt) {
        err = Failure(Code::Empty, {}, std::string(sql));
        return nullptr;
    }
    if (!OnlyTrailingNoise(tail)) {
        sqlite3_finalize(stmt);
        err = Failure(Code::SeveralStatements, {}, std::string(sql));
        return nullptr;
    }
    if (guarded && !sqlite3_stmt_readonly(stmt)) {
        sqlite3_finalize(stmt);
        err = RefusalError(sql);
        return nullptr;
    }
    return stmt;
}

// What one statement may build. A text or blob over 32 MiB ends the statement with
// SQLITE_TOOBIG (stored values included: a teaching database holds no such value), long
// LIKE/GLOB patterns too, since their matching time grows with the pattern.
void BoundStatements(sqlite3* db) {
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kMaxValueBytes);
    sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, 1'000'000);
    sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, kMaxPatternBytes);
    sqlite3_limit(db, SQLITE_LIMIT_VARIABLE_NUMBER, 32766);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
}

void GuardConnection(Connection& c) {
    BoundStatements(c.db);
    HoldEngineHeap(c.limits.maxBytes);
    sqlite3_progress_handler(c.db, 1000, ProgressHandler, &c);
    sqlite3_set_authorizer(c.db, Authorizer, &c);
}

void Database::SetLimits(const Limits& limits) {
    HoldEngineHeap(limits.maxBytes);
    if (conn_)
        conn_->limits = limits;
}

void Database::SetDeadline(std::chrono::steady_clock::time_point deadline) {
    // Never 0, which means "none".
    if (conn_)
        conn_->absolute.store(
            std::max<std::chrono::steady_clock::rep>(deadline.time_since_epoch().count(), 1));
}

void Database::ClearDeadline() {
    if (conn_)
        conn_->absolute.store(0);
}

void Database::Interrupt() {
    // Through the progress handler, not sqlite3_interrupt: the engine's own interrupt stays
    // in force while any statement of the connection is active, so a grid's half-read
    // result would fail every later statement.
    if (conn_)
        conn_->interrupted.store(true);
}

void Database::ResetInterrupt() {
    if (conn_)
        conn_->interrupted.store(false);
}
const Limits& Database::limits() const {
    static const Limits kDefault;
    return conn_ ? conn_->limits : kDefault;
}

}  // namespace veliora::engine

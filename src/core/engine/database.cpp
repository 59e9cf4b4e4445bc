#include "core/engine/database.h"

#include <sqlite3.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

namespace veliora::engine {

// One SQLite connection with what the guard and the time limit need.
class Connection {
  public:
    sqlite3* db = nullptr;
    Database::Kind kind = Database::Kind::Auxiliary;
    Limits limits;
    // While set, the progress handler interrupts the statement after this instant.
    std::chrono::steady_clock::time_point deadline{};
    bool armed = false;
    // Database::SetDeadline, as steady-clock ticks; 0 when none.
    std::atomic<std::chrono::steady_clock::rep> absolute{0};
    // Database::Interrupt: every step fails until ResetInterrupt.
    std::atomic<bool> interrupted{false};
    // A private in-memory connection that runs the engine's own printf once its output is
    // known to fit (see BoundedPrintf), with one statement per argument count.
    sqlite3* printfDb = nullptr;
    std::map<int, sqlite3_stmt*> printfStatements;
    // A folder of the program's own holding the file actually opened (see CopyWithLog),
    // removed on closing.
    std::filesystem::path privateFolder;
    // The program's own schema queries on the user database bypass the guard.
    bool internal = false;
    // An in-memory copy made by OpenMemoryCopy: the program may write its data.
    bool memoryCopy = false;
    UCollator* collator = nullptr;

    ~Connection() {
        for (auto& [n, stmt] : printfStatements) sqlite3_finalize(stmt);
        if (printfDb)
            sqlite3_close_v2(printfDb);
        if (db)
            sqlite3_close_v2(db);
        std::error_code ec;
        if (!privateFolder.empty())
            std::filesystem::remove_all(privateFolder, ec);
    }

    bool PastAbsoluteDeadline() const {
        if (interrupted.load(std::memory_order_relaxed))
            return true;
        auto ticks = absolute.load(std::memory_order_relaxed);
        return ticks != 0 && std::chrono::steady_clock::now().time_since_epoch().count() > ticks;
    }
};

namespace {

constexpr std::string_view kCollation = "es_ci";

EngineError MakeError(int number, std::string description, std::string_view sql = {}) {
    return {number, std::move(description), std::string(sql)};
}

constexpr int kMaxValueBytes = 32 << 20;  // longest text or blob a statement may build or read
constexpr int kMaxPatternBytes = 1000;    // longest LIKE/GLOB pattern
constexpr std::int64_t kHeapHeadroom = 256 << 20;
constexpr const char* kRefusal = "Sentencia no permitida: solo se pueden ejecutar consultas";

// Engine failures that mean "too much memory" keep one number per reason and a message
// that says so; the rest keep the engine's own text.
EngineError ErrorOf(sqlite3* db, int rc, std::string_view sql) {
    std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    int number = rc & 0xff;
    if (number == SQLITE_ERROR && message.find("pattern too complex") != std::string::npos)
        number = SQLITE_TOOBIG;
    if (number == SQLITE_TOOBIG)
        message =
            "La consulta supera el límite de memoria: construye un texto, un valor o un "
            "patrón demasiado grande (" +
            message + ")";
    else if (number == SQLITE_NOMEM)
        message =
            "La consulta supera el límite de memoria del motor de base de datos (" + message + ")";
    return MakeError(number, message, sql);
}

EngineError MemoryBudgetError(const Limits& limits, std::string_view sql) {
    char buf[200];
    std::snprintf(buf, sizeof buf,
                  "La consulta ha superado la memoria máxima permitida (%zu MiB) y se ha "
                  "detenido",
                  limits.maxBytes >> 20);
    return MakeError(SQLITE_NOMEM, buf, sql);
}

EngineError TimeoutError(const Limits& limits, std::string_view sql) {
    auto seconds = limits.timeout.count() / 1000.0;
    char buf[200];
    std::snprintf(buf, sizeof buf,
                  "La consulta ha superado el tiempo máximo de ejecución (%g s) y se ha "
                  "interrumpido",
                  seconds);
    return MakeError(SQLITE_INTERRUPT, buf, sql);
}

// Arms the time limit for one operation; nested scopes keep the outer deadline.
class DeadlineScope {
  public:
    explicit DeadlineScope(Connection& c) : c_(c), owner_(!c.armed) {
        if (owner_) {
            c_.deadline = std::chrono::steady_clock::now() + c_.limits.timeout;
            c_.armed = true;
        }
    }
    ~DeadlineScope() {
        if (owner_)
            c_.armed = false;
    }

  private:
    Connection& c_;
    bool owner_;
};

class InternalScope {
  public:
    explicit InternalScope(Connection& c) : c_(c), previous_(c.internal) { c_.internal = true; }
    ~InternalScope() { c_.internal = previous_; }

  private:
    Connection& c_;
    bool previous_;
};

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
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
int Authorizer(void* p, int action, const char*, const char* arg2, const char*, const char*) {
    auto* c = static_cast<Connection*>(p);
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

int CollateSpanish(void* p, int alen, const void* a, int blen, const void* b) {
    UErrorCode status = U_ZERO_ERROR;
    UCollationResult r = ucol_strcollUTF8(static_cast<UCollator*>(p), static_cast<const char*>(a),
                                          alen, static_cast<const char*>(b), blen, &status);
    if (U_FAILURE(status)) {
        int n = std::memcmp(a, b, std::size_t(std::min(alen, blen)));
        return n != 0 ? n : alen - blen;
    }
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

void CaseFunction(sqlite3_context* ctx, int, sqlite3_value** argv, bool lower) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const char* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    std::string_view in(text ? text : "", std::size_t(sqlite3_value_bytes(argv[0])));
    std::string out = lower ? LowerText(in) : UpperText(in);
    sqlite3_result_text(ctx, out.data(), int(out.size()), SQLITE_TRANSIENT);
}

void LowerFunction(sqlite3_context* ctx, int n, sqlite3_value** argv) {
    CaseFunction(ctx, n, argv, true);
}
void UpperFunction(sqlite3_context* ctx, int n, sqlite3_value** argv) {
    CaseFunction(ctx, n, argv, false);
}

std::string QuoteIdentifier(std::string_view name) {
    return QuoteSql(name, '"');
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return LowerText(a) < LowerText(b);
}

bool IsTextType(int code) {
    return code == TypeCode::Text || code == TypeCode::Memo || code == TypeCode::Char;
}

// Where the text after blanks, comments and any of `skipped` begins; npos inside an
// unterminated comment.
std::size_t SkipNoise(std::string_view s, std::string_view skipped) {
    std::size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (std::isspace(static_cast<unsigned char>(c)) || skipped.find(c) != skipped.npos) {
            ++i;
        } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            std::size_t end = s.find('\n', i);
            i = end == std::string_view::npos ? s.size() : end + 1;
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            std::size_t end = s.find("*/", i + 2);
            if (end == std::string_view::npos)
                return std::string_view::npos;
            i = end + 2;
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

bool LooksLikeIsoDate(std::string_view s) {
    auto digits = [&](std::size_t from, std::size_t n) {
        for (std::size_t k = from; k < from + n; ++k)
            if (k >= s.size() || !std::isdigit(static_cast<unsigned char>(s[k])))
                return false;
        return true;
    };
    if (s.size() != 10 && s.size() != 19)
        return false;
    if (!digits(0, 4) || s[4] != '-' || !digits(5, 2) || s[7] != '-' || !digits(8, 2))
        return false;
    if (s.size() == 10)
        return true;
    return s[10] == ' ' && digits(11, 2) && s[13] == ':' && digits(14, 2) && s[16] == ':' &&
           digits(17, 2);
}

// Compiles one statement, refusing text after it. Returns null and fills err on failure.
sqlite3_stmt* Compile(Connection& c, std::string_view sql, EngineError& err) {
    const std::string translated = TranslateDialect(sql);
    const bool guarded = c.kind == Database::Kind::User && !c.internal;
    if (guarded && StartsWithWrite(translated)) {
        err = MakeError(SQLITE_AUTH, kRefusal, sql);
        return nullptr;
    }
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(c.db, translated.c_str(), int(translated.size()), &stmt, &tail);
    if (rc != SQLITE_OK) {
        err = ErrorOf(c.db, rc, sql);
        // A write hidden after WITH still meets the views first; a refused function is
        // reported by the engine as a plain error.
        const std::string& text = err.description;
        if (err.number == SQLITE_AUTH || text.rfind("not authorized", 0) == 0 ||
            (guarded && text.find("because it is a view") != std::string::npos))
            err = MakeError(SQLITE_AUTH, kRefusal, sql);
        sqlite3_finalize(stmt);
        return nullptr;
    }
    if (!stmt) {
        err = MakeError(SQLITE_ERROR, std::string(kMensajeConsultaVacia), sql);
        return nullptr;
    }
    if (!OnlyTrailingNoise(tail)) {
        sqlite3_finalize(stmt);
        err = MakeError(SQLITE_ERROR, std::string(kMensajeVariasSentencias), sql);
        return nullptr;
    }
    if (guarded && !sqlite3_stmt_readonly(stmt)) {
        sqlite3_finalize(stmt);
        err = MakeError(SQLITE_AUTH, kRefusal, sql);
        return nullptr;
    }
    return stmt;
}

bool Bind(Connection& c, sqlite3_stmt* stmt, const std::vector<Value>& params, std::string_view sql,
          EngineError& err) {
    for (std::size_t i = 0; i < params.size(); ++i) {
        const Value& v = params[i];
        int index = int(i) + 1, rc = SQLITE_OK;
        switch (v.type) {
            case ValueType::Null:
                rc = sqlite3_bind_null(stmt, index);
                break;
            case ValueType::Integer:
                rc = sqlite3_bind_int64(stmt, index, v.integer);
                break;
            case ValueType::Real:
                rc = sqlite3_bind_double(stmt, index, v.real);
                break;
            case ValueType::Text:
            case ValueType::Date:
                rc = sqlite3_bind_text(stmt, index, v.text.data(), int(v.text.size()),
                                       SQLITE_TRANSIENT);
                break;
            case ValueType::Blob:
                rc = sqlite3_bind_blob(stmt, index, v.text.data(), int(v.text.size()),
                                       SQLITE_TRANSIENT);
                break;
        }
        if (rc != SQLITE_OK) {
            err = ErrorOf(c.db, rc, sql);
            return false;
        }
    }
    return true;
}

// Reads a column into `out`, reusing its text buffer. A text or blob the engine cannot hand
// over (out of memory) sets `lost`.
void ReadColumn(sqlite3_stmt* stmt, int i, bool dateColumn, bool& lost, Value& out) {
    switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_INTEGER:
            out.type = ValueType::Integer;
            out.integer = sqlite3_column_int64(stmt, i);
            out.text.clear();
            return;
        case SQLITE_FLOAT:
            out.type = ValueType::Real;
            out.real = sqlite3_column_double(stmt, i);
            out.text.clear();
            return;
        case SQLITE_TEXT: {
            const char* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            if (!data) {
                lost = true;
                out = Value::Null();
                return;
            }
            out.text.assign(data, std::size_t(sqlite3_column_bytes(stmt, i)));
            out.type = dateColumn && LooksLikeIsoDate(out.text) ? ValueType::Date : ValueType::Text;
            return;
        }
        case SQLITE_BLOB: {
            const void* data = sqlite3_column_blob(stmt, i);
            if (!data && sqlite3_errcode(sqlite3_db_handle(stmt)) == SQLITE_NOMEM)
                lost = true;
            out.type = ValueType::Blob;
            if (data)
                out.text.assign(static_cast<const char*>(data),
                                std::size_t(sqlite3_column_bytes(stmt, i)));
            else
                out.text.clear();
            return;
        }
        default:
            out = Value::Null();
    }
}

Value ColumnValue(sqlite3_stmt* stmt, int i, bool dateColumn, bool& lost) {
    Value v;
    ReadColumn(stmt, i, dateColumn, lost, v);
    return v;
}

}  // namespace

EngineError TimeLimitError(const Limits& limits, std::string_view sql) {
    return TimeoutError(limits, sql);
}

EngineError MemoryLimitError(const Limits& limits, std::string_view sql) {
    return MemoryBudgetError(limits, sql);
}

std::string QuoteSql(std::string_view text, char quote) {
    std::string out(1, quote);
    for (char c : text) {
        if (c == quote)
            out += quote;
        out += c;
    }
    return out + quote;
}

// ---------------------------------------------------------------- Recordset

Recordset::Recordset(std::shared_ptr<Connection> conn, sqlite3_stmt* stmt, std::string sql,
                     bool forwardOnly)
    : conn_(std::move(conn)), stmt_(stmt), sql_(std::move(sql)), forwardOnly_(forwardOnly) {
    int n = sqlite3_column_count(stmt_);
    for (int i = 0; i < n; ++i) {
        const char* name = sqlite3_column_name(stmt_, i);
        names_.emplace_back(name ? name : "");
        const char* decl = sqlite3_column_decltype(stmt_, i);
        // Expressions have no declared type: an ISO date text there is taken as a date,
        // so that max(Fecha) compares with Fecha.
        int code = decl ? TypeCodeFromDeclared(decl) : TypeCode::Date;
        dateColumn_.push_back(code == TypeCode::Date || code == TypeCode::TimeStamp);
    }
}

Recordset::~Recordset() {
    Close();
}

void Recordset::Close() {
    if (stmt_) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
    done_ = true;
}

bool Recordset::FetchOne() {
    if (done_ || !stmt_)
        return false;
    if (forwardOnly_)
        return StepForward();
    if (rows_.size() >= conn_->limits.maxRows)
        return FailFetching(
            MakeError(SQLITE_TOOBIG, "La consulta devuelve demasiadas filas", sql_));
    DeadlineScope deadline(*conn_);
    int rc = conn_->PastAbsoluteDeadline() ? SQLITE_INTERRUPT : sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        std::vector<Value> row;
        row.reserve(names_.size());
        // A fair share of what a row costs besides its texts: the row and its values.
        std::size_t bytes = sizeof(row) + 16 + names_.size() * sizeof(Value);
        bool lost = false;
        for (int i = 0; i < int(names_.size()); ++i) {
            row.push_back(ColumnValue(stmt_, i, dateColumn_[std::size_t(i)], lost));
            bytes += row.back().text.size();
        }
        if (lost)
            rc = SQLITE_NOMEM;
        else if (bytes_ + bytes > conn_->limits.maxBytes)
            return FailFetching(MemoryBudgetError(conn_->limits, sql_));
        if (!lost) {
            bytes_ += bytes;
            rows_.push_back(std::move(row));
            return true;
        }
    }
    return EndFetching(rc);
}

bool Recordset::EndFetching(int rc) {
    done_ = true;
    if (rc == SQLITE_NOMEM)
        error_ = ErrorOf(nullptr, rc, sql_);
    else if (rc == SQLITE_INTERRUPT)
        error_ = TimeoutError(conn_->limits, sql_);
    else if (rc != SQLITE_DONE)
        error_ = ErrorOf(conn_->db, rc, sql_);
    sqlite3_reset(stmt_);
    return false;
}

// The current row is overwritten in place: its buffers serve every row of the result.
// Reading the clock costs as much as a short step: a step's own limit starts at its first
// progress callback, and the deadline is looked at once every 64 rows here, the progress
// handler watching it in between.
bool Recordset::StepForward() {
    Connection& c = *conn_;
    const bool owner = !c.armed;
    if (owner) {
        c.deadline = {};
        c.armed = true;
    }
    const bool look = read_ % 64 == 0;
    const int rc = look && c.PastAbsoluteDeadline() ? SQLITE_INTERRUPT : sqlite3_step(stmt_);
    if (owner)
        c.armed = false;
    if (rc != SQLITE_ROW) {
        rows_.clear();
        return EndFetching(rc);
    }
    if (rows_.empty())
        rows_.emplace_back(names_.size());
    std::vector<Value>& row = rows_.front();
    std::size_t bytes = sizeof(row) + 16 + names_.size() * sizeof(Value);
    bool lost = false;
    for (std::size_t i = 0; i < names_.size(); ++i) {
        ReadColumn(stmt_, int(i), dateColumn_[i], lost, row[i]);
        bytes += row[i].text.size();
    }
    if (lost) {
        rows_.clear();
        return EndFetching(SQLITE_NOMEM);
    }
    if (bytes > conn_->limits.maxBytes) {
        rows_.clear();
        return FailFetching(MemoryBudgetError(conn_->limits, sql_));
    }
    ++read_;
    pos_ = 0;
    return true;
}

bool Recordset::FailFetching(EngineError error) {
    error_ = std::move(error);
    done_ = true;
    sqlite3_reset(stmt_);
    return false;
}

bool Recordset::FetchUpTo(std::size_t count) {
    DeadlineScope deadline(*conn_);
    while (rows_.size() < count && FetchOne()) {
    }
    return !error_.failed();
}

bool Recordset::Eof() const {
    return pos_ >= long(rows_.size());
}
bool Recordset::Bof() const {
    return pos_ < 0 || rows_.empty();
}

void Recordset::MoveFirst() {
    pos_ = 0;
}

void Recordset::MoveLast() {
    DeadlineScope deadline(*conn_);
    while (FetchOne()) {
    }
    pos_ = rows_.empty() ? 0 : long(rows_.size()) - 1;
}

void Recordset::MoveNext() {
    if (forwardOnly_) {
        FetchOne();
        return;
    }
    if (pos_ < long(rows_.size()))
        ++pos_;
    if (pos_ == long(rows_.size()))
        FetchOne();
}

void Recordset::MovePrevious() {
    if (pos_ >= 0)
        --pos_;
}

long Recordset::AbsolutePosition() const {
    return pos_ >= 0 && pos_ < long(rows_.size()) ? pos_ : -1;
}

void Recordset::SetAbsolutePosition(long position) {
    if (position < 0) {
        pos_ = -1;
        return;
    }
    FetchUpTo(std::size_t(position) + 1);
    pos_ = std::min(position, long(rows_.size()));
}

bool Recordset::FindFirst(std::string_view field, const Value& value) {
    int column = FieldIndex(field);
    noMatch_ = true;
    if (column < 0)
        return false;
    for (std::size_t i = 0;; ++i) {
        if (i >= rows_.size() && !FetchOne())
            break;
        if (SameValue(rows_[i][std::size_t(column)], value)) {
            pos_ = long(i);
            noMatch_ = false;
            return true;
        }
    }
    return false;
}

int Recordset::FieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (LowerAscii(names_[i]) == LowerAscii(name))
            return int(i);
    return -1;
}

const Value& Recordset::Field(int i) const {
    static const Value kNull;
    if (pos_ < 0 || pos_ >= long(rows_.size()) || i < 0 || i >= int(names_.size()))
        return kNull;
    return rows_[std::size_t(pos_)][std::size_t(i)];
}

const Value& Recordset::Field(std::string_view name) const {
    return Field(FieldIndex(name));
}

// ---------------------------------------------------------------- Database

namespace {

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
// with glibc's linear-time search: the engine's own compares at every position, so a long
// needle in a long text built by the statement took minutes in one call.
void LinearInstr(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const int typeHaystack = sqlite3_value_type(argv[0]), typeNeedle = sqlite3_value_type(argv[1]);
    if (typeHaystack == SQLITE_NULL || typeNeedle == SQLITE_NULL)
        return;
    const bool text = !(typeHaystack == SQLITE_BLOB && typeNeedle == SQLITE_BLOB);
    const char* hay = static_cast<const char*>(
        text ? static_cast<const void*>(sqlite3_value_text(argv[0])) : sqlite3_value_blob(argv[0]));
    const std::size_t hayBytes = std::size_t(sqlite3_value_bytes(argv[0]));
    const char* needle = static_cast<const char*>(
        text ? static_cast<const void*>(sqlite3_value_text(argv[1])) : sqlite3_value_blob(argv[1]));
    const std::size_t needleBytes = std::size_t(sqlite3_value_bytes(argv[1]));
    if (needleBytes == 0) {
        sqlite3_result_int(ctx, 1);
        return;
    }
    if (!needle || (hayBytes && !hay)) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    auto continuation = [&](std::size_t i) { return (hay[i] & 0xC0) == 0x80; };
    std::size_t from = 0;
    while (from + needleBytes <= hayBytes) {
        const void* found = memmem(hay + from, hayBytes - from, needle, needleBytes);
        if (!found)
            break;
        const auto at = std::size_t(static_cast<const char*>(found) - hay);
        if (!text) {
            sqlite3_result_int64(ctx, std::int64_t(at) + 1);
            return;
        }
        if (at == 0 || !continuation(at)) {
            // Characters before the match: the first byte, then every one that starts one.
            std::int64_t position = 1;
            for (std::size_t i = 0; i < at; ++i)
                if (i == 0 || !continuation(i))
                    ++position;
            sqlite3_result_int64(ctx, position);
            return;
        }
        from = at + 1;
    }
    sqlite3_result_int(ctx, 0);
}

// Bytes of the character printf's %c repeats: the first of the argument's text.
std::int64_t CharBytes(sqlite3_value* v) {
    if (!v || sqlite3_value_type(v) != SQLITE_TEXT)
        return 1;
    const unsigned char* t = sqlite3_value_text(v);
    unsigned char lead = t ? t[0] : 0;
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// Upper bound of the bytes printf(format, args...) writes, stopping once past `limit`.
std::int64_t PrintfBound(int argc, sqlite3_value** argv, std::int64_t limit) {
    const char* format = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    std::string_view f(format ? format : "");
    int next = 1;
    auto length = [&](int k) -> std::int64_t {
        if (k >= argc)
            return 0;
        int type = sqlite3_value_type(argv[k]);
        return type == SQLITE_TEXT || type == SQLITE_BLOB ? sqlite3_value_bytes(argv[k]) : 400;
    };
    auto number = [&](std::size_t& i) -> std::int64_t {
        if (i < f.size() && f[i] == '*') {
            ++i;
            std::int64_t v = next < argc ? int(sqlite3_value_int64(argv[next])) : 0;
            ++next;
            return v < 0 ? -v : v;
        }
        std::int64_t v = 0;
        while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i])))
            v = std::min<std::int64_t>(v * 10 + (f[i++] - '0'), std::int64_t(1) << 40);
        return v;
    };
    std::int64_t total = 0;
    for (std::size_t i = 0; i < f.size() && total <= limit; ++i) {
        if (f[i] != '%') {
            ++total;
            continue;
        }
        ++i;
        while (i < f.size() && std::string_view("-+ #0!,").find(f[i]) != std::string_view::npos)
            ++i;
        const std::int64_t width = number(i);
        std::int64_t precision = 0;
        if (i < f.size() && f[i] == '.')
            precision = number(++i);
        while (i < f.size() && f[i] == 'l') ++i;
        if (i >= f.size())
            break;
        std::int64_t part;
        switch (f[i]) {
            case '%':
                part = 1;
                break;
            case 'c':
                part = CharBytes(next < argc ? argv[next] : nullptr) *
                       std::max<std::int64_t>(1, precision);
                ++next;
                break;
            case 's':
            case 'z':
                part = length(next++);
                break;
            case 'q':
            case 'Q':
            case 'w':
                part = 2 * length(next++) + 3;
                break;
            default:
                part = 400 + precision;
                ++next;
        }
        total += std::max(width, part);
    }
    return total;
}

// printf and format as the engine has them, except that an output over the length limit
// ends the statement with SQLITE_TOOBIG: the engine's own gives an empty text with success.
void BoundedPrintf(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (argc < 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    auto* c = static_cast<Connection*>(sqlite3_user_data(ctx));
    const std::int64_t limit = sqlite3_limit(c->db, SQLITE_LIMIT_LENGTH, -1);
    if (PrintfBound(argc, argv, limit) > limit) {
        sqlite3_result_error_toobig(ctx);
        return;
    }
    if (!c->printfDb) {
        if (sqlite3_open_v2(":memory:", &c->printfDb, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK) {
            sqlite3_result_error_nomem(ctx);
            return;
        }
        BoundStatements(c->printfDb);
    }
    sqlite3_stmt*& stmt = c->printfStatements[argc];
    if (!stmt) {
        std::string sql = "SELECT printf(?1";
        for (int k = 2; k <= argc; ++k) sql += ", ?" + std::to_string(k);
        sql += ")";
        if (sqlite3_prepare_v2(c->printfDb, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            sqlite3_result_error(ctx, sqlite3_errmsg(c->printfDb), -1);
            return;
        }
    }
    for (int k = 0; k < argc; ++k) sqlite3_bind_value(stmt, k + 1, argv[k]);
    int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        sqlite3_result_value(ctx, sqlite3_column_value(stmt, 0));
    } else {
        sqlite3_result_error(ctx, sqlite3_errmsg(c->printfDb), -1);
        sqlite3_result_error_code(ctx, rc);
    }
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
}

bool ConfigureConnection(Connection& c, EngineError& err) {
    int on = 1, off = 0;
    sqlite3_db_config(c.db, SQLITE_DBCONFIG_DEFENSIVE, on, nullptr);
    sqlite3_db_config(c.db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, off, nullptr);
    sqlite3_db_config(c.db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, off, nullptr);
    sqlite3_db_config(c.db, SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, off, nullptr);
    sqlite3_extended_result_codes(c.db, 0);
    sqlite3_busy_timeout(c.db, 2000);
    BoundStatements(c.db);
    HoldEngineHeap(c.limits.maxBytes);
    sqlite3_progress_handler(c.db, 1000, ProgressHandler, &c);
    sqlite3_set_authorizer(c.db, Authorizer, &c);

    UErrorCode status = U_ZERO_ERROR;
    c.collator = ucol_open("es", &status);
    if (U_FAILURE(status)) {
        err = MakeError(SQLITE_ERROR, "No se puede crear la ordenación de textos en español");
        return false;
    }
    ucol_setStrength(c.collator, UCOL_SECONDARY);
    sqlite3_create_collation_v2(c.db, kCollation.data(), SQLITE_UTF8, c.collator, CollateSpanish,
                                [](void* p) { ucol_close(static_cast<UCollator*>(p)); });
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(c.db, "lower", 1, flags, nullptr, LowerFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(c.db, "upper", 1, flags, nullptr, UpperFunction, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(c.db, "instr", 2, flags, nullptr, LinearInstr, nullptr, nullptr,
                               nullptr);
    for (const char* name : {"printf", "format"})
        sqlite3_create_function_v2(c.db, name, -1, flags, &c, BoundedPrintf, nullptr, nullptr,
                                   nullptr);

    // A file that is not a database fails here rather than at the first query.
    char* message = nullptr;
    int rc =
        sqlite3_exec(c.db, "SELECT count(*) FROM main.sqlite_master", nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        err = MakeError(rc & 0xff, message ? message : sqlite3_errstr(rc));
        sqlite3_free(message);
        return false;
    }
    return true;
}

// Shadows every user table by a TEMP view of the same name whose text columns compare
// ignoring letter case (Spanish, accents kept), as students expect of text conditions.
bool CreateCaseInsensitiveViews(Connection& c, EngineError& err) {
    InternalScope internal(c);
    sqlite3_stmt* tables = nullptr;
    sqlite3_prepare_v2(c.db,
                       "SELECT name FROM main.sqlite_master WHERE type = 'table' "
                       "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'",
                       -1, &tables, nullptr);
    std::vector<std::string> names;
    while (sqlite3_step(tables) == SQLITE_ROW)
        names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(tables, 0)));
    sqlite3_finalize(tables);

    for (const std::string& table : names) {
        sqlite3_stmt* info = nullptr;
        // Generated columns too; hidden columns of virtual tables are no part of a row.
        std::string sql = "SELECT name, type FROM pragma_table_xinfo(?, 'main') WHERE hidden <> 1";
        sqlite3_prepare_v2(c.db, sql.c_str(), -1, &info, nullptr);
        sqlite3_bind_text(info, 1, table.c_str(), -1, SQLITE_TRANSIENT);
        std::string columns;
        while (sqlite3_step(info) == SQLITE_ROW) {
            std::string column = reinterpret_cast<const char*>(sqlite3_column_text(info, 0));
            const unsigned char* type = sqlite3_column_text(info, 1);
            int code = TypeCodeFromDeclared(type ? reinterpret_cast<const char*>(type) : "");
            if (!columns.empty())
                columns += ", ";
            columns += QuoteIdentifier(column);
            if (IsTextType(code))
                columns += " COLLATE " + std::string(kCollation) + " AS " + QuoteIdentifier(column);
        }
        sqlite3_finalize(info);
        if (columns.empty())
            continue;
        std::string create = "CREATE TEMP VIEW " + QuoteIdentifier(table) + " AS SELECT " +
                             columns + " FROM main." + QuoteIdentifier(table);
        char* message = nullptr;
        if (sqlite3_exec(c.db, create.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            err = MakeError(SQLITE_ERROR, message ? message : "CREATE TEMP VIEW", create);
            sqlite3_free(message);
            return false;
        }
    }
    return true;
}

// Whether the file's header says write-ahead logging (read and write versions 2).
bool IsWalDatabase(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char header[20] = {};
    in.read(header, sizeof header);
    return in.gcount() == sizeof header && std::memcmp(header, "SQLite format 3", 16) == 0 &&
           header[18] == 2 && header[19] == 2;
}

// The file opened without locks or side files: it must not change while open.
std::string ImmutableUri(const std::string& path) {
    std::error_code ec;
    std::string uri = "file:";
    for (unsigned char ch : std::filesystem::absolute(path, ec).string()) {
        if (ch == '?' || ch == '#' || ch == '%' || ch <= ' ') {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", ch);
            uri += buf;
        } else {
            uri += char(ch);
        }
    }
    return uri + "?immutable=1";
}

// A copy of a WAL-mode file and its log in a new private folder; empty when it fails.
std::filesystem::path CopyWithLog(const std::string& path) {
    std::error_code ec;
    std::string folder = (std::filesystem::temp_directory_path(ec) / "veliora-wal-XXXXXX").string();
    if (ec || !mkdtemp(folder.data()))
        return {};
    const auto copy = std::filesystem::path(folder) / "copia.db";
    std::filesystem::copy_file(path, copy, ec);
    if (!ec)
        std::filesystem::copy_file(path + "-wal", copy.string() + "-wal", ec);
    if (ec) {
        std::filesystem::remove_all(folder, ec);
        return {};
    }
    return copy;
}

// Runs a statement that returns no rows, under the time limit.
bool RunStatement(Connection& c, std::string_view sql, EngineError& err,
                  const std::vector<Value>& params) {
    sqlite3_stmt* stmt = Compile(c, sql, err);
    if (!stmt)
        return false;
    bool ok = Bind(c, stmt, params, sql, err);
    if (ok) {
        DeadlineScope deadline(c);
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            err = rc == SQLITE_INTERRUPT ? TimeoutError(c.limits, sql) : ErrorOf(c.db, rc, sql);
            ok = false;
        }
    }
    sqlite3_finalize(stmt);
    return ok;
}

std::shared_ptr<Connection> Connect(const std::string& name, int flags, Database::Kind kind,
                                    EngineError& err) {
    auto conn = std::make_shared<Connection>();
    conn->kind = kind;
    int rc = sqlite3_open_v2(name.c_str(), &conn->db, flags, nullptr);
    if (rc != SQLITE_OK) {
        err = ErrorOf(conn->db, rc, {});
        return nullptr;
    }
    if (!ConfigureConnection(*conn, err))
        return nullptr;
    return conn;
}

}  // namespace

std::shared_ptr<Database> Database::Open(const std::string& path, Kind kind, EngineError& err) {
    err.clear();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        err = MakeError(SQLITE_CANTOPEN, "No se encuentra el archivo: " + path);
        return nullptr;
    }
    std::shared_ptr<Connection> conn;
    if (kind == Kind::User) {
        // A WAL-mode file needs a shared-memory file beside it, which the engine would
        // create in the user's folder (impossible in a read-only one). With no log to
        // read, the immutable mode reads the file alone; with one, a private copy of both
        // is read, so that the log's transactions are seen and nothing is created beside
        // the user's file; the file alone when the copy cannot be made.
        const bool wal = IsWalDatabase(path);
        if (!wal) {
            conn = Connect(path, SQLITE_OPEN_READONLY, kind, err);
        } else {
            const auto logBytes = std::filesystem::file_size(path + "-wal", ec);
            if (!ec && logBytes > 0) {
                const auto copy = CopyWithLog(path);
                if (!copy.empty()) {
                    conn = Connect(copy.string(), SQLITE_OPEN_READONLY, kind, err);
                    if (conn)
                        conn->privateFolder = copy.parent_path();
                    else
                        std::filesystem::remove_all(copy.parent_path(), ec);
                }
            }
            if (!conn) {
                err.clear();
                conn =
                    Connect(ImmutableUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, kind, err);
            }
        }
        if (conn && !CreateCaseInsensitiveViews(*conn, err))
            return nullptr;
    } else {
        conn = Connect(path, SQLITE_OPEN_READWRITE, kind, err);
    }
    if (!conn)
        return nullptr;
    std::shared_ptr<Database> db(new Database());
    db->conn_ = std::move(conn);
    db->kind_ = kind;
    db->path_ = std::filesystem::absolute(path, ec).lexically_normal().string();
    return db;
}

std::shared_ptr<Database> Database::Create(const std::string& path, EngineError& err) {
    err.clear();
    {
        sqlite3* db = nullptr;
        int rc =
            sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK) {
            err = ErrorOf(db, rc, {});
            sqlite3_close_v2(db);
            return nullptr;
        }
        sqlite3_close_v2(db);
    }
    return Open(path, Kind::Auxiliary, err);
}

Database::~Database() = default;

void Database::Close() {
    conn_.reset();
}
bool Database::IsOpen() const {
    return conn_ != nullptr;
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

std::unique_ptr<Recordset> Database::OpenRecordset(std::string_view sql, EngineError& err,
                                                   const std::vector<Value>& params) {
    return OpenCursor(sql, err, params, false);
}

std::unique_ptr<Recordset> Database::OpenForwardOnly(std::string_view sql, EngineError& err,
                                                     const std::vector<Value>& params) {
    return OpenCursor(sql, err, params, true);
}

std::unique_ptr<Recordset> Database::OpenCursor(std::string_view sql, EngineError& err,
                                                const std::vector<Value>& params,
                                                bool forwardOnly) {
    err.clear();
    if (!conn_) {
        err = MakeError(SQLITE_MISUSE, "La base de datos no está abierta", sql);
        return nullptr;
    }
    sqlite3_stmt* stmt = Compile(*conn_, sql, err);
    if (!stmt)
        return nullptr;
    if (!Bind(*conn_, stmt, params, sql, err)) {
        sqlite3_finalize(stmt);
        return nullptr;
    }
    std::unique_ptr<Recordset> rs(new Recordset(conn_, stmt, std::string(sql), forwardOnly));
    // Positioned on the first row, as a freshly opened result is; a statement that cannot
    // produce it in time fails here.
    rs->FetchOne();
    if (rs->Error().failed()) {
        err = rs->Error();
        return nullptr;
    }
    return rs;
}

bool Database::Execute(std::string_view sql, EngineError& err, const std::vector<Value>& params) {
    err.clear();
    if (!conn_) {
        err = MakeError(SQLITE_MISUSE, "La base de datos no está abierta", sql);
        return false;
    }
    if (kind_ == Kind::User) {
        err = MakeError(SQLITE_READONLY, "La base de datos del usuario es de solo lectura", sql);
        return false;
    }
    return RunStatement(*conn_, sql, err, params);
}

bool Database::ExecuteOnCopy(std::string_view sql, EngineError& err,
                             const std::vector<Value>& params) {
    err.clear();
    if (!conn_ || !conn_->memoryCopy) {
        err = MakeError(SQLITE_READONLY, "Solo se escribe en una copia en memoria", sql);
        return false;
    }
    InternalScope internal(*conn_);
    return RunStatement(*conn_, sql, err, params);
}

bool Database::ExecuteScript(std::string_view script, EngineError& err) {
    err.clear();
    if (!conn_) {
        err = MakeError(SQLITE_MISUSE, "La base de datos no está abierta");
        return false;
    }
    if (kind_ == Kind::User) {
        err = MakeError(SQLITE_READONLY, "La base de datos del usuario es de solo lectura");
        return false;
    }
    DeadlineScope deadline(*conn_);
    const std::string text(script);
    const char* next = text.c_str();
    while (next && *next) {
        sqlite3_stmt* stmt = nullptr;
        const char* start = next;
        int rc = sqlite3_prepare_v2(conn_->db, start, -1, &stmt, &next);
        if (rc == SQLITE_OK && stmt) {
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            }
            if (rc == SQLITE_DONE)
                rc = SQLITE_OK;
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_OK) {
            const std::string_view sql(start, std::size_t(next && next > start ? next - start : 0));
            err = rc == SQLITE_INTERRUPT ? TimeoutError(conn_->limits, sql)
                                         : ErrorOf(conn_->db, rc, sql);
            return false;
        }
    }
    return true;
}

std::int64_t Database::Changes() const {
    return conn_ ? sqlite3_changes64(conn_->db) : 0;
}

bool Database::ReplaceWith(const std::string& path, EngineError& err) {
    err.clear();
    if (!conn_ || kind_ == Kind::User) {
        err = MakeError(SQLITE_MISUSE, "Solo se puede reemplazar una base de datos del programa");
        return false;
    }
    sqlite3* source = nullptr;
    if (sqlite3_open_v2(path.c_str(), &source, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(source);
        err = MakeError(SQLITE_CANTOPEN, "No se puede abrir " + path);
        return false;
    }
    sqlite3_backup* copy = sqlite3_backup_init(conn_->db, "main", source, "main");
    if (!copy) {
        err = ErrorOf(conn_->db, sqlite3_errcode(conn_->db), {});
        sqlite3_close_v2(source);
        return false;
    }
    const int step = sqlite3_backup_step(copy, -1);
    const int finish = sqlite3_backup_finish(copy);
    sqlite3_close_v2(source);
    if (step != SQLITE_DONE || finish != SQLITE_OK) {
        const int number = step != SQLITE_DONE ? step : finish;
        err = MakeError(number & 0xff, sqlite3_errstr(number));
        return false;
    }
    return true;
}

bool Database::Prepare(std::string_view sql, EngineError& err) {
    err.clear();
    if (!conn_) {
        err = MakeError(SQLITE_MISUSE, "La base de datos no está abierta", sql);
        return false;
    }
    sqlite3_stmt* stmt = Compile(*conn_, sql, err);
    sqlite3_finalize(stmt);
    return stmt != nullptr;
}

Value Database::Scalar(std::string_view sql, EngineError& err, const std::vector<Value>& params) {
    auto rs = OpenRecordset(sql, err, params);
    if (!rs || rs->Eof() || rs->FieldCount() == 0)
        return Value::Null();
    return rs->Field(0);
}

bool Database::BeginTransaction(EngineError& err) {
    return Execute("BEGIN IMMEDIATE", err);
}
bool Database::Commit(EngineError& err) {
    return Execute("COMMIT", err);
}
void Database::Rollback() {
    EngineError ignored;
    Execute("ROLLBACK", ignored);
}

// ---------------------------------------------------------------- structure

namespace {

constexpr int kAttributeSystem = 2;
constexpr int kAttributeView = 8;

// Runs an internal query on the connection, bypassing the guard.
std::vector<std::vector<Value>> Rows(Connection& c, const std::string& sql,
                                     const std::vector<Value>& params, EngineError& err) {
    InternalScope internal(c);
    std::vector<std::vector<Value>> rows;
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(c.db, sql.c_str(), -1, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        err = ErrorOf(c.db, rc, sql);
        return rows;
    }
    if (Bind(c, stmt, params, sql, err)) {
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            std::vector<Value> row;
            bool lost = false;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i)
                row.push_back(ColumnValue(stmt, i, false, lost));
            if (lost) {
                rc = SQLITE_NOMEM;
                break;
            }
            rows.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE)
            err = ErrorOf(c.db, rc, sql);
    }
    sqlite3_finalize(stmt);
    return rows;
}

struct ForeignKey {
    std::string table;   // referencing table
    std::string parent;  // referenced table, as the database names it
    std::vector<RelationField> fields;
};

std::vector<std::string> PrimaryKeyColumns(Connection& c, const std::string& table,
                                           EngineError& err) {
    auto info = Rows(c, "SELECT name, pk FROM pragma_table_info(?, 'main') WHERE pk > 0",
                     {Value::Text(table)}, err);
    std::sort(info.begin(), info.end(),
              [](const auto& a, const auto& b) { return a[1].integer < b[1].integer; });
    std::vector<std::string> columns;
    for (const auto& row : info) columns.push_back(row[0].text);
    return columns;
}

std::vector<std::string> OrdinaryTables(Connection& c, EngineError& err) {
    auto rows = Rows(c,
                     "SELECT name FROM main.sqlite_master WHERE type = 'table' "
                     "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'",
                     {}, err);
    std::vector<std::string> names;
    for (const auto& row : rows) names.push_back(row[0].text);
    std::stable_sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

// The name as the database spells it, found ignoring letter case.
std::string ActualName(const std::vector<std::string>& names, const std::string& name) {
    for (const auto& n : names)
        if (LowerText(n) == LowerText(name))
            return n;
    return name;
}

std::vector<std::string> ColumnNames(Connection& c, const std::string& table, EngineError& err) {
    std::vector<std::string> names;
    for (const auto& row :
         Rows(c, "SELECT name FROM pragma_table_info(?, 'main')", {Value::Text(table)}, err))
        names.push_back(row[0].text);
    return names;
}

}  // namespace

const std::vector<Relation>& Database::Relations(EngineError& err) {
    err.clear();
    if (relationsLoaded_ || !conn_)
        return relations_;
    Connection& c = *conn_;
    const auto tables = OrdinaryTables(c, err);
    std::vector<Relation> relations;
    std::map<std::string, int> used;  // lower-cased names already given
    for (const std::string& table : tables) {
        auto rows = Rows(c,
                         "SELECT id, seq, \"table\", \"from\", \"to\" FROM "
                         "pragma_foreign_key_list(?, 'main') ORDER BY id DESC, seq",
                         {Value::Text(table)}, err);
        std::vector<ForeignKey> keys;
        std::int64_t current = -1;
        for (const auto& row : rows) {
            if (row[0].integer != current) {
                current = row[0].integer;
                keys.push_back({table, ActualName(tables, row[2].text), {}});
            }
            keys.back().fields.push_back({row[4].text, row[3].text});
        }
        for (ForeignKey& key : keys) {
            // A key that names no parent columns refers to the parent's primary key.
            bool implicit = std::all_of(key.fields.begin(), key.fields.end(),
                                        [](const RelationField& f) { return f.Name.empty(); });
            if (implicit) {
                auto pk = PrimaryKeyColumns(c, key.parent, err);
                for (std::size_t i = 0; i < key.fields.size() && i < pk.size(); ++i)
                    key.fields[i].Name = pk[i];
            }
            // Field names as the tables declare them, whatever case the key was written in.
            auto parentColumns = ColumnNames(c, key.parent, err);
            auto childColumns = ColumnNames(c, key.table, err);
            for (RelationField& f : key.fields) {
                f.Name = ActualName(parentColumns, f.Name);
                f.ForeignName = ActualName(childColumns, f.ForeignName);
            }
            std::string base = key.parent + key.table, name = base;
            for (int n = 1; used.count(LowerText(name)); ++n) name = base + std::to_string(n);
            used[LowerText(name)] = 1;
            relations.push_back({name, key.parent, key.table, key.fields});
        }
    }
    std::stable_sort(relations.begin(), relations.end(), [](const Relation& a, const Relation& b) {
        return LessIgnoringCase(a.Name, b.Name);
    });
    if (!err.failed()) {
        relations_ = std::move(relations);
        relationsLoaded_ = true;
    }
    return relations_;
}

std::vector<TableDef> Database::TableDefs(EngineError& err) {
    err.clear();
    std::vector<TableDef> defs;
    if (!conn_) {
        err = MakeError(SQLITE_MISUSE, "La base de datos no está abierta");
        return defs;
    }
    Connection& c = *conn_;
    const auto& relations = Relations(err);
    if (err.failed())
        return defs;
    for (const std::string& table : OrdinaryTables(c, err)) {
        TableDef def{table, 0, {}, {}};
        auto columns = Rows(c, "SELECT name, type, hidden FROM pragma_table_xinfo(?, 'main')",
                            {Value::Text(table)}, err);
        for (const auto& col : columns) {
            if (col[2].integer == 1)
                continue;  // hidden columns of virtual tables
            def.Fields.push_back({col[0].text, TypeCodeFromDeclared(col[1].text), col[1].text});
        }

        std::vector<IndexDef> indexes;
        bool hasPrimary = false;
        auto list = Rows(c, "SELECT name, \"unique\", origin FROM pragma_index_list(?, 'main')",
                         {Value::Text(table)}, err);
        for (const auto& idx : list) {
            IndexDef index{idx[0].text, idx[1].integer != 0, false, idx[2].text == "pk", {}};
            auto info = Rows(c, "SELECT name FROM pragma_index_info(?, 'main') ORDER BY seqno",
                             {Value::Text(idx[0].text)}, err);
            for (const auto& col : info)
                if (!col[0].isNull())
                    index.Fields.push_back(col[0].text);
            if (index.Primary) {
                index.Name = "PrimaryKey";
                hasPrimary = true;
            }
            indexes.push_back(std::move(index));
        }
        if (!hasPrimary) {
            // INTEGER PRIMARY KEY is the rowid itself and has no index of its own.
            auto pk = PrimaryKeyColumns(c, table, err);
            if (!pk.empty())
                indexes.push_back({"PrimaryKey", true, false, true, pk});
        }
        std::stable_sort(indexes.begin(), indexes.end(), [](const IndexDef& a, const IndexDef& b) {
            if (a.Primary != b.Primary)
                return a.Primary;
            return LessIgnoringCase(a.Name, b.Name);
        });
        for (const Relation& r : relations) {
            if (r.ForeignTable != table)
                continue;
            IndexDef fk{r.Name, false, true, false, {}};
            for (const auto& f : r.Fields) fk.Fields.push_back(f.ForeignName);
            auto sorted = [](std::vector<std::string> v) {
                for (auto& s : v) s = LowerText(s);
                std::sort(v.begin(), v.end());
                return v;
            };
            for (const IndexDef& idx : indexes)
                if (idx.Unique && sorted(idx.Fields) == sorted(fk.Fields))
                    fk.Unique = true;
            indexes.push_back(std::move(fk));
        }
        def.Indexes = std::move(indexes);
        defs.push_back(std::move(def));
    }
    auto others = Rows(c,
                       "SELECT name, type FROM main.sqlite_master WHERE type = 'view' OR "
                       "(type = 'table' AND name LIKE 'sqlite\\_%' ESCAPE '\\') ORDER BY name",
                       {}, err);
    for (const auto& row : others)
        defs.push_back(
            {row[0].text, row[1].text == "view" ? kAttributeView : kAttributeSystem, {}, {}});
    return defs;
}

std::shared_ptr<Database> Database::OpenMemoryCopy(Database& source,
                                                   const std::vector<TableCopy>& tables,
                                                   EngineError& err) {
    err.clear();
    if (!source.conn_) {
        err = MakeError(SQLITE_MISUSE, "La base de datos no está abierta");
        return nullptr;
    }
    Connection& from = *source.conn_;
    auto conn = Connect(":memory:", SQLITE_OPEN_READWRITE, Kind::User, err);
    if (!conn)
        return nullptr;
    conn->limits = from.limits;
    conn->memoryCopy = true;
    conn->absolute.store(from.absolute.load());
    {
        InternalScope internalFrom(from), internalTo(*conn);
        DeadlineScope deadline(from);
        // Fails with the source's or the copy's error; an interrupted read is the time limit.
        auto fail = [&](sqlite3* db, int rc, std::string_view sql) {
            err = rc == SQLITE_INTERRUPT ? TimeoutError(from.limits, sql) : ErrorOf(db, rc, sql);
            return std::shared_ptr<Database>();
        };
        for (const TableCopy& table : tables) {
            auto definitions = Rows(from,
                                    "SELECT sql FROM main.sqlite_master WHERE sql IS NOT NULL "
                                    "AND ((type = 'table' AND name = ?1) OR "
                                    "(type = 'index' AND tbl_name = ?1)) ORDER BY type DESC",
                                    {Value::Text(table.name)}, err);
            if (err.failed())
                return nullptr;
            if (definitions.empty()) {
                err = MakeError(SQLITE_ERROR, "no such table: " + table.name);
                return nullptr;
            }
            for (const auto& row : definitions) {
                int rc = sqlite3_exec(conn->db, row[0].text.c_str(), nullptr, nullptr, nullptr);
                if (rc != SQLITE_OK)
                    return fail(conn->db, rc, row[0].text);
            }
            std::string select = "SELECT * FROM main." + QuoteIdentifier(table.name);
            if (!table.where.empty())
                select += " WHERE " + table.where;
            sqlite3_stmt* read = nullptr;
            int rc = sqlite3_prepare_v2(from.db, select.c_str(), -1, &read, nullptr);
            if (rc != SQLITE_OK)
                return fail(from.db, rc, select);
            const int n = sqlite3_column_count(read);
            std::string insert = "INSERT INTO main." + QuoteIdentifier(table.name) + " VALUES (";
            for (int k = 0; k < n; ++k) insert += k ? ", ?" : "?";
            insert += ")";
            sqlite3_stmt* write = nullptr;
            rc = sqlite3_prepare_v2(conn->db, insert.c_str(), -1, &write, nullptr);
            while (rc == SQLITE_OK && (rc = sqlite3_step(read)) == SQLITE_ROW) {
                for (int k = 0; k < n; ++k)
                    sqlite3_bind_value(write, k + 1, sqlite3_column_value(read, k));
                const int written = sqlite3_step(write);
                sqlite3_reset(write);
                if (written != SQLITE_DONE) {
                    fail(conn->db, written, insert);
                    rc = written;
                    break;
                }
                rc = SQLITE_OK;
            }
            if (rc != SQLITE_DONE && !err.failed())
                fail(write ? from.db : conn->db, rc, write ? select : insert);
            sqlite3_finalize(write);
            sqlite3_finalize(read);
            if (err.failed())
                return nullptr;
        }
    }
    if (!CreateCaseInsensitiveViews(*conn, err))
        return nullptr;
    {
        InternalScope internal(*conn);
        sqlite3_exec(conn->db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    }
    std::shared_ptr<Database> db(new Database());
    db->conn_ = std::move(conn);
    db->kind_ = Kind::User;
    db->path_ = ":memory:";
    return db;
}

}  // namespace veliora::engine

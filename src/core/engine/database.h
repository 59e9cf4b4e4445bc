#pragma once
// The engine boundary over SQLite: databases, read-only recordsets, table definitions
// and relations. Errors travel as values (core/engine/error.h).

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/engine/error.h"
#include "core/engine/value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace veliora::engine {

// Field type codes (DAO numbering, plus the wider codes some engines report).
namespace TypeCode {
constexpr int Boolean = 1, Byte = 2, Integer = 3, Long = 4, Currency = 5, Single = 6, Double = 7,
              Date = 8, Binary = 9, Text = 10, LongBinary = 11, Memo = 12, Guid = 15, BigInt = 16,
              VarBinary = 17, Char = 18, Numeric = 19, Decimal = 20, Float = 21, Time = 22,
              TimeStamp = 23;
}
// Maps a declared column type onto a type code.
int TypeCodeFromDeclared(std::string_view declared);

struct FieldDef {
    std::string Name;
    int Type = 0;
    std::string DeclaredType;
};

struct IndexDef {
    std::string Name;
    bool Unique = false;
    bool Foreign = false;
    bool Primary = false;
    std::vector<std::string> Fields;
};

struct TableDef {
    std::string Name;
    int Attributes = 0;  // 0 = ordinary table; non-zero = system table or view
    std::vector<FieldDef> Fields;
    std::vector<IndexDef> Indexes;
    // A virtual table (full-text search, for instance) or one of the tables that hold its
    // data: queried like any other, never drawn for a question.
    bool Virtual = false;
};

struct RelationField {
    std::string Name;         // field of the primary (referenced) table
    std::string ForeignName;  // field of the foreign (referencing) table
};

struct Relation {
    std::string Name;
    std::string Table;         // primary side
    std::string ForeignTable;  // referencing side
    std::vector<RelationField> Fields;
};

// Errors by reason: Code::TimeLimit the time limit or the deadline, Code::MemoryLimit a
// memory budget, Code::TooBig, StoredTooBig and TooManyRows a value, pattern or result too
// big, Code::Refused a statement the guard refuses.
struct Limits {
    std::chrono::milliseconds timeout{10000};  // per statement step / cursor movement
    std::size_t maxRows = 5'000'000;           // rows one recordset may hold
    std::size_t maxBytes = 512u << 20;         // bytes one recordset may hold
};

class Connection;

// A read-only result, fetched as the cursor needs it (a huge result opens cheaply); RecordCount
// is exact after MoveLast. A fetched row's values stay put: Row(i).data() remains valid while
// the result lives, whatever is fetched later (by another thread, say).
// A forward-only result (Database::OpenForwardOnly) holds the current row alone: it moves only
// with MoveNext (MoveLast reads to the end), RecordCount counts the rows read so far, the row cap
// does not apply, the memory budget bounds the current row; no Row(i), FindFirst or MovePrevious.
class Recordset {
  public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool Eof() const;
    bool Bof() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    // Rows fetched so far (all of them after MoveLast or after reading past the end).
    std::size_t RecordCount() const { return forwardOnly_ ? read_ : rows_.size(); }
    // Zero-based position of the current row; -1 before the first or after the last.
    long AbsolutePosition() const;
    void SetAbsolutePosition(long position);
    // Moves to the first row whose field equals the value; NoMatch tells whether none did.
    bool FindFirst(std::string_view field, const Value& value);
    bool NoMatch() const { return noMatch_; }

    int FieldCount() const { return int(names_.size()); }
    const std::string& FieldName(int i) const { return names_.at(i); }
    int FieldIndex(std::string_view name) const;  // -1 when absent (case ignored)
    // Field of the current row; a null value when there is no current row.
    const Value& Field(int i) const;
    const Value& Field(std::string_view name) const;
    const std::vector<Value>& Row(std::size_t i) const { return rows_.at(i); }
    // Fetches rows until `count` are held or the result ends; false on an engine error.
    bool FetchUpTo(std::size_t count);
    bool AtEnd() const { return done_; }

    // The error that ended fetching (interrupted by the time limit, for example).
    const engine::Error& Error() const { return error_; }
    void Close();

  private:
    friend class Database;
    Recordset(std::shared_ptr<Connection> conn, sqlite3_stmt* stmt, std::string sql,
              bool forwardOnly);
    bool FetchOne();
    bool StepForward();
    bool EndFetching(int rc);
    bool FailFetching(engine::Error error);

    std::shared_ptr<Connection> conn_;
    sqlite3_stmt* stmt_ = nullptr;
    std::string sql_;
    std::vector<std::pair<std::string, std::string>> reads_;  // stored columns read
    std::vector<std::string> names_;
    std::vector<bool> dateColumn_;
    std::vector<std::vector<Value>> rows_;
    std::size_t bytes_ = 0;  // held by rows_, counted against Limits::maxBytes
    long pos_ = 0;  // index into rows_; rows_.size() means past the end, -1 before the first
    bool done_ = false;
    bool noMatch_ = false;
    bool forwardOnly_ = false;
    std::size_t read_ = 0;  // rows read by a forward-only result
    engine::Error error_;
};

class Database {
  public:
    enum class Kind {
        // The user's database: opened read-only; every statement passes the guard (reading
        // only, one statement, time limit); text compares ignoring letter case.
        User,
        // A database the program owns (auxiliary database, template): read and write.
        Auxiliary,
    };

    static std::shared_ptr<Database> Open(const std::string& path, Kind kind, Error& err);
    // Creates (or opens) a read-write database, creating the file when missing.
    static std::shared_ptr<Database> Create(const std::string& path, Error& err);

    // Tables copied by OpenMemoryCopy: `where` is a condition on the source's table that
    // chooses the rows copied (all of them when empty).
    struct TableCopy {
        std::string name;
        std::string where;
    };
    // A user database held in memory, for trying statements on other data than the user's:
    // copies of `source`'s tables (definitions with their constraints and unique indexes,
    // and the chosen rows) behind the same guard, dialect, case-insensitive views and limits.
    // Foreign keys are enforced on the copy's later writes. Runs under `source`'s deadline.
    static std::shared_ptr<Database> OpenMemoryCopy(Database& source,
                                                    const std::vector<TableCopy>& tables,
                                                    Error& err);
    // Only on an in-memory copy: a statement that writes its data, past the guard (the
    // copy is the program's own). Tables are named main."t": the views shadow them.
    bool ExecuteOnCopy(std::string_view sql, Error& err, const std::vector<Value>& params = {});
    // Only on an in-memory copy: the rows of `tables` that break a key, each as its table's
    // name, a tab and what tells the row: a null in a primary key (which the engine allows
    // outside whole-number keys) and a foreign key whose row is missing (deferred keys
    // included). Sorted.
    std::vector<std::string> KeyViolations(const std::vector<std::string>& tables, Error& err);
    // A second connection to this user database, for reading alongside it on another thread:
    // the same file, guard, functions, case-insensitive views and limits. This one's deadline
    // and interrupt stop it too. Fails on an in-memory copy.
    std::shared_ptr<Database> OpenSibling(Error& err);
    ~Database();

    Kind kind() const { return kind_; }
    const std::string& Name() const { return path_; }  // full path of the file
    void Close();
    bool IsOpen() const;

    // Runs a query in the program's dialect (brackets, #mm/dd/yyyy# dates, Count(t.*)).
    // Parameters bind to ? placeholders in order.
    std::unique_ptr<Recordset> OpenRecordset(std::string_view sql, Error& err,
                                             const std::vector<Value>& params = {});
    // The same, as a forward-only result that keeps no row but the current one: results of
    // any size are read in constant memory.
    std::unique_ptr<Recordset> OpenForwardOnly(std::string_view sql, Error& err,
                                               const std::vector<Value>& params = {});
    // Runs a statement that returns no rows. Refused on a user database.
    bool Execute(std::string_view sql, Error& err, const std::vector<Value>& params = {});
    // Runs a script of several statements in order, stopping at the first that fails.
    // Refused on a user database.
    bool ExecuteScript(std::string_view script, Error& err);
    // Rows changed by the last statement Execute ran.
    std::int64_t Changes() const;
    // Replaces the whole content of this database by that of the file at `path` (the
    // engine's online backup): whoever holds this database sees the new content. A file that
    // cannot be read leaves it as it was. Refused on a user database.
    bool ReplaceWith(const std::string& path, Error& err);
    // Compiles a query without running it: whether the engine accepts it.
    bool Prepare(std::string_view sql, Error& err);
    // Runs a query and returns the first column of its first row (null when none).
    Value Scalar(std::string_view sql, Error& err, const std::vector<Value>& params = {});

    bool BeginTransaction(Error& err);
    bool Commit(Error& err);
    void Rollback();

    // Ordinary tables first by name ignoring case, then system tables and views with
    // non-zero Attributes.
    std::vector<TableDef> TableDefs(Error& err);
    // Relations from foreign keys, ordered by name ignoring case. Cached after the first
    // call: the structure of a user database does not change while the program runs.
    const std::vector<Relation>& Relations(Error& err);

    // Also raises the engine's process-wide heap limit to the largest budget set so far.
    void SetLimits(const Limits& limits);
    const Limits& limits() const;
    // While set, every statement step and fetch on this database is interrupted at that
    // instant (besides the per-step time limit), with the time-limit error.
    void SetDeadline(std::chrono::steady_clock::time_point deadline);
    void ClearDeadline();
    // Callable while another thread runs a statement on this database (not while one
    // closes it): the running statement and every later step or fetch on this
    // database fail with the time-limit error until ResetInterrupt.
    void Interrupt();
    void ResetInterrupt();

  private:
    Database() = default;
    std::unique_ptr<Recordset> OpenCursor(std::string_view sql, Error& err,
                                          const std::vector<Value>& params, bool forwardOnly);
    std::shared_ptr<Connection> conn_;
    std::string path_;
    Kind kind_ = Kind::Auxiliary;
    bool relationsLoaded_ = false;
    std::vector<Relation> relations_;
};

// A new database filled fast by one writer, as a conversion fills it: one transaction, the
// journal in memory and no syncing (the file is a temporary one, renamed into place only
// once whole), and one prepared insert bound value by value. A call that fails returns
// false and leaves the engine's message in LastError.
class BulkWriter {
  public:
    BulkWriter() = default;
    BulkWriter(const BulkWriter&) = delete;
    BulkWriter& operator=(const BulkWriter&) = delete;
    ~BulkWriter();  // what was not committed is lost

    // Opens (creating it when missing) the file at `path` and begins the transaction.
    bool Open(const std::string& path);
    bool Execute(const std::string& sql);
    // The insert that InsertRow runs, with ? parameters numbered from 1.
    bool PrepareInsert(const std::string& sql);
    void BindNull(int n);
    void BindInteger(int n, std::int64_t value);
    void BindReal(int n, double value);
    void BindText(int n, std::string_view text);  // copied
    // Not copied: `text` must stay as it is until InsertRow.
    void BindTextInPlace(int n, std::string_view text);
    void BindBlob(int n, std::string_view bytes);  // copied
    bool InsertRow();
    // Whether no table, index or view is named `name` yet, ignoring letter case.
    bool NameFree(std::string_view name);
    // Commits and closes.
    bool Commit();
    const std::string& LastError() const { return lastError_; }

  private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    std::string lastError_;
};

// The rows `sql` gives on the file at `path` opened read-only as it is (none of Open's
// checks, functions or dialect): each value as the bytes the engine gives for it, a null as
// empty. Nothing when the file cannot be opened or the statement fails.
std::optional<std::vector<std::vector<std::string>>> ReadRows(const std::string& path,
                                                              std::string_view sql);

// The error a statement ends with at the time limit.
Error TimeLimitError(const Limits& limits, std::string_view sql);
// The error a statement ends with past its memory budget.
Error MemoryLimitError(const Limits& limits, std::string_view sql);

// Whether the path names something other than a regular file (a folder, a pipe, a device,
// a socket) or a file of the kernel's own (/proc, /sys...), which a reader could hang on or
// take for an empty database. A missing path is not. Never opens the path.
bool IsSpecialFile(const std::string& path);

// The program's SQL dialect in SQLite's: outside quotes, brackets and comments,
// #mm/dd/yyyy# and #mm/dd/yyyy hh:nn:ss# become ISO date texts and Count(t.*) becomes
// count(*).
std::string TranslateDialect(std::string_view sql);
// The same dates and counts, with nothing added that only this program's engine reads.
std::string PortableDates(std::string_view sql);

// The text between `quote` characters, a quote inside doubled: a safe SQL identifier with
// '"', a safe literal with '\''.
std::string QuoteSql(std::string_view text, char quote);

// Unicode-aware case mapping (ICU).
std::string LowerText(std::string_view utf8);
std::string UpperText(std::string_view utf8);
// Lower-cases the whole text, then upper-cases its first character.
std::string LowerWithCapital(std::string_view utf8);

}  // namespace veliora::engine

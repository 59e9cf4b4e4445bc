#pragma once
// What the engine's parts share behind database.h: the connection, the guard that every
// statement passes, and the readers of values. Not for use outside the engine.

#include <sqlite3.h>
#include <unicode/ucol.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/textos.h"
#include "core/engine/database.h"

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
    // The stored columns (table, column) the statement being compiled reads, noted by the
    // authorizer while `noteReads` is set: a value too big to read is then named.
    std::vector<std::pair<std::string, std::string>> reads;
    bool noteReads = false;
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

// Name of the collation that compares texts ignoring letter case (Spanish, accents kept).
inline constexpr std::string_view kCollation = "es_ci";

inline EngineError MakeError(int number, std::string description, std::string_view sql = {}) {
    return {number, std::move(description), std::string(sql)};
}

// Texts of the engine's own refusals and failures, in the interface's language.
namespace EngineText {
constexpr int NotOpen = 1700, CannotOpen = 1703, Refused = 1900, ValueTooBig = 1901,
              EngineMemory = 1902, MemoryBudget = 1903, TimeLimit = 1904, TooManyRows = 1905,
              NoCollation = 1906, FileMissing = 1907, UserReadOnly = 1908, CopyOnly = 1909,
              ReplaceOwnOnly = 1910, StoredTooBig = 2007, NotRegular = 2140;
}

inline EngineError NotOpenError(std::string_view sql = {}) {
    return MakeError(SQLITE_MISUSE, Texto(EngineText::NotOpen), sql);
}

// Engine failures that mean "too much memory" keep one number per reason and a message
// that says so; the rest keep the engine's own text.
EngineError ErrorOf(sqlite3* db, int rc, std::string_view sql);
// The error of a statement stopped by a value too big: when one of the stored columns it
// reads holds such a value, that column is named (the statement built nothing too big).
EngineError TooBigError(Connection& c,
                        const std::vector<std::pair<std::string, std::string>>& reads,
                        std::string_view sql);

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

std::string LowerAscii(std::string_view s);

// ---- the guard (guard.cpp)

// The limits every connection runs under, the time limit's progress handler and the
// authorizer.
void GuardConnection(Connection& c);
// What one statement may build: limits of the engine on a connection.
void BoundStatements(sqlite3* db);
// Compiles one statement, refusing text after it. Returns null and fills err on failure.
sqlite3_stmt* Compile(Connection& c, std::string_view sql, EngineError& err);

// ---- the functions and collation each connection has (sql_functions.cpp)

bool RegisterFunctions(Connection& c, EngineError& err);

// ---- values in and out (recordset.cpp)

bool Bind(Connection& c, sqlite3_stmt* stmt, const std::vector<Value>& params, std::string_view sql,
          EngineError& err);
Value ColumnValue(sqlite3_stmt* stmt, int i, bool dateColumn, bool& lost);

// ---- structure (structure.cpp)

// Runs an internal query on the connection, bypassing the guard.
std::vector<std::vector<Value>> Rows(Connection& c, const std::string& sql,
                                     const std::vector<Value>& params, EngineError& err);

}  // namespace veliora::engine

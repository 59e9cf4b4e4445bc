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
    // The program's own queries on this connection, compiled once (see Rows).
    std::map<std::string, sqlite3_stmt*> internalStatements;
    // A folder of the program's own holding the file actually opened (see CopyWithLog),
    // removed on closing.
    std::filesystem::path privateFolder;
    // The program's own schema queries on the user database bypass the guard.
    bool internal = false;
    // An in-memory copy made by OpenMemoryCopy: the program may write its data.
    bool memoryCopy = false;
    // What was opened (Database::OpenSibling opens it again), and for a second connection
    // the first one, whose deadline and interrupt stop it too.
    std::string opened;
    int openFlags = 0;
    std::shared_ptr<const Connection> sibling;
    // The stored columns (table, column) the statement being compiled reads, noted by the
    // authorizer while `noteReads` is set: a value too big to read is then named.
    std::vector<std::pair<std::string, std::string>> reads;
    bool noteReads = false;
    UCollator* collator = nullptr;
    // The user's tables whose case-insensitive view is not made yet, and the database's own
    // views, by name in ASCII lower case (the engine's way of matching names).
    std::map<std::string, std::string> viewsPending, mainViews;
    // Every user table by its name in ASCII lower case, and what the text columns that text
    // joins compare hold (see KeepIndexesInTextJoins); empty on in-memory copies.
    std::map<std::string, std::string> userTables;
    struct TextColumn {
        bool plain = false;                 // every text printable ASCII
        bool lower = false, upper = false;  // letters of each case appear
    };
    std::map<std::pair<std::string, std::string>, TextColumn> textColumns;

    ~Connection() {
        for (auto& [n, stmt] : printfStatements) sqlite3_finalize(stmt);
        for (auto& [sql, stmt] : internalStatements) sqlite3_finalize(stmt);
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
        if (ticks != 0 && std::chrono::steady_clock::now().time_since_epoch().count() > ticks)
            return true;
        return sibling && sibling->PastAbsoluteDeadline();
    }
};

// Name of the collation that compares texts ignoring letter case (Spanish, accents kept).
inline constexpr std::string_view kCollation = "es_ci";

inline Error NotOpenError(std::string_view sql = {}) {
    return Failure(Code::NotOpen, {}, std::string(sql));
}

// One of the engine's own failures: its result code and message.
Error EngineFailure(int rc, std::string message, std::string_view sql = {});

// The engine's failure `rc` on `db` (or without one, its generic text), by reason: a parse
// error, an interruption, "too much memory" and "too big" told apart from the rest.
Error ErrorOf(sqlite3* db, int rc, std::string_view sql);
// The error of a statement stopped by a value too big: when one of the stored columns it
// reads holds such a value, that column is named (the statement built nothing too big).
Error TooBigError(Connection& c, const std::vector<std::pair<std::string, std::string>>& reads,
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
// `toRun`: false when the statement is only checked, never run, which spares reading what
// text columns hold (KeepIndexesInTextJoins).
sqlite3_stmt* Compile(Connection& c, std::string_view sql, Error& err, bool toRun = true);

// Makes the case-insensitive views of the user tables not made yet (all of them, before the
// first statement of the connection is compiled).
bool CreatePendingViews(Connection& c, Error& err);

// The statement with the equalities between two text columns that ignoring case cannot
// change compiled as byte comparisons, so that the file's indexes serve them (text_joins.cpp).
std::string KeepIndexesInTextJoins(Connection& c, const std::string& sql);

// ---- the functions and collation each connection has (sql_functions.cpp)

bool RegisterFunctions(Connection& c, Error& err);

// ---- values in and out (recordset.cpp)

bool Bind(Connection& c, sqlite3_stmt* stmt, const std::vector<Value>& params, std::string_view sql,
          Error& err);
Value ColumnValue(sqlite3_stmt* stmt, int i, bool dateColumn, bool& lost);

// ---- structure (structure.cpp)

// Runs an internal query on the connection, bypassing the guard.
std::vector<std::vector<Value>> Rows(Connection& c, const std::string& sql,
                                     const std::vector<Value>& params, Error& err);

}  // namespace veliora::engine

// Opening databases (the user's read-only, the program's own read-write, in-memory
// copies) and running the statements that write.
#include "core/engine/database.h"

#include <linux/magic.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/engine/connection.h"

namespace veliora::engine {

namespace {

std::string QuoteIdentifier(std::string_view name) {
    return QuoteSql(name, '"');
}

bool IsTextType(int code) {
    return code == TypeCode::Text || code == TypeCode::Memo || code == TypeCode::Char;
}

bool ConfigureConnection(Connection& c, Error& err) {
    int on = 1, off = 0;
    sqlite3_db_config(c.db, SQLITE_DBCONFIG_DEFENSIVE, on, nullptr);
    sqlite3_db_config(c.db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, off, nullptr);
    sqlite3_db_config(c.db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, off, nullptr);
    sqlite3_db_config(c.db, SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, off, nullptr);
    sqlite3_extended_result_codes(c.db, 0);
    sqlite3_busy_timeout(c.db, 2000);
    GuardConnection(c);
    if (!RegisterFunctions(c, err))
        return false;

    // A file that is not a database fails here rather than at the first query.
    char* message = nullptr;
    int rc =
        sqlite3_exec(c.db, "SELECT count(*) FROM main.sqlite_master", nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        err = EngineFailure(rc, message ? message : sqlite3_errstr(rc));
        sqlite3_free(message);
        return false;
    }
    return true;
}

// The user tables, and the database's own views.
std::vector<std::vector<Value>> UserTablesAndViews(Connection& c, Error& err) {
    return Rows(c,
                "SELECT name, type = 'view' FROM main.sqlite_master WHERE type IN ('table', "
                "'view') AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'",
                {}, err);
}

// Shadows a user table by a TEMP view of the same name whose text columns compare ignoring
// letter case (Spanish, accents kept), as students expect of text conditions.
bool CreateCaseInsensitiveView(Connection& c, const std::string& table, Error& err) {
    InternalScope internal(c);
    std::string columns;
    // Generated columns too; hidden columns of virtual tables are no part of a row.
    for (const auto& row : Rows(c,
                                "SELECT name, type FROM pragma_table_xinfo(?, 'main') "
                                "WHERE hidden <> 1",
                                {Value::Text(table)}, err)) {
        const std::string& column = row[0].text;
        if (!columns.empty())
            columns += ", ";
        columns += QuoteIdentifier(column);
        if (IsTextType(TypeCodeFromDeclared(row[1].text)))
            columns += " COLLATE " + std::string(kCollation) + " AS " + QuoteIdentifier(column);
    }
    if (err.failed() || columns.empty())
        return !err.failed();
    std::string create = "CREATE TEMP VIEW " + QuoteIdentifier(table) + " AS SELECT " + columns +
                         " FROM main." + QuoteIdentifier(table);
    char* message = nullptr;
    if (sqlite3_exec(c.db, create.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        err = EngineFailure(SQLITE_ERROR, message ? message : "CREATE TEMP VIEW", create);
        sqlite3_free(message);
        return false;
    }
    return true;
}

bool CreateCaseInsensitiveViews(Connection& c, Error& err) {
    for (const auto& row : UserTablesAndViews(c, err))
        if (row[1].integer == 0 && !CreateCaseInsensitiveView(c, row[0].text, err))
            return false;
    return !err.failed();
}

// Notes the tables whose views are made when a statement first names them, so that opening
// a database of thousands of tables costs one query.
bool NoteCaseInsensitiveViews(Connection& c, Error& err) {
    for (const auto& row : UserTablesAndViews(c, err)) {
        if (!row[1].integer) {
            c.viewsPending[LowerAscii(row[0].text)] = row[0].text;
            c.userTables[LowerAscii(row[0].text)] = row[0].text;
        }
    }
    return !err.failed();
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
bool RunStatement(Connection& c, std::string_view sql, Error& err,
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
            err = rc == SQLITE_INTERRUPT ? TimeLimitError(c.limits, sql) : ErrorOf(c.db, rc, sql);
            ok = false;
        }
    }
    sqlite3_finalize(stmt);
    return ok;
}

std::shared_ptr<Connection> Connect(const std::string& name, int flags, Database::Kind kind,
                                    Error& err) {
    auto conn = std::make_shared<Connection>();
    conn->kind = kind;
    int rc = sqlite3_open_v2(name.c_str(), &conn->db, flags, nullptr);
    if (rc != SQLITE_OK) {
        err = ErrorOf(conn->db, rc, {});
        return nullptr;
    }
    if (!ConfigureConnection(*conn, err))
        return nullptr;
    conn->opened = name;
    conn->openFlags = flags;
    return conn;
}

// The user's database, read-only behind its case-insensitive views. A WAL-mode file needs
// a shared-memory file beside it, which the engine would create in the user's folder
// (impossible in a read-only one). With no log to read, the immutable mode reads the file
// alone; with one, a private copy of both is read, so that the log's transactions are seen
// and nothing is created beside the user's file; the file alone when the copy cannot be
// made.
std::shared_ptr<Connection> ConnectUser(const std::string& path, Error& err) {
    const auto kind = Database::Kind::User;
    std::error_code ec;
    std::shared_ptr<Connection> conn;
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
            conn = Connect(ImmutableUri(path), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, kind, err);
        }
    }
    if (conn && !NoteCaseInsensitiveViews(*conn, err))
        return nullptr;
    return conn;
}

// Fails with the source's or the copy's error; an interrupted read is the time limit.
bool CopyFailed(const Connection& from, sqlite3* db, int rc, std::string_view sql, Error& err) {
    err = rc == SQLITE_INTERRUPT ? TimeLimitError(from.limits, sql) : ErrorOf(db, rc, sql);
    return false;
}

// The table's definition and those of its indexes, as the source has them.
bool CopyDefinitions(Connection& from, Connection& to, const std::string& table, Error& err) {
    auto definitions = Rows(from,
                            "SELECT sql FROM main.sqlite_master WHERE sql IS NOT NULL "
                            "AND ((type = 'table' AND name = ?1) OR "
                            "(type = 'index' AND tbl_name = ?1)) ORDER BY type DESC",
                            {Value::Text(table)}, err);
    if (err.failed())
        return false;
    if (definitions.empty()) {
        err = EngineFailure(SQLITE_ERROR, "no such table: " + table);
        return false;
    }
    for (const auto& row : definitions) {
        int rc = sqlite3_exec(to.db, row[0].text.c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return CopyFailed(from, to.db, rc, row[0].text, err);
    }
    return true;
}

// The chosen rows of the table, from the source into its copy.
bool CopyRows(Connection& from, Connection& to, const Database::TableCopy& table, Error& err) {
    std::string select = "SELECT * FROM main." + QuoteIdentifier(table.name);
    if (!table.where.empty())
        select += " WHERE " + table.where;
    sqlite3_stmt* read = nullptr;
    int rc = sqlite3_prepare_v2(from.db, select.c_str(), -1, &read, nullptr);
    if (rc != SQLITE_OK)
        return CopyFailed(from, from.db, rc, select, err);
    const int n = sqlite3_column_count(read);
    std::string insert = "INSERT INTO main." + QuoteIdentifier(table.name) + " VALUES (";
    for (int k = 0; k < n; ++k) insert += k ? ", ?" : "?";
    insert += ")";
    sqlite3_stmt* write = nullptr;
    rc = sqlite3_prepare_v2(to.db, insert.c_str(), -1, &write, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(read)) == SQLITE_ROW) {
        for (int k = 0; k < n; ++k) sqlite3_bind_value(write, k + 1, sqlite3_column_value(read, k));
        const int written = sqlite3_step(write);
        sqlite3_reset(write);
        if (written != SQLITE_DONE) {
            CopyFailed(from, to.db, written, insert, err);
            rc = written;
            break;
        }
        rc = SQLITE_OK;
    }
    if (rc != SQLITE_DONE && !err.failed())
        CopyFailed(from, write ? from.db : to.db, rc, write ? select : insert, err);
    sqlite3_finalize(write);
    sqlite3_finalize(read);
    return !err.failed();
}

}  // namespace

bool IsSpecialFile(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return false;
    if (!S_ISREG(info.st_mode))
        return true;
    struct statfs sistema {};
    if (statfs(path.c_str(), &sistema) != 0)
        return false;
    switch (static_cast<unsigned long>(sistema.f_type)) {
        case PROC_SUPER_MAGIC:
        case SYSFS_MAGIC:
        case DEBUGFS_MAGIC:
        case TRACEFS_MAGIC:
        case SECURITYFS_MAGIC:
        case CGROUP_SUPER_MAGIC:
        case CGROUP2_SUPER_MAGIC:
        case EFIVARFS_MAGIC:
        case BPF_FS_MAGIC:
        case DEVPTS_SUPER_MAGIC:
            return true;
        default:
            return false;
    }
}

std::shared_ptr<Database> Database::Open(const std::string& path, Kind kind, Error& err) {
    err.clear();
    std::error_code ec;
    // A pipe would block the open, a folder or a kernel file read as an empty database.
    if (IsSpecialFile(path)) {
        err = Failure(Code::NotRegularFile, path);
        return nullptr;
    }
    if (!std::filesystem::is_regular_file(path, ec)) {
        err = Failure(Code::FileMissing, path);
        return nullptr;
    }
    std::shared_ptr<Connection> conn = kind == Kind::User
                                           ? ConnectUser(path, err)
                                           : Connect(path, SQLITE_OPEN_READWRITE, kind, err);
    if (!conn)
        return nullptr;
    std::shared_ptr<Database> db(new Database());
    db->conn_ = std::move(conn);
    db->kind_ = kind;
    db->path_ = std::filesystem::absolute(path, ec).lexically_normal().string();
    return db;
}

std::shared_ptr<Database> Database::OpenSibling(Error& err) {
    err.clear();
    if (!conn_ || kind_ != Kind::User || conn_->memoryCopy || conn_->opened.empty()) {
        err = NotOpenError({});
        return nullptr;
    }
    auto conn = Connect(conn_->opened, conn_->openFlags, kind_, err);
    if (!conn || !NoteCaseInsensitiveViews(*conn, err))
        return nullptr;
    conn->limits = conn_->limits;
    conn->textColumns = conn_->textColumns;
    conn->sibling = conn_;
    std::shared_ptr<Database> db(new Database());
    db->conn_ = std::move(conn);
    db->kind_ = kind_;
    db->path_ = path_;
    return db;
}

std::shared_ptr<Database> Database::Create(const std::string& path, Error& err) {
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

bool Database::Execute(std::string_view sql, Error& err, const std::vector<Value>& params) {
    err.clear();
    if (!conn_) {
        err = NotOpenError(sql);
        return false;
    }
    if (kind_ == Kind::User) {
        err = Failure(Code::UserReadOnly, {}, std::string(sql));
        return false;
    }
    return RunStatement(*conn_, sql, err, params);
}

bool Database::ExecuteOnCopy(std::string_view sql, Error& err, const std::vector<Value>& params) {
    err.clear();
    if (!conn_ || !conn_->memoryCopy) {
        err = Failure(Code::CopyOnly, {}, std::string(sql));
        return false;
    }
    InternalScope internal(*conn_);
    return RunStatement(*conn_, sql, err, params);
}

std::vector<std::string> Database::KeyViolations(const std::vector<std::string>& tables,
                                                 Error& err) {
    err.clear();
    std::vector<std::string> found;
    if (!conn_ || !conn_->memoryCopy) {
        err = Failure(Code::CopyOnly);
        return found;
    }
    for (const std::string& table : tables) {
        const auto key = Rows(*conn_, "SELECT name FROM pragma_table_info(?, 'main') WHERE pk > 0",
                              {Value::Text(table)}, err);
        std::string nulls;
        for (const auto& column : key)
            nulls += (nulls.empty() ? "" : " OR ") + QuoteIdentifier(column[0].text) + " IS NULL";
        // A table without row ids keeps its key's columns not null by itself.
        const auto list = Rows(*conn_, "SELECT wr FROM pragma_table_list(?) WHERE schema = 'main'",
                               {Value::Text(table)}, err);
        const bool rowids = !list.empty() && list[0][0].integer == 0;
        if (err.failed())
            return {};
        if (!nulls.empty() && rowids)
            for (const auto& row : Rows(*conn_,
                                        "SELECT 'key ' || rowid FROM main." +
                                            QuoteIdentifier(table) + " WHERE " + nulls,
                                        {}, err))
                found.push_back(table + "\t" + row[0].toPlainText());
        for (const auto& row : Rows(*conn_,
                                    "SELECT 'reference ' || fkid || ' ' || quote(rowid) FROM "
                                    "pragma_foreign_key_check(?, 'main')",
                                    {Value::Text(table)}, err))
            found.push_back(table + "\t" + row[0].toPlainText());
        if (err.failed())
            return {};
    }
    std::sort(found.begin(), found.end());
    return found;
}

bool Database::ExecuteScript(std::string_view script, Error& err) {
    err.clear();
    if (!conn_) {
        err = NotOpenError();
        return false;
    }
    if (kind_ == Kind::User) {
        err = Failure(Code::UserReadOnly);
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
            err = rc == SQLITE_INTERRUPT ? TimeLimitError(conn_->limits, sql)
                                         : ErrorOf(conn_->db, rc, sql);
            return false;
        }
    }
    return true;
}

std::int64_t Database::Changes() const {
    return conn_ ? sqlite3_changes64(conn_->db) : 0;
}

bool Database::ReplaceWith(const std::string& path, Error& err) {
    err.clear();
    if (!conn_ || kind_ == Kind::User) {
        err = Failure(Code::ReplaceOwnOnly);
        return false;
    }
    sqlite3* source = nullptr;
    if (sqlite3_open_v2(path.c_str(), &source, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(source);
        err = Failure(Code::CannotOpen, path);
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
        err = EngineFailure(number, sqlite3_errstr(number));
        return false;
    }
    return true;
}

bool Database::Prepare(std::string_view sql, Error& err) {
    err.clear();
    if (!conn_) {
        err = NotOpenError(sql);
        return false;
    }
    sqlite3_stmt* stmt = Compile(*conn_, sql, err, false);
    sqlite3_finalize(stmt);
    return stmt != nullptr;
}

bool Database::BeginTransaction(Error& err) {
    return Execute("BEGIN IMMEDIATE", err);
}
bool Database::Commit(Error& err) {
    return Execute("COMMIT", err);
}
void Database::Rollback() {
    Error ignored;
    Execute("ROLLBACK", ignored);
}

std::shared_ptr<Database> Database::OpenMemoryCopy(Database& source,
                                                   const std::vector<TableCopy>& tables,
                                                   Error& err) {
    err.clear();
    if (!source.conn_) {
        err = NotOpenError();
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
        for (const TableCopy& table : tables)
            if (!CopyDefinitions(from, *conn, table.name, err) ||
                !CopyRows(from, *conn, table, err))
                return nullptr;
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

bool CreatePendingViews(Connection& c, Error& err) {
    if (c.viewsPending.empty())
        return true;
    // All of them at once, before the connection's first statement runs: creating a view
    // while another statement of the connection is running aborts that statement (the
    // engine rolls back what it read through the views), as a check runs two at a time.
    InternalScope internal(c);
    const bool own = sqlite3_get_autocommit(c.db) &&
                     sqlite3_exec(c.db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    bool done = true;
    for (const auto& [key, table] : c.viewsPending)
        if (!(done = CreateCaseInsensitiveView(c, table, err)))
            break;
    if (own &&
        sqlite3_exec(c.db, done ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr) != SQLITE_OK &&
        done) {
        err = ErrorOf(c.db, sqlite3_errcode(c.db), "COMMIT");
        done = false;
    }
    if (done)
        c.viewsPending.clear();
    return done;
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

}  // namespace veliora::engine

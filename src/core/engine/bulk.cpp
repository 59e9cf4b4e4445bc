// Writing a new database in bulk, and reading a file as it is.
#include <sqlite3.h>

#include "core/engine/database.h"

namespace veliora::engine {

BulkWriter::~BulkWriter() {
    sqlite3_finalize(insert_);
    sqlite3_close(db_);
}

bool BulkWriter::Open(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
        return false;
    return Execute("PRAGMA journal_mode = MEMORY") && Execute("PRAGMA synchronous = OFF") &&
           Execute("BEGIN");
}

bool BulkWriter::Execute(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    lastError_ = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    return false;
}

bool BulkWriter::PrepareInsert(const std::string& sql) {
    sqlite3_finalize(insert_);
    insert_ = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &insert_, nullptr) == SQLITE_OK)
        return true;
    lastError_ = sqlite3_errmsg(db_);
    return false;
}

void BulkWriter::BindNull(int n) {
    sqlite3_bind_null(insert_, n);
}

void BulkWriter::BindInteger(int n, std::int64_t value) {
    sqlite3_bind_int64(insert_, n, value);
}

void BulkWriter::BindReal(int n, double value) {
    sqlite3_bind_double(insert_, n, value);
}

void BulkWriter::BindText(int n, std::string_view text) {
    sqlite3_bind_text(insert_, n, text.data(), int(text.size()), SQLITE_TRANSIENT);
}

void BulkWriter::BindTextInPlace(int n, std::string_view text) {
    sqlite3_bind_text(insert_, n, text.data(), int(text.size()), SQLITE_STATIC);
}

void BulkWriter::BindBlob(int n, std::string_view bytes) {
    sqlite3_bind_blob(insert_, n, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
}

bool BulkWriter::InsertRow() {
    const bool done = sqlite3_step(insert_) == SQLITE_DONE;
    if (!done)
        lastError_ = sqlite3_errmsg(db_);
    sqlite3_reset(insert_);
    return done;
}

bool BulkWriter::NameFree(std::string_view name) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db_, "SELECT 1 FROM sqlite_master WHERE name = ? COLLATE NOCASE", -1, &st,
                       nullptr);
    // The whole name: one cut at a NUL byte (a damaged file's) would always be taken.
    sqlite3_bind_text(st, 1, name.data(), int(name.size()), SQLITE_TRANSIENT);
    const bool unused = sqlite3_step(st) != SQLITE_ROW;
    sqlite3_finalize(st);
    return unused;
}

bool BulkWriter::Commit() {
    sqlite3_finalize(insert_);
    insert_ = nullptr;
    bool ok = Execute("COMMIT");
    ok = sqlite3_close(db_) == SQLITE_OK && ok;
    db_ = nullptr;
    return ok;
}

std::optional<std::vector<std::vector<std::string>>> ReadRows(const std::string& path,
                                                              std::string_view sql) {
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    std::optional<std::vector<std::vector<std::string>>> rows;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, sql.data(), int(sql.size()), &st, nullptr) == SQLITE_OK) {
        rows.emplace();
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            std::vector<std::string>& row = rows->emplace_back();
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(st, i));
                row.emplace_back(bytes ? bytes : "", std::size_t(sqlite3_column_bytes(st, i)));
            }
        }
        if (rc != SQLITE_DONE)
            rows.reset();
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

}  // namespace veliora::engine

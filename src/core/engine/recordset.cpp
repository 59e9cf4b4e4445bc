// Read-only results: the rows a statement gives, fetched as the cursor needs them, and
// the values read from and bound to statements.
#include <sqlite3.h>

#include <algorithm>
#include <cctype>

#include "core/engine/connection.h"

namespace veliora::engine {

namespace {

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

// Reads a column into `out`, reusing its text buffer. A text or blob the engine cannot hand
// over (out of memory) sets `lost`. The caller holds the connection's mutex while it reads a
// row: the value is then as good as protected, and each read takes no lock of its own (a
// lock per read was a third of reading a big result).
void ReadColumn(sqlite3_stmt* stmt, int i, bool dateColumn, bool& lost, Value& out) {
    sqlite3_value* value = sqlite3_column_value(stmt, i);
    switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            out.type = ValueType::Integer;
            out.integer = sqlite3_value_int64(value);
            out.text.clear();
            return;
        case SQLITE_FLOAT:
            out.type = ValueType::Real;
            out.real = sqlite3_value_double(value);
            out.text.clear();
            return;
        case SQLITE_TEXT: {
            const char* data = reinterpret_cast<const char*>(sqlite3_value_text(value));
            if (!data) {
                lost = true;
                out = Value::Null();
                return;
            }
            out.text.assign(data, std::size_t(sqlite3_value_bytes(value)));
            out.type = dateColumn && LooksLikeIsoDate(out.text) ? ValueType::Date : ValueType::Text;
            return;
        }
        case SQLITE_BLOB: {
            const void* data = sqlite3_value_blob(value);
            if (!data && sqlite3_errcode(sqlite3_db_handle(stmt)) == SQLITE_NOMEM)
                lost = true;
            out.type = ValueType::Blob;
            if (data)
                out.text.assign(static_cast<const char*>(data),
                                std::size_t(sqlite3_value_bytes(value)));
            else
                out.text.clear();
            return;
        }
        default:
            out = Value::Null();
    }
}

// Holds a connection's mutex while a row is read.
class RowLock {
  public:
    explicit RowLock(sqlite3_stmt* stmt) : mutex_(sqlite3_db_mutex(sqlite3_db_handle(stmt))) {
        sqlite3_mutex_enter(mutex_);
    }
    ~RowLock() { sqlite3_mutex_leave(mutex_); }
    RowLock(const RowLock&) = delete;
    RowLock& operator=(const RowLock&) = delete;

  private:
    sqlite3_mutex* mutex_;
};

}  // namespace

bool Bind(Connection& c, sqlite3_stmt* stmt, const std::vector<Value>& params, std::string_view sql,
          Error& err) {
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

Value ColumnValue(sqlite3_stmt* stmt, int i, bool dateColumn, bool& lost) {
    Value v;
    RowLock lock(stmt);
    ReadColumn(stmt, i, dateColumn, lost, v);
    return v;
}

Recordset::Recordset(std::shared_ptr<Connection> conn, sqlite3_stmt* stmt, std::string sql,
                     bool forwardOnly)
    : conn_(std::move(conn)),
      stmt_(stmt),
      sql_(std::move(sql)),
      reads_(std::move(conn_->reads)),
      forwardOnly_(forwardOnly) {
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
        return FailFetching(Failure(Code::TooManyRows, {}, sql_));
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
            return FailFetching(MemoryLimitError(conn_->limits, sql_));
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
        error_ = TimeLimitError(conn_->limits, sql_);
    else if (rc == SQLITE_TOOBIG)
        error_ = TooBigError(*conn_, reads_, sql_);
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
    {
        RowLock lock(stmt_);
        for (std::size_t i = 0; i < names_.size(); ++i) {
            ReadColumn(stmt_, int(i), dateColumn_[i], lost, row[i]);
            bytes += row[i].text.size();
        }
    }
    if (lost) {
        rows_.clear();
        return EndFetching(SQLITE_NOMEM);
    }
    if (bytes > conn_->limits.maxBytes) {
        rows_.clear();
        return FailFetching(MemoryLimitError(conn_->limits, sql_));
    }
    ++read_;
    pos_ = 0;
    return true;
}

bool Recordset::FailFetching(engine::Error error) {
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

std::unique_ptr<Recordset> Database::OpenRecordset(std::string_view sql, Error& err,
                                                   const std::vector<Value>& params) {
    return OpenCursor(sql, err, params, false);
}

std::unique_ptr<Recordset> Database::OpenForwardOnly(std::string_view sql, Error& err,
                                                     const std::vector<Value>& params) {
    return OpenCursor(sql, err, params, true);
}

std::unique_ptr<Recordset> Database::OpenCursor(std::string_view sql, Error& err,
                                                const std::vector<Value>& params,
                                                bool forwardOnly) {
    err.clear();
    if (!conn_) {
        err = NotOpenError(sql);
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

Value Database::Scalar(std::string_view sql, Error& err, const std::vector<Value>& params) {
    auto rs = OpenRecordset(sql, err, params);
    if (!rs || rs->Eof() || rs->FieldCount() == 0)
        return Value::Null();
    return rs->Field(0);
}

}  // namespace veliora::engine

// The structure of a database as the program shows it: tables, fields, indexes and
// relations.
#include <sqlite3.h>

#include <algorithm>
#include <map>

#include "core/engine/connection.h"

namespace veliora::engine {

std::vector<std::vector<Value>> Rows(Connection& c, const std::string& sql,
                                     const std::vector<Value>& params, Error& err) {
    InternalScope internal(c);
    std::vector<std::vector<Value>> rows;
    // Compiled once per connection: reading a big schema asks the same few queries of
    // thousands of tables.
    constexpr std::size_t kGuardadas = 64;
    sqlite3_stmt* stmt = nullptr;
    const auto known = c.internalStatements.find(sql);
    int rc = SQLITE_OK;
    if (known != c.internalStatements.end())
        stmt = known->second;
    else
        rc = sqlite3_prepare_v2(c.db, sql.c_str(), -1, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        err = ErrorOf(c.db, rc, sql);
        return rows;
    }
    const bool kept =
        known != c.internalStatements.end() || (c.internalStatements.size() < kGuardadas &&
                                                c.internalStatements.emplace(sql, stmt).second);
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
    if (kept) {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    } else {
        sqlite3_finalize(stmt);
    }
    return rows;
}

namespace {

// One read transaction around the many queries that read a structure, rather than a lock
// taken and released by each (thousands on a big schema); none inside one already open.
class ReadTransaction {
  public:
    explicit ReadTransaction(Connection& c) : c_(c) {
        InternalScope internal(c_);
        open_ = sqlite3_get_autocommit(c_.db) &&
                sqlite3_exec(c_.db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~ReadTransaction() {
        InternalScope internal(c_);
        if (open_ && sqlite3_exec(c_.db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            sqlite3_exec(c_.db, "ROLLBACK", nullptr, nullptr, nullptr);
    }

  private:
    Connection& c_;
    bool open_ = false;
};

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return LowerText(a) < LowerText(b);
}

constexpr int kAttributeSystem = 2;
constexpr int kAttributeView = 8;

struct ForeignKey {
    std::string table;   // referencing table
    std::string parent;  // referenced table, as the database names it
    std::vector<RelationField> fields;
};

std::vector<std::string> PrimaryKeyColumns(Connection& c, const std::string& table, Error& err) {
    auto info = Rows(c, "SELECT name, pk FROM pragma_table_info(?, 'main') WHERE pk > 0",
                     {Value::Text(table)}, err);
    std::sort(info.begin(), info.end(),
              [](const auto& a, const auto& b) { return a[1].integer < b[1].integer; });
    std::vector<std::string> columns;
    for (const auto& row : info) columns.push_back(row[0].text);
    return columns;
}

std::vector<std::string> OrdinaryTables(Connection& c, Error& err) {
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

std::vector<std::string> ColumnNames(Connection& c, const std::string& table, Error& err) {
    std::vector<std::string> names;
    for (const auto& row :
         Rows(c, "SELECT name FROM pragma_table_info(?, 'main')", {Value::Text(table)}, err))
        names.push_back(row[0].text);
    return names;
}

// The foreign keys `table` declares, parent names as the database spells them.
// Names by their lower case, the first of `names` holding each: found at once among
// thousands of tables.
std::map<std::string, std::string> ByLowerCase(const std::vector<std::string>& names) {
    std::map<std::string, std::string> found;
    for (const auto& n : names) found.emplace(LowerText(n), n);
    return found;
}

std::vector<ForeignKey> ForeignKeysOf(Connection& c,
                                      const std::map<std::string, std::string>& tables,
                                      const std::string& table, Error& err) {
    auto rows = Rows(c,
                     "SELECT id, seq, \"table\", \"from\", \"to\" FROM "
                     "pragma_foreign_key_list(?, 'main') ORDER BY id DESC, seq",
                     {Value::Text(table)}, err);
    std::vector<ForeignKey> keys;
    std::int64_t current = -1;
    for (const auto& row : rows) {
        if (row[0].integer != current) {
            current = row[0].integer;
            const auto parent = tables.find(LowerText(row[2].text));
            keys.push_back({table, parent == tables.end() ? row[2].text : parent->second, {}});
        }
        keys.back().fields.push_back({row[4].text, row[3].text});
    }
    return keys;
}

// Fills in the parent columns a key leaves implicit and spells every field as its table
// declares it, whatever case the key was written in.
void ResolveFields(Connection& c, ForeignKey& key, Error& err) {
    // A key that names no parent columns refers to the parent's primary key.
    bool implicit = std::all_of(key.fields.begin(), key.fields.end(),
                                [](const RelationField& f) { return f.Name.empty(); });
    if (implicit) {
        auto pk = PrimaryKeyColumns(c, key.parent, err);
        for (std::size_t i = 0; i < key.fields.size() && i < pk.size(); ++i)
            key.fields[i].Name = pk[i];
    }
    auto parentColumns = ColumnNames(c, key.parent, err);
    auto childColumns = ColumnNames(c, key.table, err);
    for (RelationField& f : key.fields) {
        f.Name = ActualName(parentColumns, f.Name);
        f.ForeignName = ActualName(childColumns, f.ForeignName);
    }
}

// The parent's name then the child's, numbered from 1 when already given (case ignored).
std::string UniqueRelationName(const ForeignKey& key, std::map<std::string, int>& used) {
    std::string base = key.parent + key.table, name = base;
    for (int n = 1; used.count(LowerText(name)); ++n) name = base + std::to_string(n);
    used[LowerText(name)] = 1;
    return name;
}

std::vector<FieldDef> FieldsOf(Connection& c, const std::string& table, Error& err) {
    std::vector<FieldDef> fields;
    auto columns = Rows(c, "SELECT name, type, hidden FROM pragma_table_xinfo(?, 'main')",
                        {Value::Text(table)}, err);
    for (const auto& col : columns) {
        if (col[2].integer == 1)
            continue;  // hidden columns of virtual tables
        fields.push_back({col[0].text, TypeCodeFromDeclared(col[1].text), col[1].text});
    }
    return fields;
}

// The table's indexes, the primary key first (named "PrimaryKey"), the rest by name.
std::vector<IndexDef> IndexesOf(Connection& c, const std::string& table, Error& err) {
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
    return indexes;
}

std::vector<std::string> SortedLower(std::vector<std::string> v) {
    for (auto& s : v) s = LowerText(s);
    std::sort(v.begin(), v.end());
    return v;
}

// One index per relation whose foreign side is `table`, unique when a unique index holds
// the same fields.
void AddForeignIndexes(const std::vector<Relation>& relations, const std::string& table,
                       std::vector<IndexDef>& indexes) {
    for (const Relation& r : relations) {
        if (r.ForeignTable != table)
            continue;
        IndexDef fk{r.Name, false, true, false, {}};
        for (const auto& f : r.Fields) fk.Fields.push_back(f.ForeignName);
        for (const IndexDef& idx : indexes)
            if (idx.Unique && SortedLower(idx.Fields) == SortedLower(fk.Fields))
                fk.Unique = true;
        indexes.push_back(std::move(fk));
    }
}

}  // namespace

const std::vector<Relation>& Database::Relations(Error& err) {
    err.clear();
    if (relationsLoaded_ || !conn_)
        return relations_;
    Connection& c = *conn_;
    ReadTransaction reading(c);
    const auto tables = OrdinaryTables(c, err);
    const auto tablesByLower = ByLowerCase(tables);
    std::vector<Relation> relations;
    std::map<std::string, int> used;  // lower-cased names already given
    for (const std::string& table : tables) {
        for (ForeignKey& key : ForeignKeysOf(c, tablesByLower, table, err)) {
            ResolveFields(c, key, err);
            relations.push_back({UniqueRelationName(key, used), key.parent, key.table, key.fields});
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

std::vector<TableDef> Database::TableDefs(Error& err) {
    err.clear();
    std::vector<TableDef> defs;
    if (!conn_) {
        err = NotOpenError();
        return defs;
    }
    Connection& c = *conn_;
    ReadTransaction reading(c);
    const auto& relations = Relations(err);
    if (err.failed())
        return defs;
    std::vector<std::string> virtuals;
    for (const auto& row : Rows(c,
                                "SELECT name FROM pragma_table_list WHERE schema = 'main' AND "
                                "type IN ('virtual', 'shadow')",
                                {}, err))
        virtuals.push_back(row[0].text);
    for (const std::string& table : OrdinaryTables(c, err)) {
        TableDef def{table, 0, FieldsOf(c, table, err), IndexesOf(c, table, err), false};
        AddForeignIndexes(relations, table, def.Indexes);
        def.Virtual = std::find(virtuals.begin(), virtuals.end(), table) != virtuals.end();
        defs.push_back(std::move(def));
    }
    auto others = Rows(c,
                       "SELECT name, type FROM main.sqlite_master WHERE type = 'view' OR "
                       "(type = 'table' AND name LIKE 'sqlite\\_%' ESCAPE '\\') ORDER BY name",
                       {}, err);
    for (const auto& row : others)
        defs.push_back({row[0].text,
                        row[1].text == "view" ? kAttributeView : kAttributeSystem,
                        {},
                        {},
                        false});
    return defs;
}

}  // namespace veliora::engine

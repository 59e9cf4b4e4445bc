// veliora-mdb: reads a Microsoft Access file with mdbtools and writes its user tables,
// indexes, relationships and rows to stdout as lines the core turns into a SQLite database.
// A separate process keeps glib out of the program and a crash of the reader on a damaged
// file out of the window.
//
// Lines (fields separated by tabs; \\ \t \n \r escaped, \N is a null), in this order:
//   V version                         0 JET3, 1 JET4, 2 and above ACE
//   L relationship foreign column referenced referencedColumn position flags
//   S name rows                       a readable user table, before any table is dumped
//   X name text                       a user table whose definition cannot be read
//   T name rows                       a table begins (rows: the count the file records)
//   C name type size precision scale autonumber
//   I name kind column...            kind P (primary key), U (unique) or N (plain)
//   R value...                        one row, a value per column (see WriteValue)
//   N text                            a note on the current table
//   X text                            the current table could not be read
//   E                                 the table ends
//   Z                                 the end
// glib first: mdbtools.h includes it inside extern "C", where its C++ parts cannot live.
#include <glib.h>
#include <mdbtools.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kOffsetMask = 0x1fff;  // row offsets carry deleted/lookup flags above

std::string Escape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void Line(char kind, const std::vector<std::string>& fields) {
    std::string line(1, kind);
    for (const auto& f : fields) {
        line += '\t';
        line += f;
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

template <typename T>
T Read(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);  // the files are little-endian, as is every target
    return v;
}

std::string Hex(const unsigned char* p, std::size_t n) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    out.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

std::string Number(const char* format, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

std::string TakeString(char* s) {
    std::string out = s ? s : "";
    g_free(s);
    return out;
}

// The whole long value (memo or OLE) of a column at `start` of the current row page.
std::string LongValue(MdbHandle* mdb, MdbColumn* col, int start, int size) {
    std::vector<unsigned char> header(mdb->pg_buf + start, mdb->pg_buf + start + MDB_MEMO_OVERHEAD);
    std::vector<char> chunk(2 * MDB_PGSIZE);
    std::string out;
    // mdb_ole_read writes into the column's bound buffer and reads its current extent.
    void* bound = col->bind_ptr;
    col->bind_ptr = chunk.data();
    col->cur_value_start = start;
    col->cur_value_len = size;
    std::size_t n = mdb_ole_read(mdb, col, header.data(), chunk.size());
    while (n > 0) {
        out.append(chunk.data(), n);
        n = mdb_ole_read_next(mdb, col, header.data());
    }
    col->bind_ptr = bound;
    return out;
}

// Text in the file's encoding (JET3 code page, JET4 UCS-2 maybe compressed) as UTF-8.
std::string Decode(MdbHandle* mdb, const char* data, std::size_t size) {
    std::vector<char> text(3 * size + 16);  // room for the widest UTF-8 of each unit
    int n = mdb_unicode2ascii(mdb, data, size, text.data(), text.size());
    if (n < 0 || std::size_t(n) >= text.size())
        n = int(std::strlen(text.data()));
    return std::string(text.data(), std::size_t(n));
}

// A value as text: integers and reals in C notation, currency as its scaled integer
// (ten-thousandths), dates as the stored day number, yes/no 0/1, binary as hex.
std::string WriteValue(MdbHandle* mdb, MdbColumn* col, const MdbField& f) {
    if (col->col_type == MDB_BOOL)
        return f.is_null ? "0" : "1";  // the value is the null bit itself
    if (f.is_null)
        return "\\N";
    const unsigned char* p = mdb->pg_buf + f.start;
    char buf[64];
    switch (col->col_type) {
        case MDB_BYTE:
            return std::to_string(unsigned(p[0]));
        case MDB_INT:
            return std::to_string(Read<std::int16_t>(p));
        case MDB_LONGINT:
            return std::to_string(Read<std::int32_t>(p));
        case MDB_MONEY:
            std::snprintf(buf, sizeof buf, "%" PRId64, Read<std::int64_t>(p));
            return buf;
        case MDB_FLOAT: {
            // The shortest decimal that reads back as the same single (0.05, not 0.0500000007).
            const float v = Read<float>(p);
            for (int digits = 6; digits < 9; ++digits) {
                std::string text = Number(("%." + std::to_string(digits) + "g").c_str(), v);
                if (std::strtof(text.c_str(), nullptr) == v)
                    return text;
            }
            return Number("%.9g", v);
        }
        case MDB_DOUBLE:
            return Number("%.17g", Read<double>(p));
        case MDB_DATETIME:
            return Number("%.17g", Read<double>(p));
        case MDB_BINARY:
            return Hex(p, std::size_t(f.siz));
        case MDB_REPID:
            return Escape(TakeString(mdb_uuid_to_string(mdb->pg_buf, f.start)));
        case MDB_NUMERIC:
            return Escape(
                TakeString(mdb_numeric_to_string(mdb, f.start, col->col_scale, col->col_prec)));
        case MDB_OLE: {
            std::string bytes = LongValue(mdb, col, f.start, f.siz);
            return Hex(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        }
        case MDB_MEMO: {
            if (f.siz < MDB_MEMO_OVERHEAD)
                return "";
            std::string raw = LongValue(mdb, col, f.start, f.siz);
            return Escape(Decode(mdb, raw.data(), raw.size()));
        }
        default: {
            return Escape(Decode(mdb, reinterpret_cast<const char*>(p), std::size_t(f.siz)));
        }
    }
}

bool Supported(int type) {
    switch (type) {
        case MDB_BOOL:
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
        case MDB_MONEY:
        case MDB_FLOAT:
        case MDB_DOUBLE:
        case MDB_DATETIME:
        case MDB_BINARY:
        case MDB_TEXT:
        case MDB_OLE:
        case MDB_MEMO:
        case MDB_REPID:
        case MDB_NUMERIC:
            return true;
        default:
            return false;
    }
}

void DumpTable(MdbCatalogEntry* entry) {
    MdbTableDef* table = mdb_read_table(entry);
    if (!table)
        return;  // reported before the dump
    mdb_read_columns(table);
    mdb_read_indices(table);
    Line('T', {Escape(table->name), std::to_string(table->num_rows)});
    std::vector<MdbColumn*> columns;
    for (unsigned i = 0; i < table->num_cols; ++i) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        columns.push_back(col);
        if (!Supported(col->col_type)) {
            Line('N', {Escape(std::string("column ") + col->name + " of type " +
                              std::to_string(col->col_type) + " left out")});
            continue;
        }
        Line('C', {Escape(col->name), std::to_string(col->col_type), std::to_string(col->col_size),
                   std::to_string(col->col_prec), std::to_string(col->col_scale),
                   col->is_long_auto ? "1" : "0"});
    }
    for (unsigned i = 0; i < table->num_idxs; ++i) {
        auto* idx = static_cast<MdbIndex*>(g_ptr_array_index(table->indices, i));
        if (idx->index_type == 2)
            continue;  // the hidden index behind a relationship
        std::vector<std::string> fields{Escape(idx->name)};
        fields.push_back(idx->index_type == 1 ? "P" : (idx->flags & MDB_IDX_UNIQUE) ? "U" : "N");
        bool ok = true;
        for (unsigned k = 0; k < idx->num_keys; ++k) {
            int n = idx->key_col_num[k] - 1;
            if (n < 0 || unsigned(n) >= table->num_cols) {
                ok = false;
                break;
            }
            fields.push_back(Escape(columns[std::size_t(n)]->name));
        }
        if (ok)
            Line('I', fields);
    }

    std::vector<MdbField> cracked(table->num_cols + 1);
    mdb_rewind_table(table);
    MdbHandle* h = table->entry->mdb;
    while (mdb_fetch_row(table)) {
        int rowStart = 0;
        std::size_t rowSize = 0;
        if (mdb_find_row(h, int(table->cur_row) - 1, &rowStart, &rowSize) != 0)
            continue;
        int n = mdb_crack_row(table, rowStart & kOffsetMask, rowSize, cracked.data());
        if (n < 0 || unsigned(n) < table->num_cols) {
            Line('X', {"a row cannot be read"});
            break;
        }
        std::vector<std::string> byColumn(table->num_cols);
        for (unsigned i = 0; i < table->num_cols; ++i) {
            const MdbField& f = cracked[i];
            if (f.colnum < 0 || unsigned(f.colnum) >= table->num_cols)
                continue;
            MdbColumn* col = columns[std::size_t(f.colnum)];
            if (Supported(col->col_type))
                byColumn[std::size_t(f.colnum)] = WriteValue(h, col, f);
        }
        std::vector<std::string> values;
        for (unsigned i = 0; i < table->num_cols; ++i)
            if (Supported(columns[i]->col_type))
                values.push_back(std::move(byColumn[i]));
        Line('R', values);
    }
    Line('E', {});
    mdb_free_tabledef(table);
}

void DumpRelationships(MdbHandle* mdb) {
    char name[] = "MSysRelationships";
    MdbTableDef* table = mdb_read_table_by_name(mdb, name, MDB_TABLE);
    if (!table)
        return;
    mdb_read_columns(table);
    const char* wanted[] = {"szRelationship",     "szObject", "szColumn", "szReferencedObject",
                            "szReferencedColumn", "icolumn",  "grbit"};
    constexpr int kCount = 7;
    std::vector<std::vector<char>> bound(kCount, std::vector<char>(MDB_BIND_SIZE));
    std::vector<int> lengths(kCount);
    for (int i = 0; i < kCount; ++i) {
        if (mdb_bind_column_by_name(table, const_cast<gchar*>(wanted[i]), bound[i].data(),
                                    &lengths[i]) < 0) {
            mdb_free_tabledef(table);
            return;
        }
    }
    mdb_rewind_table(table);
    while (mdb_fetch_row(table)) {
        std::vector<std::string> fields;
        for (int i = 0; i < kCount; ++i) fields.push_back(Escape(bound[i].data()));
        Line('L', fields);
    }
    mdb_free_tabledef(table);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: veliora-mdb FILE\n", stderr);
        return 2;
    }
    MdbHandle* mdb = mdb_open(argv[1], MDB_NOFLAGS);
    if (!mdb) {
        std::fputs("mdbtools cannot open the file as an Access database\n", stderr);
        return 1;
    }
    struct stat info {};
    if (stat(argv[1], &info) != 0 || info.st_size % mdb->fmt->pg_size != 0) {
        std::fputs("the file is truncated: its size is not a whole number of pages\n", stderr);
        mdb_close(mdb);
        return 1;
    }
    mdb_set_boolean_fmt_numbers(mdb);
    Line('V', {std::to_string(mdb->f->jet_version)});
    // Before collecting the tables: finding a table by name reads the catalog afresh.
    DumpRelationships(mdb);
    if (!mdb_read_catalog(mdb, MDB_TABLE)) {
        std::fputs("mdbtools cannot read the file's catalog\n", stderr);
        mdb_close(mdb);
        return 1;
    }
    std::vector<MdbCatalogEntry*> tables;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry) &&
            std::strncmp(entry->object_name, "MSys", 4) != 0)
            tables.push_back(entry);
    }
    std::vector<MdbCatalogEntry*> readable;
    for (auto* entry : tables) {
        MdbTableDef* table = mdb_read_table(entry);
        if (!table) {
            Line('X', {Escape(entry->object_name), "mdbtools cannot read the table definition"});
            continue;
        }
        Line('S', {Escape(table->name), std::to_string(table->num_rows)});
        mdb_free_tabledef(table);
        readable.push_back(entry);
    }
    for (auto* entry : readable) DumpTable(entry);
    Line('Z', {});
    std::fflush(stdout);
    mdb_close(mdb);
    return 0;
}

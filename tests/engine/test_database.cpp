#include <gtest/gtest.h>
#include <unicode/ucol.h>

#include <filesystem>
#include <fstream>

#include "core/engine/database.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

using namespace veliora::engine;
using veliora::test::BuildDatabase;
using veliora::test::BuildFixture;
using veliora::test::ReadBytes;
using veliora::test::TempHome;

namespace {

// A user database built from `sql` in `home`, opened as the program opens one.
std::shared_ptr<Database> Built(const TempHome& home, const std::string& name,
                                const std::string& sql) {
    BuildDatabase(home / name, sql);
    Error err;
    auto db = Database::Open((home / name).string(), Database::Kind::User, err);
    EXPECT_TRUE(db) << veliora::TextoDeError(err);
    return db;
}

class UserDatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = (home_ / "tienda.db").string();
        BuildFixture(path_, "eng_tienda");
        db_ = Database::Open(path_, Database::Kind::User, err_);
        ASSERT_TRUE(db_) << veliora::TextoDeError(err_);
    }

    std::vector<std::vector<Value>> Query(const std::string& sql) {
        auto rs = db_->OpenRecordset(sql, err_);
        EXPECT_TRUE(rs) << sql << ": " << veliora::TextoDeError(err_);
        std::vector<std::vector<Value>> rows;
        if (!rs)
            return rows;
        rs->MoveLast();
        for (std::size_t i = 0; i < rs->RecordCount(); ++i) rows.push_back(rs->Row(i));
        return rows;
    }
    std::size_t Count(const std::string& sql) { return Query(sql).size(); }

    TempHome home_;
    std::string path_;
    Error err_;
    std::shared_ptr<Database> db_;
};

}  // namespace

TEST_F(UserDatabase, TextComparisonIgnoresCaseButNotAccents) {
    EXPECT_EQ(Count("select * from Clientes where Ciudad = 'ávila'"), 3u);
    EXPECT_EQ(Count("select * from Clientes where Ciudad = 'ÁVILA'"), 3u);
    EXPECT_EQ(Count("select * from clientes where ciudad = 'avila'"), 1u);
    EXPECT_EQ(Count("select * from [Clientes] where [Clientes].[Ciudad] = 'D''ALACANT'"), 1u);
    EXPECT_EQ(Count("select * from clientes where ciudad in (select ciudad from clientes "
                    "where nombre = 'ANA')"),
              3u);
    // Comparisons between a column and a value keep working in joins and subqueries.
    EXPECT_EQ(Count("select * from clientes, pedidos where clientes.id = pedidos.idcliente "
                    "and clientes.nombre = 'ana'"),
              2u);
    // A join on a text key: three cities spelt 'Ávila' in some case, one 'avila'.
    EXPECT_EQ(Count("select * from clientes a, clientes b where a.ciudad = b.ciudad"), 3u * 3 + 2);
}

// A join or a lookup on an indexed text key ignores case whatever the keys hold: codes of one
// case (compared by their bytes, on the index), of both cases, with accents.
TEST(TextComparison, JoinsAndLookupsOnIndexedTextKeys) {
    std::string copies = "('CD-2')";  // read past by seeking, then what follows still counts
    for (int i = 1; i < 100; ++i) copies += ", ('CD-2')";
    const struct {
        std::string keys, references;
        std::int64_t matches;
        const char* lookup;  // on r.c
        std::int64_t found;
    } cases[] = {
        {"('AB-1'), ('CD-2')", "('AB-1'), ('CD-2'), ('CD-2'), ('EF-3')", 3, "'cd-2'", 2},
        {"('ab-1'), ('x')", "('ab-1'), ('o''neil'), ('x')", 2, "'O''Neil'", 1},
        {"('AB-1'), ('cd-2')", "('ab-1'), ('CD-2'), ('Cd-2'), ('ab-1 ')", 3, "'cD-2'", 2},
        {"('ÁVILA'), ('avila')", "('ávila'), ('Ávila'), ('AVILA'), ('avila')", 4, "'AVILA'", 2},
        {"('ÁVILA'), ('avila')", "('avila'), ('x')", 1, "'ÁVILA'", 0},
        {"('CD-2')", copies, 100, "'cd-2'", 100},
        {"('CD-2')", "('CD-2')", 1, "'cd-2' COLLATE BINARY", 0},  // the user's collation holds
        {"('CD-2')", copies + ", ('cd-2')", 101, "'cd-2'", 101},
    };
    for (const auto& c : cases) {
        TempHome home;
        auto db = Built(home, "claves.db",
                        std::string("create table k (c text primary key); create table r (c text);"
                                    "create index r_c on r (c); insert into k values ") +
                            c.keys + "; insert into r values " + c.references);
        ASSERT_TRUE(db);
        Error err;
        for (const char* join : {"select count(*) from k, r where k.c = r.c",
                                 "select count(*) from r x join k y on (x.c = y.c)"})
            EXPECT_EQ(db->Scalar(join, err).integer, c.matches) << c.keys << ": " << join;
        const std::string lookup = std::string("select count(*) from r where r.c = ") + c.lookup;
        EXPECT_EQ(db->Scalar(lookup, err).integer, c.found) << c.keys << ": " << lookup;
    }
}

// A subquery named as a table is not that table: its texts may be of another case. Named
// as a table or not, it gives the same rows.
TEST(TextComparison, ASubqueryNamedAsATableIsNotIt) {
    TempHome home;
    auto db =
        Built(home, "sombra.db",
              "create table k (c text primary key); create table r (c text); create index r_c "
              "on r (c); insert into k values ('ab-1'), ('x'); insert into r values ('ab-1'), "
              "('ab-1'), ('y')");
    ASSERT_TRUE(db);
    Error err;
    const std::pair<const char*, const char*> named[] = {
        {"select count(*) from (select upper(c) c from r) r where r.c = 'ab-1'",
         "select count(*) from (select upper(c) c from r) q where q.c = 'ab-1'"},
        {"select count(*) from (select upper(c) c from r) as r, k where r.c = k.c",
         "select count(*) from (select upper(c) c from r) as q, k where q.c = k.c"},
    };
    for (const auto& [table, other] : named)
        EXPECT_EQ(db->Scalar(table, err).integer, db->Scalar(other, err).integer) << table;
}

// Views are made as statements name tables, however they spell them; a view of the file's
// own reads the tables through theirs.
TEST(TextComparison, HoldsOnEveryTableOfABigSchema) {
    TempHome home;
    std::string sql = "begin;";
    for (int i = 1; i <= 2000; ++i)
        sql += "create table t" + std::to_string(i) + " (id integer primary key, ciudad text); " +
               "insert into t" + std::to_string(i) + " values (1, 'Ávila');";
    sql += "create view Vista as select * from t7; commit";
    auto db = Built(home, "ancha.db", sql);
    ASSERT_TRUE(db);
    Error err;
    EXPECT_EQ(db->TableDefs(err).size(), 2001u);
    for (const char* query :
         {"select * from t1999 where ciudad = 'ÁVILA'",
          "select * from \"T5\" where ciudad = 'ávila'",
          "select * from [t6] x, `t8` y where x.ciudad = y.ciudad and x.ciudad = 'ávila'",
          "select * from Vista where ciudad = 'ávila'"}) {
        auto rs = db->OpenRecordset(query, err);
        ASSERT_TRUE(rs) << veliora::TextoDeError(err);
        EXPECT_FALSE(rs->Eof()) << query;
    }
}

// Two statements run together, as a check runs them: the second naming a table the first
// does not must not stop the first (making a view while a statement runs aborts it).
TEST(TextComparison, ASecondStatementLeavesTheFirstRunning) {
    TempHome home;
    auto db = Built(home, "dos.db",
                    "create table c (id integer primary key, d text); create table p (c int, n "
                    "text); create table o (x text); insert into c values (1, 'a'), (2, 'b'), "
                    "(3, 'c'); insert into p values (1, 'Arroz')");
    ASSERT_TRUE(db);
    Error err;
    auto first = db->OpenRecordset(
        "select d from c where not exists (select * from p where p.c = c.id and p.n = 'arroz')",
        err);
    ASSERT_TRUE(first) << veliora::TextoDeError(err);
    ASSERT_TRUE(db->OpenRecordset("select * from o", err)) << veliora::TextoDeError(err);
    first->MoveLast();
    EXPECT_FALSE(first->Error().failed()) << veliora::TextoDeError(first->Error());
    EXPECT_EQ(first->RecordCount(), 2u);
}

// Texts of printable ASCII compare exactly as the collator says, ties of case included.
TEST(TextComparison, AgreesWithTheCollator) {
    TempHome home;
    const auto path = home / "pares.db";
    std::string sql = "create table Pares (a text, b text); insert into Pares values ('', '')";
    const std::string alphabet = " !-.09@AZ[_`az{~aB";
    std::vector<std::pair<std::string, std::string>> pairs;
    unsigned seed = 7;
    auto word = [&] {
        std::string w;
        for (unsigned n = (seed = seed * 1103515245 + 12345) >> 16 & 3; n > 0; --n)
            w += alphabet[((seed = seed * 1103515245 + 12345) >> 16) % alphabet.size()];
        return w;
    };
    for (int i = 0; i < 3000; ++i) {
        pairs.emplace_back(word(), word());
        sql += ", (" + QuoteSql(pairs.back().first, '\'') + ", " +
               QuoteSql(pairs.back().second, '\'') + ")";
    }
    BuildDatabase(path, sql);
    Error err;
    auto db = Database::Open(path.string(), Database::Kind::User, err);
    auto rs = db->OpenRecordset("select a, b, (a < b) - (a > b) from Pares", err);
    ASSERT_TRUE(rs) << veliora::TextoDeError(err);
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("es", &status);
    ucol_setStrength(collator, UCOL_SECONDARY);
    for (; !rs->Eof(); rs->MoveNext()) {
        const std::string &a = rs->Field(0).text, &b = rs->Field(1).text;
        const auto expected =
            ucol_strcollUTF8(collator, a.data(), int(a.size()), b.data(), int(b.size()), &status);
        EXPECT_EQ(rs->Field(2).integer, -int(expected)) << a << " / " << b;
    }
    ucol_close(collator);
}

TEST_F(UserDatabase, GroupingFollowsTheSameComparison) {
    auto rows = Query("select Ciudad, count(*) from Clientes group by Ciudad order by 2 desc");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][1].integer, 3);
    EXPECT_EQ(Count("select distinct ciudad from clientes"), 3u);
}

TEST_F(UserDatabase, LowerAndUpperAreUnicodeAware) {
    auto rows = Query("select lower('ÁVILA Ñ'), upper('íñigo'), lower(null)");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].text, "ávila ñ");
    EXPECT_EQ(rows[0][1].text, "ÍÑIGO");
    EXPECT_TRUE(rows[0][2].isNull());
    EXPECT_EQ(LowerWithCapital("SELECT [CLIENTES].* FROM ÁVILA"), "Select [clientes].* from ávila");
    EXPECT_EQ(LowerWithCapital("ÁVILA"), "Ávila");
    EXPECT_EQ(LowerWithCapital(""), "");
}

TEST_F(UserDatabase, DialectRunsUnchanged) {
    auto count = Query(
        "Select Count([Clientes].* ) from [Clientes] where [Clientes].[Alta] > "
        "#01/01/2001#");
    ASSERT_EQ(count.size(), 1u);
    EXPECT_EQ(count[0][0].integer, 4);
    EXPECT_EQ(Count("select * from clientes where alta = #03/15/1999#"), 1u);
    EXPECT_EQ(Count("select * from pedidos where fecha = #01/01/2020 10:30:00#"), 1u);
    EXPECT_EQ(Count("select * from pedidos where fecha between #01/01/2020# and #12/31/2020#"), 2u);
    EXPECT_EQ(Count("select * from [Lineas Pedido] where [Lineas Pedido].[Cantidad] in (2 , 3)"),
              2u);
    EXPECT_EQ(Count("select * from clientes where not exists (select * from pedidos where "
                    "clientes.id = pedidos.idcliente)"),
              2u);
    EXPECT_EQ(Count("select clientes.ciudad, sum(pedidos.importe) from clientes, pedidos where "
                    "clientes.id = pedidos.idcliente group by clientes.ciudad having "
                    "count(pedidos.importe) > 1"),
              1u);
}

TEST_F(UserDatabase, ValuesAreTyped) {
    auto rows = Query(
        "select Clientes.Id, Nombre, Alta, Saldo, Vip, Fecha, max(Alta) from Clientes, "
        "Pedidos where Clientes.Id = 1 and Pedidos.Id = 1");
    ASSERT_EQ(rows.size(), 1u);
    const auto& r = rows[0];
    EXPECT_EQ(r[0].type, ValueType::Integer);
    EXPECT_EQ(r[1].type, ValueType::Text);
    EXPECT_EQ(r[2].type, ValueType::Date);
    EXPECT_EQ(r[2].toSpanishText(), "15/03/1999");
    EXPECT_EQ(r[3].type, ValueType::Real);
    EXPECT_EQ(r[3].toSpanishText(), "10,5");
    EXPECT_EQ(r[3].toPlainText(), "10.5");
    EXPECT_EQ(r[4].integer, 1);
    EXPECT_EQ(r[5].toSpanishText(), "01/01/2020 10:30:00");
    EXPECT_EQ(r[6].type, ValueType::Date) << "an aggregate of a date column is still a date";
}

TEST_F(UserDatabase, CursorMovesLikeAResultSet) {
    auto rs = db_->OpenRecordset("select Id from Clientes order by Id", err_);
    ASSERT_TRUE(rs);
    EXPECT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Field(0).integer, 1);
    EXPECT_EQ(rs->Field("id").integer, 1) << "fields by name ignore case";
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), 5u);
    EXPECT_EQ(rs->AbsolutePosition(), 4);
    EXPECT_EQ(rs->Field(0).integer, 5);
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    EXPECT_TRUE(rs->Field(0).isNull());
    rs->MoveFirst();
    rs->MovePrevious();
    EXPECT_TRUE(rs->Bof());
    rs->SetAbsolutePosition(2);
    EXPECT_EQ(rs->Field(0).integer, 3);
    EXPECT_TRUE(rs->FindFirst("Id", Value::Int(4)));
    EXPECT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->AbsolutePosition(), 3);
    EXPECT_FALSE(rs->FindFirst("Id", Value::Int(40)));
    EXPECT_TRUE(rs->NoMatch());

    auto empty = db_->OpenRecordset("select * from Clientes where Id < 0", err_);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->Eof());
    EXPECT_TRUE(empty->Bof());
    empty->MoveLast();
    EXPECT_EQ(empty->RecordCount(), 0u);
}

TEST_F(UserDatabase, RowsAreFetchedAsNeeded) {
    auto rs = db_->OpenRecordset(
        "with recursive r(n) as (select 1 union all select n + 1 from r limit 1000000) "
        "select n from r",
        err_);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 1u);
    const Value* first = rs->Row(0).data();
    rs->FetchUpTo(100);
    EXPECT_EQ(rs->RecordCount(), 100u);
    EXPECT_EQ(rs->Row(0).data(), first);  // a row read stays put as more are fetched
    EXPECT_FALSE(rs->AtEnd());
}

// Plain writes and their refusal message are the bounds test's; here what else could touch
// the file or another one, through either way of running a statement.
TEST_F(UserDatabase, HostileStatementsAreRefusedAndTheFileStaysIntact) {
    const std::string before = ReadBytes(path_);
    const std::string attached = (home_ / "otra.db").string();
    for (const std::string& sql : std::initializer_list<std::string>{
             "update main.Clientes set Nombre = 'x'", "create temp table Nueva (a)",
             "create temp view V as select 1", "create index I on Clientes(Nombre)",
             "pragma journal_mode = wal", "pragma main.user_version = 7",
             "attach '" + attached + "' as otra",
             "vacuum into '" + (home_ / "copia.db").string() + "'", "begin", "reindex", "analyze",
             "select 1; delete from main.Clientes",
             "select * from Clientes; drop table main.Clientes", "", "   -- only a comment"}) {
        Error err;
        auto rs = db_->OpenRecordset(sql, err);
        EXPECT_FALSE(rs) << sql;
        EXPECT_TRUE(err.failed()) << sql;
        EXPECT_FALSE(db_->Execute(sql, err)) << sql;
    }
    EXPECT_FALSE(std::filesystem::exists(attached));
    EXPECT_FALSE(std::filesystem::exists(home_ / "copia.db"));
    EXPECT_EQ(ReadBytes(path_), before);
    EXPECT_EQ(Count("select * from Clientes"), 5u);
    EXPECT_EQ(Count("select * from [Lineas Pedido]"), 4u);
    // A statement with a trailing semicolon and comment is still one statement.
    EXPECT_EQ(Count("select * from Clientes; -- fin"), 5u);
}

// Each failure carries the program's code for its reason; the engine's own failures keep
// its result code and message.
TEST_F(UserDatabase, FailuresCarryTheirCode) {
    const std::pair<const char*, Code> casos[] = {
        {"", Code::Empty},
        {"select 1; select 2", Code::SeveralStatements},
        {"delete from Clientes", Code::Refused},
        {"selec 1", Code::Syntax},
        {"select Nombre from", Code::Syntax},
        {"select * from Nadie", Code::Engine},
    };
    for (const auto& [sql, code] : casos) {
        Error err;
        EXPECT_FALSE(db_->OpenRecordset(sql, err)) << sql;
        EXPECT_EQ(err.code, code) << sql << ": " << veliora::TextoDeError(err);
    }
}

TEST_F(UserDatabase, RunawayQueriesStopAtTheTimeLimit) {
    db_->SetLimits({std::chrono::milliseconds(300), 1'000'000'000});
    Error err;
    auto endless = db_->OpenRecordset(
        "with recursive r(n) as (select 1 union all select n + 1 from r) select count(*) from r",
        err);
    EXPECT_FALSE(endless);
    EXPECT_EQ(err.code, Code::TimeLimit);
    EXPECT_NE(veliora::TextoDeError(err).find("tiempo"), std::string::npos);

    // Rows that keep coming: the cursor movement is what gets interrupted.
    auto rows = db_->OpenRecordset(
        "with recursive r(n) as (select 1 union all select n + 1 from r) select n from r", err);
    ASSERT_TRUE(rows);
    rows->MoveLast();
    EXPECT_EQ(rows->Error().code, Code::TimeLimit);

    auto cartesian = db_->OpenRecordset(
        "with recursive r(n) as (select 1 union all select n + 1 from r limit 100000) "
        "select count(*) from r a, r b where a.n + b.n < 0",
        err);
    EXPECT_FALSE(cartesian);
    EXPECT_EQ(err.code, Code::TimeLimit);
    // The connection is usable afterwards.
    EXPECT_EQ(Count("select * from Clientes"), 5u);
}

TEST(Opening, FilesThatAreNotDatabasesFail) {
    TempHome home;
    const auto path = home / "texto.db";
    std::ofstream(path) << "esto no es una base de datos, aunque lo parezca por el nombre\n";
    Error err;
    EXPECT_FALSE(Database::Open(path.string(), Database::Kind::User, err));
    EXPECT_EQ(err.engineCode, 26);  // not a database
    EXPECT_FALSE(Database::Open((home / "falta.db").string(), Database::Kind::User, err));
    EXPECT_TRUE(err.failed());
}

TEST(Auxiliary, ParametersKeepQuotesHarmless) {
    TempHome home;
    Error err;
    auto db = Database::Create((home / "aux.db_").string(), err);
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->Execute("create table CabBoletines (Nombre text)", err));
    ASSERT_TRUE(db->Execute("insert into CabBoletines (Nombre) values (?)", err,
                            {Value::Text("L'Horta'); drop table CabBoletines; --")}));
    EXPECT_EQ(db->Scalar("select count(*) from CabBoletines where Nombre = ?", err,
                         {Value::Text("L'Horta'); drop table CabBoletines; --")})
                  .integer,
              1);
}

TEST(Values, TotalOrderAcrossTypes) {
    EXPECT_TRUE(SameValue(Value::Int(1), Value::Double(1.0)));
    EXPECT_LT(CompareValues(Value::Null(), Value::Int(-5)), 0);
    EXPECT_LT(CompareValues(Value::Double(99.5), Value::Text("0")), 0);
    EXPECT_LT(CompareValues(Value::Text("zz"), Value::Date("1900-01-01")), 0);
    EXPECT_TRUE(SameValue(Value::Date("2020-01-01"), Value::Date("2020-01-01 00:00:00")));
    EXPECT_FALSE(SameValue(Value::Text("Ávila"), Value::Text("ávila")));
    EXPECT_TRUE(SameValue(Value::Null(), Value::Null()));
    EXPECT_EQ(Value::Double(3.75).toSpanishText(), "3,75");
    EXPECT_EQ(Value::Double(0.1).toPlainText(), "0.1");
    EXPECT_EQ(Value::Int(12).toSpanishText(), "12");
}

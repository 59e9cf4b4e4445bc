// What a statement typed by a person may do to the program: build huge values, hold too
// many bytes, run past a deadline, write, reach native pointers. Each ends with the error
// number of its reason, never with a wrong result reported as success.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "core/engine/database.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

using namespace veliora::engine;
using veliora::test::BuildDatabase;
using veliora::test::BuildFixture;
using veliora::test::ReadBytes;
using veliora::test::TempHome;

namespace {

class Bounds : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = (home_ / "tienda.db").string();
        BuildFixture(path_, "eng_tienda");
        db_ = Database::Open(path_, Database::Kind::User, err_);
        ASSERT_TRUE(db_) << veliora::TextoDeError(err_);
        Limits limits;
        limits.timeout = std::chrono::seconds(5);
        db_->SetLimits(limits);
    }

    // The error that ends the statement, whether opening or fetching it.
    Error Run(const std::string& sql) {
        Error err;
        auto rs = db_->OpenRecordset(sql, err);
        if (rs) {
            rs->MoveLast();
            err = rs->Error();
        }
        return err;
    }

    TempHome home_;
    std::string path_;
    Error err_;
    std::shared_ptr<Database> db_;
};

}  // namespace

TEST_F(Bounds, HugeBuiltValuesEndWithTheMemoryOrTimeReason) {
    const char* bombs[] = {
        "select printf('%.*c', 2000000000, 'x')",
        "select format('%2000000000d', 1)",
        "select length(printf('%s%s', printf('%.*c', 20000000, 'x'), printf('%.*c', 20000000, "
        "'y')))",
        "select zeroblob(2000000000)",
        "select randomblob(2000000000)",
        "with recursive r(n, s) as (select 1, 'ab' union all select n + 1, replace(s, 'a', "
        "'aa') || s from r where n < 60) select length(s) from r",
        "with recursive r(n) as (select 1 union all select n + 1 from r where n < 1000000) "
        "select length(group_concat(hex(randomblob(100)))) from r",
        "select 'x' like replace(hex(zeroblob(5000)), '0', '%')",
    };
    for (const char* sql : bombs) {
        Error err = Run(sql);
        EXPECT_TRUE(OverMemory(err) || TimedOut(err))
            << sql << " ended with " << veliora::TextoDeError(err);
    }
    // The bounded functions keep their results below the limits; instr searches in linear
    // time, so a long needle in a long text gets its answer.
    auto rs = db_->OpenRecordset(
        "select printf('%05d-%s-%.3c', 42, 'ab', 'ñ'), instr('añbñc', 'b'), instr(x'01ff03', "
        "x'03'), instr('abc', ''), instr(printf('%.*c', 30000000, 'x') || 'y', "
        "printf('%.*c', 15000000, 'x') || 'y')",
        err_);
    ASSERT_TRUE(rs) << veliora::TextoDeError(err_);
    EXPECT_EQ(rs->Field(0).text, "00042-ab-ñññ");
    EXPECT_EQ(rs->Field(1).integer, 3);
    EXPECT_EQ(rs->Field(2).integer, 3);
    EXPECT_EQ(rs->Field(3).integer, 1);
    EXPECT_EQ(rs->Field(4).integer, 15000001);
}

// A stored value over the limit is named: the statement itself built nothing too big.
TEST_F(Bounds, AStoredValueOverTheLimitIsNamed) {
    const std::string ruta = (home_ / "docs.db").string();
    BuildDatabase(ruta,
                  "CREATE TABLE Docs (Id INTEGER PRIMARY KEY, Cuerpo TEXT);"
                  "INSERT INTO Docs VALUES (1, 'corto'), (2, printf('%.*c', 33554433, 'x'));");
    db_ = Database::Open(ruta, Database::Kind::User, err_);
    ASSERT_TRUE(db_) << veliora::TextoDeError(err_);
    const Error err = Run("select Id, Cuerpo from Docs");
    EXPECT_EQ(err.code, Code::StoredTooBig);
    EXPECT_EQ(veliora::TextoDeError(err),
              "El valor guardado en Docs.Cuerpo supera el límite de 32 MiB que admite un valor");
    EXPECT_FALSE(Run("select Id from Docs").failed());
}

TEST_F(Bounds, RecordsetStopsAtItsByteBudget) {
    Limits limits = db_->limits();
    limits.maxBytes = 1 << 20;
    db_->SetLimits(limits);
    auto rs = db_->OpenRecordset(
        "with recursive r(n) as (select 1 union all select n + 1 from r where n < 100) "
        "select n, randomblob(100000) from r",
        err_);
    ASSERT_TRUE(rs) << veliora::TextoDeError(err_);
    rs->MoveLast();
    EXPECT_EQ(rs->Error().code, Code::MemoryLimit) << veliora::TextoDeError(rs->Error());
    EXPECT_LT(rs->RecordCount(), 11u);
    EXPECT_GT(rs->RecordCount(), 5u);
}

// A forward-only result holds its current row alone: past the row cap and the byte budget
// a scrollable one would stop at, every row is read and counted, and only a row that is
// itself over the budget stops it.
TEST_F(Bounds, ForwardOnlyResultHoldsOneRow) {
    Limits limits = db_->limits();
    limits.maxBytes = 1 << 20;
    limits.maxRows = 10;
    db_->SetLimits(limits);
    const std::string serie =
        "with recursive r(n) as (select 1 union all select n + 1 from r where n < 100) ";
    auto rs = db_->OpenForwardOnly(serie + "select n, randomblob(100000) from r", err_);
    ASSERT_TRUE(rs) << veliora::TextoDeError(err_);
    std::int64_t suma = 0;
    for (; !rs->Eof(); rs->MoveNext()) {
        suma += rs->Field(0).integer;
        EXPECT_EQ(rs->Field(1).text.size(), 100000u);
    }
    EXPECT_FALSE(rs->Error().failed()) << veliora::TextoDeError(rs->Error());
    EXPECT_EQ(rs->RecordCount(), 100u);
    EXPECT_EQ(suma, 5050);
    EXPECT_TRUE(rs->Field(0).isNull());

    rs = db_->OpenForwardOnly(serie + "select n, randomblob(n * 20000) from r", err_);
    ASSERT_TRUE(rs) << veliora::TextoDeError(err_);
    rs->MoveLast();
    EXPECT_EQ(rs->Error().code, Code::MemoryLimit);
    EXPECT_EQ(rs->RecordCount(), 52u);  // 53 * 20000 bytes is over 1 MiB
}

TEST_F(Bounds, DeadlineInterruptsEveryStatementUntilCleared) {
    db_->SetDeadline(std::chrono::steady_clock::now());
    EXPECT_EQ(Run("select * from Clientes").code, Code::TimeLimit);
    db_->ClearDeadline();
    EXPECT_FALSE(Run("select * from Clientes").failed());

    // A deadline soon ends a statement that the per-step limit would let run for minutes.
    Limits limits = db_->limits();
    limits.timeout = std::chrono::minutes(10);
    db_->SetLimits(limits);
    db_->SetDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(200));
    EXPECT_EQ(Run("with recursive r(n) as (select 1 union all select n + 1 from r) "
                  "select count(*) from r")
                  .code,
              Code::TimeLimit);
}

TEST_F(Bounds, WritesGetTheCleanRefusal) {
    BuildDatabase(home_ / "vistas.db",
                  "CREATE TABLE Pedidos (Id INTEGER PRIMARY KEY, Importe REAL);"
                  "CREATE VIEW Caros AS SELECT * FROM Pedidos WHERE Importe > 100;");
    auto db = Database::Open((home_ / "vistas.db").string(), Database::Kind::User, err_);
    ASSERT_TRUE(db) << veliora::TextoDeError(err_);
    for (const char* sql :
         {"delete from Pedidos", "DELETE FROM [Pedidos] WHERE Id = 1",
          "update Pedidos set Importe = 0", "/* comentario */ update Caros set Importe = 0",
          "with q as (select 1) delete from Pedidos", "explain delete from Pedidos",
          "insert into Pedidos (Importe) values (1)", "replace into Pedidos values (1, 2)",
          "drop table Pedidos", "drop view Caros", "create table Nueva (x)",
          "alter table Pedidos add column Otra", "pragma writable_schema = 1",
          "attach 'otra.db' as otra", "vacuum", "delete from main.Pedidos"}) {
        Error err;
        EXPECT_FALSE(db->OpenRecordset(sql, err)) << sql;
        EXPECT_EQ(err.code, Code::Refused) << sql;
    }
}

TEST_F(Bounds, NativePointerFunctionsAreRefusedOnEveryConnection) {
    auto aux = Database::Create((home_ / "aux.db").string(), err_);
    ASSERT_TRUE(aux) << veliora::TextoDeError(err_);
    for (const auto& db : {db_, aux}) {
        for (const char* sql : {"select fts3_tokenizer('simple', X'4141414141414141')",
                                "select hex(fts3_tokenizer('simple'))", "select fts5(null)",
                                "select load_extension('libc.so.6')"}) {
            Error err;
            EXPECT_FALSE(db->OpenRecordset(sql, err)) << sql;
            EXPECT_EQ(err.code, Code::Refused) << sql << ": " << veliora::TextoDeError(err);
        }
    }
    // Defensive: not even a program-owned database lets its schema be rewritten.
    Error err;
    EXPECT_EQ(aux->Scalar("pragma trusted_schema", err).toInt(), 0);
    EXPECT_FALSE(
        aux->ExecuteScript("create table t (a); pragma writable_schema = on; "
                           "update sqlite_master set sql = 'create table t (b)'",
                           err));
    EXPECT_EQ(aux->Scalar("select sql from sqlite_master where name = 't'", err).text,
              "CREATE TABLE t (a)");
}

TEST_F(Bounds, GeneratedColumnsCanBeSelected) {
    BuildDatabase(home_ / "gen.db",
                  "CREATE TABLE a (Id INTEGER PRIMARY KEY, Precio REAL, Unidades INTEGER,"
                  " total REAL GENERATED ALWAYS AS (Precio * Unidades),"
                  " Nota TEXT GENERATED ALWAYS AS ('Pedido ' || Id) STORED);"
                  "INSERT INTO a (Precio, Unidades) VALUES (2.5, 4);");
    auto db = Database::Open((home_ / "gen.db").string(), Database::Kind::User, err_);
    ASSERT_TRUE(db) << veliora::TextoDeError(err_);
    auto rs = db->OpenRecordset("select total, nota from a where nota = 'PEDIDO 1'", err_);
    ASSERT_TRUE(rs) << veliora::TextoDeError(err_);
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Field(0).real, 10.0);
}

// A WAL-mode file opens read-only without creating the shared-memory and log files beside
// it, even in a folder nobody may write, and the transactions still in its log are seen;
// neither the file nor its log changes.
// Root ignores the folder's permission bits, so there the test shows what is read and that
// nothing is created; as any other user it also shows that a read-only folder works.
TEST(WalDatabase, OpensFromAReadOnlyFolderCreatingNothing) {
    TempHome home;
    const auto folder = home / "solo_lectura";
    std::filesystem::create_directory(folder);
    // One file checkpointed and closed, one with its last transaction still in the log.
    BuildDatabase(folder / "cerrada.db",
                  "PRAGMA journal_mode = WAL; CREATE TABLE a (x TEXT); "
                  "INSERT INTO a VALUES ('uno'), ('dos');");
    {
        sqlite3* db = nullptr;
        const auto original = (home / "viva.db").string();
        ASSERT_EQ(sqlite3_open(original.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0;"
                               "CREATE TABLE a (x TEXT); INSERT INTO a VALUES ('uno'), ('dos');",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        std::filesystem::copy_file(original, folder / "viva.db");
        std::filesystem::copy_file(original + "-wal", folder / "viva.db-wal");
        sqlite3_close(db);
    }
    std::filesystem::permissions(folder,
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    const std::string antes = ReadBytes(folder / "cerrada.db") + ReadBytes(folder / "viva.db-wal");
    for (const char* name : {"cerrada.db", "viva.db"}) {
        Error err;
        auto db = Database::Open((folder / name).string(), Database::Kind::User, err);
        ASSERT_TRUE(db) << name << ": " << veliora::TextoDeError(err);
        auto rs = db->OpenRecordset("select count(*) from a where x = 'UNO'", err);
        ASSERT_TRUE(rs) << name << ": " << veliora::TextoDeError(err);
        EXPECT_EQ(rs->Field(0).integer, 1) << name;
    }
    std::filesystem::permissions(folder, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(ReadBytes(folder / "cerrada.db") + ReadBytes(folder / "viva.db-wal"), antes);
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"cerrada.db", "viva.db", "viva.db-wal"}));
}

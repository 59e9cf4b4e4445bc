// Access files converted to SQLite: the real files of each on-disk format, damaged copies,
// reuse of a conversion, and a fake reader for what the real files do not hold.
#include "core/access/conversion.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <set>

#include "core/app/aplicacion.h"
#include "core/base/rutinas.h"
#include "core/base/textos.h"
#include "core/generator/generador.h"
#include "core/session/apertura.h"
#include "core/shell/directorio.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

namespace veliora::test {
namespace {

namespace fs = std::filesystem;
using engine::Database;
namespace TypeCode = engine::TypeCode;
using engine::Value;

#define REQUIRE_FIXTURES()                                                      \
    if (!fs::is_directory(AccessFixtureDir()))                                  \
        GTEST_SKIP() << "no Access fixtures at " << AccessFixtureDir().string() \
                     << " (the shared folder beside the project holds them)";   \
    if (access::RutaLector().empty())                                           \
    GTEST_SKIP() << "veliora-mdb was not built (mdbtools-dev missing: run scripts/setup)"

// Files in a folder, for "nothing left behind".
std::set<std::string> Contenido(const fs::path& dir) {
    std::set<std::string> nombres;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec))
        nombres.insert(e.path().filename().string());
    return nombres;
}

class Conversion : public ::testing::Test {
  protected:
    std::shared_ptr<Database> Convertida(const std::string& archivo) {
        access::Conversion c;
        engine::Error err;
        const fs::path destino = home_ / (archivo + ".db");
        fs::remove(destino);  // an existing database is never a conversion's destination
        EXPECT_TRUE(access::Convertir(AccessFixtureDir() / archivo, destino, c, err))
            << veliora::TextoDeError(err);
        resultado_ = c;
        auto db = Database::Open(destino.string(), Database::Kind::User, err);
        EXPECT_TRUE(db) << veliora::TextoDeError(err);
        return db;
    }
    Value Uno(Database& db, const std::string& sql) {
        engine::Error err;
        Value v = db.Scalar(sql, err);
        EXPECT_FALSE(err.failed()) << sql << ": " << veliora::TextoDeError(err);
        return v;
    }
    TempHome home_;
    access::Conversion resultado_;
};

TEST_F(Conversion, EveryFormatGivesItsTablesColumnsAndRows) {
    REQUIRE_FIXTURES();
    struct Caso {
        std::string archivo;
        int tablas;
        std::string tabla;
        std::size_t columnas;
        long long filas;
    };
    for (const Caso& k : std::vector<Caso>{
             {"nwind.mdb", 9, "Orders", 14, 830},
             {"nwind.mdb", 9, "Employees", 17, 9},  // its OLE photo included, as a blob
             {"DateTestDatabase.mdb", 1, "DateTest", 6, 6},
             {"ASampleDatabase.accdb", 1, "Asset Items", 13, 65},
         }) {
        SCOPED_TRACE(k.archivo + " " + k.tabla);
        auto db = Convertida(k.archivo);
        ASSERT_TRUE(db);
        engine::Error err;
        auto defs = db->TableDefs(err);
        ASSERT_FALSE(err.failed()) << veliora::TextoDeError(err);
        int ordinarias = 0;
        for (const auto& d : defs) {
            ordinarias += d.Attributes == 0;
            EXPECT_NE(d.Name.rfind("MSys", 0), 0u) << d.Name;
        }
        EXPECT_EQ(ordinarias, k.tablas);
        EXPECT_EQ(resultado_.TablasConvertidas(), k.tablas);
        auto t = std::find_if(defs.begin(), defs.end(),
                              [&](const engine::TableDef& d) { return d.Name == k.tabla; });
        ASSERT_NE(t, defs.end());
        EXPECT_EQ(t->Fields.size(), k.columnas);
        EXPECT_EQ(Uno(*db, "select count(*) from [" + k.tabla + "]").integer, k.filas);
    }
}

TEST_F(Conversion, DeclaredTypesReadBackAsTheAccessTypes) {
    REQUIRE_FIXTURES();
    auto nwind = Convertida("nwind.mdb");
    auto muestra = Convertida("ASampleDatabase.accdb");
    ASSERT_TRUE(nwind && muestra);
    struct Caso {
        Database* db;
        std::string tabla, campo;
        int tipo;
    };
    const std::vector<Caso> casos = {
        {nwind.get(), "Orders", "OrderID", TypeCode::Long},
        {nwind.get(), "Orders", "CustomerID", TypeCode::Text},
        {nwind.get(), "Orders", "OrderDate", TypeCode::Date},
        {nwind.get(), "Orders", "Freight", TypeCode::Currency},
        {nwind.get(), "Order Details", "Quantity", TypeCode::Integer},
        {nwind.get(), "Order Details", "Discount", TypeCode::Single},
        {nwind.get(), "Products", "Discontinued", TypeCode::Boolean},
        {nwind.get(), "Categories", "Description", TypeCode::Memo},
        {nwind.get(), "Categories", "Picture", TypeCode::LongBinary},
        {muestra.get(), "Asset Items", "Cost", TypeCode::Currency},
        {muestra.get(), "Asset Items", "Warranty", TypeCode::Long},
        {muestra.get(), "Asset Items", "Comments", TypeCode::Memo},
    };
    std::map<Database*, std::vector<engine::TableDef>> defs;
    engine::Error err;
    for (const Caso& k : casos) {
        SCOPED_TRACE(k.tabla + "." + k.campo);
        if (!defs.count(k.db))
            defs[k.db] = k.db->TableDefs(err);
        int tipo = -1;
        for (const auto& t : defs[k.db])
            for (const auto& f : t.Fields)
                if (t.Name == k.tabla && f.Name == k.campo)
                    tipo = f.Type;
        EXPECT_EQ(tipo, k.tipo);
    }
    // Keys and indexes: the primary key, a unique index, and index names kept per table.
    auto tablas = nwind->TableDefs(err);
    auto indice = [&](const std::string& tabla, const std::string& nombre) -> engine::IndexDef {
        for (const auto& t : tablas)
            if (t.Name == tabla)
                for (const auto& i : t.Indexes)
                    if (i.Name == nombre)
                        return i;
        return {};
    };
    EXPECT_EQ(indice("Order Details", "PrimaryKey").Fields,
              (std::vector<std::string>{"OrderID", "ProductID"}));
    EXPECT_TRUE(indice("Categories", "CategoryName").Unique);
    EXPECT_EQ(indice("Orders", "OrderDate").Fields, std::vector<std::string>{"OrderDate"});
    EXPECT_FALSE(indice("Orders", "OrderDate").Unique);
}

TEST_F(Conversion, NorthwindRelationshipsKeepTheirNames) {
    REQUIRE_FIXTURES();
    auto db = Convertida("nwind.mdb");
    ASSERT_TRUE(db);
    engine::Error err;
    const auto& relaciones = db->Relations(err);
    ASSERT_FALSE(err.failed()) << veliora::TextoDeError(err);
    std::map<std::string, std::string> vistas;
    for (const auto& r : relaciones) {
        ASSERT_EQ(r.Fields.size(), 1u) << r.Name;
        vistas[r.Name] = r.Table + "." + r.Fields[0].Name + " <- " + r.ForeignTable + "." +
                         r.Fields[0].ForeignName;
    }
    const std::map<std::string, std::string> esperadas = {
        {"CategoriesProducts", "Categories.CategoryID <- Products.CategoryID"},
        {"CustomersOrders", "Customers.CustomerID <- Orders.CustomerID"},
        {"EmployeesOrders", "Employees.EmployeeID <- Orders.EmployeeID"},
        {"OrdersOrder Details", "Orders.OrderID <- Order Details.OrderID"},
        {"ProductsOrder Details", "Products.ProductID <- Order Details.ProductID"},
        {"ShippersOrders", "Shippers.ShipperID <- Orders.ShipVia"},
        {"SuppliersProducts", "Suppliers.SupplierID <- Products.SupplierID"},
    };
    EXPECT_EQ(vistas, esperadas);
    EXPECT_EQ(resultado_.relaciones, 7);
}

TEST_F(Conversion, ValuesSurviveExactly) {
    REQUIRE_FIXTURES();
    auto nwind = Convertida("nwind.mdb");
    ASSERT_TRUE(nwind);
    auto muestra = Convertida("ASampleDatabase.accdb");
    ASSERT_TRUE(muestra);
    struct Caso {
        Database* db;
        std::string sql, esperado;
    };
    for (const Caso& k : std::vector<Caso>{
             // A table named with a non-ASCII letter.
             {nwind.get(), "select count(*) from [Umsätze]", "830"},
             // Nulls stay nulls; no empty text stands in for them.
             {nwind.get(), "select count(*) from Customers where Region is null", "60"},
             {nwind.get(), "select count(*) from Customers where Region = ''", "0"},
             // Currency to the cent and beyond, whole amounts as integers.
             {nwind.get(), "select Freight from Orders where OrderID = 10248", "32.38"},
             {nwind.get(), "select UnitPrice from Products where ProductID = 1", "18"},
             {nwind.get(), "select round(sum(Freight), 2) from Orders", "64942.69"},
             {muestra.get(), "select Cost from [Asset Items] where [Asset No] = '30050'", "1995.5"},
             // Singles as the short decimal Access shows.
             {nwind.get(), "select min(Discount) from [Order Details] where Discount > 0", "0.01"},
             // Yes/no as 0/1.
             {nwind.get(), "select sum(Discontinued) || '/' || count(*) from Products", "8/77"},
             // Dates, and memos whole.
             {nwind.get(), "select OrderDate from Orders where OrderID = 10248", "1994-08-04"},
             {nwind.get(),
              "select count(*) from Orders where OrderDate between #08/01/1994# and "
              "#08/31/1994#",
              "22"},
             {nwind.get(), "select length(Notes) > 100 from Employees where EmployeeID = 1", "1"},
         }) {
        SCOPED_TRACE(k.sql);
        EXPECT_EQ(Uno(*k.db, k.sql).toPlainText(), k.esperado);
    }
}

TEST_F(Conversion, DatesOfEveryYearAccessHolds) {
    REQUIRE_FIXTURES();
    auto db = Convertida("DateTestDatabase.mdb");
    ASSERT_TRUE(db);
    engine::Error err;
    auto rs = db->OpenRecordset(
        "select DateTimeCol, DateCol, TimeCol, LongTextCol from DateTest order by IDCol", err);
    ASSERT_TRUE(rs) << veliora::TextoDeError(err);
    std::vector<std::string> filas;
    for (; !rs->Eof(); rs->MoveNext())
        filas.push_back(rs->Field(0).toPlainText() + " " + rs->Field(1).toPlainText() + " " +
                        rs->Field(2).toPlainText() + " | " + rs->Field(3).toPlainText());
    const std::vector<std::string> esperadas = {
        "2021-12-02 2021-12-02 2021-12-02 | Hello",
        "9999-01-01 9999-01-01 9999-01-01 | Year 9999",
        "1898-01-01 1899-01-01 1900-01-01 | Pre-1900 years",
        "0632-01-01 0633-01-01 0634-01-01 | Pre-1000 years",
        "2021-12-02 2021-12-02 2021-12-02 | Escaped new line \\r\\n in field",
        "2021-12-02 2021-12-02 2021-12-02 | New line\r\nin field",
    };
    EXPECT_EQ(filas, esperadas);
    EXPECT_EQ(rs->Row(0)[0].type, engine::ValueType::Date);
}

TEST(FechaIso, DayNumbersAsCalendarDates) {
    struct Caso {
        double dias;
        const char* iso;
    };
    for (const Caso& k : std::vector<Caso>{
             {0, "1899-12-30"},
             {1.5, "1899-12-31 12:00:00"},
             {-1.25, "1899-12-29 06:00:00"},  // before day 0 the time still runs forward
             {2, "1900-01-01"},
             {60, "1900-02-28"},  // no 29th of February 1900
             {61, "1900-03-01"},
             {36526, "2000-01-01"},
             {36585.5, "2000-02-29 12:00:00"},
             {36585.999999999, "2000-03-01"},  // rounds up to the next midnight
             {-657434, "0100-01-01"},
             {2958465.5, "9999-12-31 12:00:00"},
         }) {
        EXPECT_EQ(access::FechaIso(k.dias), k.iso) << k.dias;
    }
    // Past the years Access holds (a damaged file's numbers) there is no date to make.
    for (double fuera : {-657435.0, 2958466.0, HUGE_VAL, -HUGE_VAL, std::nan("")})
        EXPECT_FALSE(access::EsFechaAccess(fuera)) << fuera;
    for (double dentro : {-657434.99, 2958465.99})
        EXPECT_TRUE(access::EsFechaAccess(dentro)) << dentro;
}

TEST_F(Conversion, AccessFilesAreToldBySignatureOrName) {
    REQUIRE_FIXTURES();
    const std::string jet = ReadBytes(AccessFixtureDir() / "nwind.mdb").substr(0, 4096);
    BuildDatabase(home_ / "sqlite.mdb", "CREATE TABLE t (a)");
    struct Caso {
        std::string nombre, bytes;
        bool access;
    };
    for (const Caso& k : std::vector<Caso>{
             {"jet.db", jet, true},  // the signature decides
             {"ACE.ACCDB", ReadBytes(AccessFixtureDir() / "ASampleDatabase.accdb").substr(0, 64),
              true},
             {"roto.mdb", "basura", true},  // damaged: the reader reports why
             {"vacio.accdb", "", true},
             {"basura.db", "basura", false},
         }) {
        std::ofstream(home_ / k.nombre, std::ios::binary) << k.bytes;
        EXPECT_EQ(access::EsArchivoAccess(home_ / k.nombre), k.access) << k.nombre;
    }
    EXPECT_FALSE(access::EsArchivoAccess(home_ / "sqlite.mdb"));  // SQLite, whatever its name
    EXPECT_FALSE(access::EsArchivoAccess(home_ / "falta.mdb"));
}

TEST_F(Conversion, DamagedFilesAreRefusedLeavingNothing) {
    REQUIRE_FIXTURES();
    const std::string original = ReadBytes(AccessFixtureDir() / "nwind.mdb");
    struct Caso {
        std::string nombre, bytes;
        int texto;
    };
    for (const Caso& k : std::vector<Caso>{
             {"medio.mdb", original.substr(0, 100000), 1601},        // not whole pages
             {"paginas.mdb", original.substr(0, 1 << 20), 1601},     // pages missing at the end
             {"texto.mdb", "esto no es una base de datos\n", 1600},  // not an Access file
             {"vacio.accdb", "", 1601},
         }) {
        SCOPED_TRACE(k.nombre);
        const fs::path origen = home_ / k.nombre;
        std::ofstream(origen, std::ios::binary) << k.bytes;
        const fs::path salida = home_ / "salida";
        fs::create_directories(salida);
        access::Conversion c;
        engine::Error err;
        EXPECT_FALSE(access::Convertir(origen, salida / "x.db", c, err));
        EXPECT_EQ(veliora::NumeroDeError(err), SQLITE_CANTOPEN);
        EXPECT_EQ(veliora::TextoDeError(err).rfind(Texto(k.texto), 0), 0u)
            << veliora::TextoDeError(err);
        EXPECT_TRUE(Contenido(salida).empty());
        // Opened as the program does: the same reason, nothing in importadas.
        EXPECT_NE(Aplicacion().AbrirUsuario(origen.string(), &err), 0);
        EXPECT_EQ(veliora::TextoDeError(err).rfind(Texto(k.texto), 0), 0u)
            << veliora::TextoDeError(err);
        EXPECT_TRUE(Contenido(DirectorioAplicacion() / "importadas").empty());
        EXPECT_EQ(ReadBytes(origen), k.bytes);
    }
}

TEST_F(Conversion, ReconvertsOnlyAfterAChange) {
    REQUIRE_FIXTURES();
    const fs::path mdb = home_ / "clase.mdb";
    fs::copy_file(AccessFixtureDir() / "DateTestDatabase.mdb", mdb);
    auto preparar = [&](bool& reutilizada) {
        access::Conversion c;
        engine::Error err;
        EXPECT_TRUE(access::Preparar(mdb, CarpetaConversiones(), c, err))
            << veliora::TextoDeError(err);
        EXPECT_EQ(c.destino, DirectorioAplicacion() / "importadas" / "clase.db");
        reutilizada = c.reutilizada;
        return c;
    };
    bool reutilizada = true;
    preparar(reutilizada);
    EXPECT_FALSE(reutilizada);
    auto reutilizadaC = preparar(reutilizada);
    EXPECT_TRUE(reutilizada);
    // What the conversion gave is reported again.
    EXPECT_EQ(reutilizadaC.TablasConvertidas(), 1);
    EXPECT_EQ(reutilizadaC.Filas(), 6);
    // Touched, the same content: still the same conversion.
    fs::last_write_time(mdb, fs::last_write_time(mdb) + std::chrono::hours(1));
    preparar(reutilizada);
    EXPECT_TRUE(reutilizada);
    // Another design under the same name: converted again.
    fs::remove(mdb);
    fs::copy_file(AccessFixtureDir() / "nwind.mdb", mdb);
    auto c = preparar(reutilizada);
    EXPECT_FALSE(reutilizada);
    EXPECT_EQ(c.TablasConvertidas(), 9);
    // The Access file is only read.
    EXPECT_EQ(ReadBytes(mdb), ReadBytes(AccessFixtureDir() / "nwind.mdb"));
}

TEST_F(Conversion, CancellingLeavesNothing) {
    REQUIRE_FIXTURES();
    const fs::path salida = home_ / "salida";
    fs::create_directories(salida);
    access::Conversion c;
    engine::Error err;
    long long vistas = -1, total = -1;
    EXPECT_FALSE(access::Convertir(AccessFixtureDir() / "nwind.mdb", salida / "nwind.db", c, err,
                                   [&](long long hechas, long long todas) {
                                       vistas = hechas;
                                       total = todas;
                                       return hechas < 1000;
                                   }));
    EXPECT_TRUE(access::Cancelada(err));
    EXPECT_EQ(veliora::TextoDeError(err), Texto(1604));
    EXPECT_GE(vistas, 1000);
    EXPECT_EQ(total, 4032);
    EXPECT_TRUE(Contenido(salida).empty());
}

TEST_F(Conversion, GeneratedQuestionsRunOnNorthwind) {
    REQUIRE_FIXTURES();
    SembrarDirectorioAplicacion();
    Aplicacion app;
    const fs::path mdb = AccessFixtureDir() / "nwind.mdb";
    engine::Error err;
    ASSERT_EQ(app.AbrirUsuario(mdb.string(), &err), 0) << veliora::TextoDeError(err);
    ASSERT_EQ(app.AbrirAuxiliar(mdb.filename().string(), &err), 0) << veliora::TextoDeError(err);
    // The auxiliary database belongs to the Access file's name.
    EXPECT_TRUE(fs::is_regular_file(DirectorioAplicacion() / "nwind.mdb_"));
    GeneradorConsultas generador(app.Usuario(), app.Auxiliar());
    ASSERT_TRUE(generador.Cargar(err)) << veliora::TextoDeError(err);
    // A cross join with an "or" may run long on Northwind: such a statement counts as
    // accepted when the engine interrupts it at the limit.
    engine::Limits limites;
    limites.timeout = std::chrono::milliseconds(2000);
    app.Usuario()->SetLimits(limites);
    SembrarAleatorio(20261207);
    int generadas = 0, completas = 0;
    for (int i = 0; i < 40; ++i) {
        std::array<bool, 5> marcadas{};
        marcadas[std::size_t(i % 5)] = true;
        if (!generador.GenerarPregunta(marcadas))
            continue;
        ++generadas;
        const std::string sql = generador.SolucionSQL();
        EXPECT_TRUE(app.Usuario()->Prepare(sql, err)) << sql << ": " << veliora::TextoDeError(err);
        auto rs = app.Usuario()->OpenRecordset(sql, err);
        if (rs && rs->FetchUpTo(100000) && !rs->Error().failed())
            ++completas;
        else
            EXPECT_TRUE(engine::TimedOut(rs ? rs->Error() : err)) << sql;
    }
    EXPECT_GT(generadas, 20);
    EXPECT_GT(completas, generadas / 2);
}

// ---------------------------------------------------------------- a fake reader

// A reader that prints `salida` and exits with `estado`, for what real files do not hold.
class LectorFalso : public Conversion {
  protected:
    void Preparar(const std::string& salida, int estado = 0) {
        const fs::path datos = home_ / "salida.txt";
        std::ofstream(datos, std::ios::binary) << salida;
        const fs::path guion = home_ / "lector.sh";
        std::ofstream(guion) << "#!/bin/sh\ncat '" << datos.string() << "'\nexit " << estado
                             << "\n";
        ::chmod(guion.c_str(), 0755);
        setenv("VELIORA_MDB", guion.c_str(), 1);
        std::ofstream(home_ / "falso.mdb") << "x";
    }
    // A reader that stops answering after `salida`: only cancelling ends the conversion.
    void PrepararMudo(const std::string& salida) {
        Preparar(salida);
        std::ofstream(home_ / "lector.sh")
            << "#!/bin/sh\ncat '" << (home_ / "salida.txt").string() << "'\nexec sleep 600\n";
    }
    void TearDown() override { unsetenv("VELIORA_MDB"); }
    bool Convertir(access::Conversion& c, engine::Error& err) {
        return access::Convertir(home_ / "falso.mdb", home_ / "falso.db", c, err);
    }
    // Converts what `salida` describes and opens the result.
    std::shared_ptr<Database> ConvertirYAbrir(const std::string& salida, access::Conversion& c) {
        Preparar(salida);
        engine::Error err;
        EXPECT_TRUE(Convertir(c, err)) << veliora::TextoDeError(err);
        return Database::Open((home_ / "falso.db").string(), Database::Kind::User, err);
    }
};

TEST_F(LectorFalso, EmptyTextsStayApartFromNullsAndCurrencyKeepsFourDecimals) {
    // A: an empty text, then a backslash and an N; B: a null, then x, a tab and y;
    // M: currency in ten-thousandths.
    access::Conversion c;
    auto db = ConvertirYAbrir(
        "V\t1\nS\tT\t2\nT\tT\t2\nC\tA\t10\t20\t0\t0\t0\nC\tB\t12\t0\t0\t0\t0\n"
        "C\tM\t5\t8\t0\t0\t0\n"
        "R\t\t\\N\t123456789\nR\t\\\\N\tx\\ty\t-5\nE\nZ\n",
        c);
    ASSERT_TRUE(db);
    EXPECT_EQ(Uno(*db, "select count(*) from T where A = ''").integer, 1);
    EXPECT_EQ(Uno(*db, "select count(*) from T where B is null").integer, 1);
    // An escaped backslash before N is a text, not a null.
    EXPECT_EQ(Uno(*db, "select A from T where B is not null").text, "\\N");
    EXPECT_EQ(Uno(*db, "select B from T where B is not null").text, "x\ty");
    EXPECT_EQ(Uno(*db, "select M from T where B is null").toPlainText(), "12345.6789");
    EXPECT_EQ(Uno(*db, "select M from T where B is not null").toPlainText(), "-0.0005");
}

// A table that cannot be read, or that gives fewer rows than the file's catalog counts, is
// a note, and the conversion says it is incomplete; the other tables are converted.
TEST_F(LectorFalso, MissingRowsAreReportedAndTheOthersConverted) {
    access::Conversion c;
    auto db = ConvertirYAbrir(
        "V\t0\nS\tMala\t2\nS\tBuena\t1\nS\tCorta\t3\nX\tIlegible\tno definition\n"
        "T\tMala\t2\nC\tId\t4\t4\t0\t0\t0\nR\t1\nX\ta row cannot be read\nE\n"
        "T\tBuena\t1\nC\tId\t4\t4\t0\t0\t0\nR\t7\nE\n"
        "T\tCorta\t3\nC\tId\t4\t4\t0\t0\t0\nR\t1\nR\t2\nE\nZ\n",
        c);
    ASSERT_EQ(c.tablas.size(), 4u);
    std::map<std::string, const access::TablaConvertida*> por;
    for (const auto& t : c.tablas) por[t.nombre] = &t;
    EXPECT_FALSE(por["Ilegible"]->convertida);
    EXPECT_EQ(por["Mala"]->filas, 0);
    ASSERT_FALSE(por["Mala"]->notas.empty());
    EXPECT_NE(por["Mala"]->notas[0].find("a row cannot be read"), std::string::npos);
    EXPECT_EQ(por["Buena"]->filas, 1);
    EXPECT_TRUE(por["Buena"]->notas.empty());
    EXPECT_EQ(por["Corta"]->notas, std::vector<std::string>{Texto(2130, {"2", "3"})});
    EXPECT_FALSE(c.completa);
    ASSERT_TRUE(db);
    EXPECT_EQ(Uno(*db, "select count(*) from Mala").integer, 0);
    EXPECT_EQ(Uno(*db, "select Id from Buena").integer, 7);
    EXPECT_EQ(Uno(*db, "select count(*) from Corta").integer, 2);
}

// A kept conversion is used again only while it opens with its tables; the temporary files
// of a conversion that was killed go at the next one, those of one still running stay. The
// Access file is never its own conversion's destination.
TEST_F(LectorFalso, ABrokenConversionIsRedoneAndLeftoversOfKilledOnesRemoved) {
    Preparar("V\t0\nS\tT\t1\nT\tT\t1\nC\tId\t4\t4\t0\t0\t0\nR\t5\nE\nZ\n");
    const fs::path mdb = home_ / "falso.mdb";
    access::Conversion c;
    engine::Error err;
    ASSERT_TRUE(access::Preparar(mdb, CarpetaConversiones(), c, err)) << veliora::TextoDeError(err);
    ASSERT_TRUE(access::Preparar(mdb, CarpetaConversiones(), c, err)) << veliora::TextoDeError(err);
    EXPECT_TRUE(c.reutilizada);
    const fs::path convertida = c.destino;
    const std::string entera = ReadBytes(convertida);
    std::ofstream(convertida, std::ios::binary | std::ios::trunc) << entera.substr(0, 100);
    const pid_t muerto = fork();
    if (muerto == 0)
        _exit(0);
    waitpid(muerto, nullptr, 0);
    const fs::path resto = convertida.string() + ".parcial-" + std::to_string(muerto);
    const fs::path ajeno = convertida.string() + ".parcial-" + std::to_string(getppid()) + "-1";
    for (const fs::path& p : {resto, ajeno}) std::ofstream(p) << "a medias";
    ASSERT_TRUE(access::Preparar(mdb, CarpetaConversiones(), c, err)) << veliora::TextoDeError(err);
    EXPECT_FALSE(c.reutilizada);
    EXPECT_FALSE(fs::exists(resto));
    EXPECT_TRUE(fs::exists(ajeno));
    auto db = Database::Open(convertida.string(), Database::Kind::User, err);
    ASSERT_TRUE(db) << veliora::TextoDeError(err);
    EXPECT_EQ(Uno(*db, "select Id from T").integer, 5);
    EXPECT_FALSE(access::Convertir(mdb, mdb, c, err));
    EXPECT_EQ(veliora::TextoDeError(err).rfind(Texto(2100, mdb.string()), 0), 0u)
        << veliora::TextoDeError(err);
    EXPECT_EQ(ReadBytes(mdb), "x");
}

TEST_F(LectorFalso, AReaderThatDiesOrStopsShortFails) {
    for (const auto& [lineas, estado] : std::vector<std::pair<std::string, int>>{
             {"V\t0\nS\tT\t1\nT\tT\t1\nC\tId\t4\t4\t0\t0\t0\nR\t1\n", 0},  // no end
             {"V\t0\n", 1},
         }) {
        Preparar(lineas, estado);
        access::Conversion c;
        engine::Error err;
        EXPECT_FALSE(Convertir(c, err));
        EXPECT_EQ(veliora::NumeroDeError(err), SQLITE_CANTOPEN);
        EXPECT_FALSE(fs::exists(home_ / "falso.db"));
    }
}

TEST_F(LectorFalso, CancelReachesASilentReader) {
    PrepararMudo("V\t0\nS\tT\t9\nT\tT\t9\nC\tId\t4\t4\t0\t0\t0\nR\t1\n");
    access::Conversion c;
    engine::Error err;
    int llamadas = 0;
    EXPECT_FALSE(access::Convertir(home_ / "falso.mdb", home_ / "falso.db", c, err,
                                   [&](long long, long long total) {
                                       EXPECT_EQ(total, 9);
                                       return ++llamadas < 2;
                                   }));
    EXPECT_TRUE(access::Cancelada(err));
    EXPECT_EQ(llamadas, 2);
    EXPECT_FALSE(fs::exists(home_ / "falso.db"));
}

TEST_F(LectorFalso, MultiFieldRelationshipsAreGroupedInFieldOrder) {
    access::Conversion c;
    auto db = ConvertirYAbrir(
        "V\t1\n"
        "L\tRel2\tLineas\tAnyo\tPedidos\tAnyoPedido\t1\t0\n"
        "L\tRel2\tLineas\tIdPedido\tPedidos\tId\t0\t0\n"
        "L\tOtra\tLineas\tX\tMSysSecreta\tId\t0\t0\n"  // to a table not converted: left out
        "S\tPedidos\t0\nS\tLineas\t0\n"
        "T\tPedidos\t0\nC\tId\t4\t4\t0\t0\t0\nC\tAnyoPedido\t3\t2\t0\t0\t0\n"
        "I\tPrimaryKey\tP\tId\tAnyoPedido\nE\n"
        "T\tLineas\t0\nC\tIdPedido\t4\t4\t0\t0\t0\nC\tAnyo\t3\t2\t0\t0\t0\nC\tX\t4\t4\t0\t0\t0\n"
        "I\tIdPedido\tN\tIdPedido\nE\nZ\n",
        c);
    EXPECT_EQ(c.relaciones, 1);
    EXPECT_EQ(c.notas.size(), 1u);
    ASSERT_TRUE(db);
    engine::Error err;
    const auto& relaciones = db->Relations(err);
    ASSERT_EQ(relaciones.size(), 1u);
    EXPECT_EQ(relaciones[0].Name, "PedidosLineas");
    std::string campos;
    for (const auto& f : relaciones[0].Fields) campos += f.Name + "<-" + f.ForeignName + " ";
    EXPECT_EQ(campos, "Id<-IdPedido AnyoPedido<-Anyo ");
}

TEST_F(LectorFalso, EveryAccessTypeReadsBackAsItsTypeCode) {
    struct Caso {
        int access;
        int codigo;
        std::string valor, leido;
    };
    const std::vector<Caso> casos = {
        {1, TypeCode::Boolean, "1", "1"},
        {2, TypeCode::Byte, "255", "255"},
        {3, TypeCode::Integer, "-32768", "-32768"},
        {4, TypeCode::Long, "2147483647", "2147483647"},
        {5, TypeCode::Currency, "12345", "1.2345"},
        {6, TypeCode::Single, "0.05", "0.05"},
        {7, TypeCode::Double, "0.10000000000000001", "0.1"},
        {8, TypeCode::Date, "36526.75", "2000-01-01 18:00:00"},
        {9, TypeCode::Binary, "00ff41", std::string("\x00\xff\x41", 3)},
        {10, TypeCode::Text, "0123", "0123"},
        {11, TypeCode::LongBinary, "4142", "AB"},
        {12, TypeCode::Memo, "007", "007"},  // a memo of digits stays a text
        {15, TypeCode::Guid, "{A-B}", "{A-B}"},
        {16, TypeCode::Decimal, "12.50", "12.5"},
    };
    std::string salida = "V\t1\nS\tT\t1\nT\tT\t1\n", fila = "R";
    for (std::size_t i = 0; i < casos.size(); ++i) {
        salida += "C\tc" + std::to_string(i) + "\t" + std::to_string(casos[i].access) +
                  "\t20\t10\t2\t0\n";
        fila += "\t" + casos[i].valor;
    }
    access::Conversion c;
    auto db = ConvertirYAbrir(salida + fila + "\nE\nZ\n", c);
    ASSERT_TRUE(db);
    engine::Error err;
    const auto defs = db->TableDefs(err);
    ASSERT_EQ(defs.size(), 1u);
    ASSERT_EQ(defs[0].Fields.size(), casos.size());
    for (std::size_t i = 0; i < casos.size(); ++i) {
        SCOPED_TRACE("Access type " + std::to_string(casos[i].access));
        EXPECT_EQ(defs[0].Fields[i].Type, casos[i].codigo) << defs[0].Fields[i].DeclaredType;
        const Value v = Uno(*db, "select c" + std::to_string(i) + " from T");
        EXPECT_EQ(v.type == engine::ValueType::Blob ? v.text : v.toPlainText(), casos[i].leido);
    }
}

}  // namespace
}  // namespace veliora::test

// Answer checking on a small user database: verdicts, messages, and hostile answers.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "core/engine/database.h"
#include "core/practice/comprobar.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

using engine::Database;

constexpr const char* kEsquema = R"sql(
CREATE TABLE Clientes (
  Id      INTEGER PRIMARY KEY,
  Nombre  TEXT COLLATE NOCASE,
  Ciudad  TEXT,
  Saldo   DOUBLE,
  Alta    DATE
);
INSERT INTO Clientes VALUES (1, 'Ana',   'Valencia', 120.5, '2021-03-01');
INSERT INTO Clientes VALUES (2, 'Luis',  'Madrid',   80,    '2020-11-15');
INSERT INTO Clientes VALUES (3, 'ana',   NULL,       0,     '2022-01-20');
INSERT INTO Clientes VALUES (4, 'Berta', 'Valencia', NULL,  NULL);
INSERT INTO Clientes VALUES (5, 'bruno', 'Alicante', 80,    '2019-07-04');
CREATE TABLE Pedidos (
  Num      INTEGER PRIMARY KEY,
  Cliente  INTEGER REFERENCES Clientes(Id),
  Importe  DOUBLE
);
INSERT INTO Pedidos VALUES (10, 1, 10), (11, 1, 20), (12, 2, 20), (13, 5, 30);
CREATE TABLE Vacia (A INTEGER, B TEXT);
)sql";

class ComprobarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ruta_ = home_ / "tienda.db";
        test::BuildDatabase(ruta_, kEsquema);
        original_ = test::ReadBytes(ruta_);
        engine::Error err;
        bd_ = Database::Open(ruta_.string(), Database::Kind::User, err);
        ASSERT_TRUE(bd_) << veliora::TextoDeError(err);
    }
    void TearDown() override {
        if (bd_)
            bd_->Close();
        // Whatever was run, the user's file is exactly as it was.
        EXPECT_EQ(test::ReadBytes(ruta_), original_);
    }

    // Every verdict is also reached with fingerprints cut short enough to collide all the
    // time (their rows confirmed from the rows kept or by reading again), with every order by
    // run as given, with the answer read on a thread of its own, and by the comparison of the
    // two results held in memory.
    Veredicto Juzgar(const std::string& solucion, const std::string& respuesta) {
        const Veredicto v = ComprobarRespuesta(*bd_, solucion, respuesta).veredicto;
        for (int bits : {0, 2})
            for (bool guardar : {true, false}) {
                prueba::BitsDeHuella(bits);
                prueba::GuardarFilas(guardar);
                EXPECT_EQ(ComprobarRespuesta(*bd_, solucion, respuesta).veredicto, v)
                    << bits << " bits, kept " << guardar << ": " << respuesta;
            }
        prueba::BitsDeHuella(128);
        prueba::GuardarFilas(true);
        prueba::OrdenLibre(false);
        EXPECT_EQ(ComprobarRespuesta(*bd_, solucion, respuesta).veredicto, v) << "in order";
        prueba::OrdenLibre(true);
        prueba::DosHilos(true);
        EXPECT_EQ(ComprobarRespuesta(*bd_, solucion, respuesta).veredicto, v) << "two threads";
        prueba::DosHilos(std::nullopt);
        if (v == Veredicto::Correcto || v == Veredicto::Erroneo) {
            engine::Error err;
            auto s = bd_->OpenRecordset(solucion, err);
            auto a = bd_->OpenRecordset(respuesta, err);
            if (s && a) {
                s->MoveLast();
                a->MoveLast();
                EXPECT_EQ(MismosResultados(*a, *s), v == Veredicto::Correcto) << respuesta;
            }
        }
        return v;
    }

    test::TempHome home_;
    Aplicacion app_;
    std::filesystem::path ruta_;
    std::string original_;
    std::shared_ptr<Database> bd_;
};

// ---- Verdicts and their messages -------------------------------------------------------

TEST_F(ComprobarTest, EachVerdictHasItsMessageInTheUsersLanguage) {
    constexpr auto Ninguno = Motivo::Ninguno;
    struct Caso {
        int idioma;
        const char* solucion;
        const char* respuesta;
        Veredicto veredicto;
        std::string mensaje;
        Motivo motivo;
    };
    const Caso casos[] = {
        {0, "select Nombre from Clientes", "select Nombre from Clientes", Veredicto::Correcto,
         "El resultado parece correcto\r\nCompruebe su respuesta con la solución", Ninguno},
        {0, "select 1", "select 2", Veredicto::Erroneo, "Resultado erróneo", Ninguno},
        {10000, "select 1", "select 2", Veredicto::Erroneo, TextoAbsoluto(11120), Ninguno},
        {0, "select Nada from Clientes", "select Nombre from Clientes", Veredicto::SolucionInvalida,
         Texto(1116) + "\r\nNo existe la columna Nada", Motivo::Motor},
    };
    for (const Caso& c : casos) {
        app_.FijarDesplazamientoIdioma(c.idioma);
        auto r = ComprobarRespuesta(*bd_, c.solucion, c.respuesta);
        EXPECT_EQ(r.veredicto, c.veredicto) << c.respuesta;
        EXPECT_EQ(r.mensaje, c.mensaje) << c.respuesta;
        EXPECT_EQ(r.motivo, c.motivo) << c.respuesta;
        EXPECT_EQ(r.error.failed(), c.motivo != Ninguno) << c.respuesta;
    }
    EXPECT_NE(TextoAbsoluto(11120), TextoAbsoluto(1120));
    app_.FijarDesplazamientoIdioma(0);
    EXPECT_EQ(MensajeVeredicto(Veredicto::Correcto), Texto(1118) + "\r\n" + Texto(1119));
}

// What the engine cannot compile is "wrong", then why, in words the student can act on;
// any other cause is the first line itself. A write or a second statement is refused
// before it runs (the fixture checks the file stays untouched).
TEST_F(ComprobarTest, BrokenAnswerSaysWhy) {
    const std::string mal = Texto(1117) + "\r\n";
    struct Caso {
        const char* respuesta;
        std::string mensaje;
        Motivo motivo;
    };
    const Caso casos[] = {
        {"selec Nombre from Clientes", mal + "Error de sintaxis cerca de \"selec\"",
         Motivo::Sintaxis},
        {"select Nombre from", mal + "Error de sintaxis: la sentencia está incompleta",
         Motivo::Sintaxis},
        {"select Nombre from Nadie", mal + "No existe la tabla Nadie", Motivo::Motor},
        {"select Nada from Clientes", mal + "No existe la columna Nada", Motivo::Motor},
        {"select Id from Clientes a, Clientes b", mal + "Nombre de columna ambiguo: Id",
         Motivo::Motor},
        {"select Nombre from Clientes where count(*) > 1",
         mal + "Uso incorrecto de la función de agregado count", Motivo::Motor},
        {"select substr() from Clientes",
         mal + "Número incorrecto de argumentos en la función substr", Motivo::Motor},
        {"select abs(-9223372036854775807 - 1) from Clientes",
         "No se ha podido comprobar tu respuesta: integer overflow", Motivo::Motor},
        {"", "La respuesta está vacía", Motivo::Vacia},
        {" /* nada */ ; ", "La respuesta está vacía", Motivo::Vacia},
        {"select 1; select 2", "Solo se admite una sentencia cada vez", Motivo::NoEsConsulta},
        {"select Nombre from Clientes; delete from Clientes",
         "Solo se admite una sentencia cada vez", Motivo::NoEsConsulta},
        {"delete from Clientes", "Solo se admiten consultas SELECT", Motivo::NoEsConsulta},
        {"with x as (select 1) delete from Clientes", "Solo se admiten consultas SELECT",
         Motivo::NoEsConsulta},
    };
    for (bool hilos : {false, true}) {
        prueba::DosHilos(hilos);
        for (const Caso& c : casos) {
            auto r = ComprobarRespuesta(*bd_, "select Nombre from Clientes", c.respuesta);
            EXPECT_EQ(r.veredicto, Veredicto::RespuestaInvalida) << c.respuesta;
            EXPECT_EQ(r.mensaje, c.mensaje) << c.respuesta;
            EXPECT_EQ(r.motivo, c.motivo) << c.respuesta;
        }
    }
    prueba::DosHilos(std::nullopt);
    app_.FijarDesplazamientoIdioma(10000);
    EXPECT_EQ(
        ComprobarRespuesta(*bd_, "select Nombre from Clientes", "select x from Nadie").mensaje,
        Texto(1117) + "\r\nNo existeix la taula Nadie");
}

// ---- How results are compared ----------------------------------------------------------

TEST_F(ComprobarTest, HowResultsAreCompared) {
    constexpr auto Bien = Veredicto::Correcto, Mal = Veredicto::Erroneo;
    struct Caso {
        const char* que;
        const char* solucion;
        const char* respuesta;
        Veredicto veredicto;
    };
    const Caso casos[] = {
        {"rows in another order", "select Id, Nombre from Clientes order by Id",
         "select Id, Nombre from Clientes order by Id desc", Bien},
        {"column names do not matter", "select Nombre, Ciudad from Clientes",
         "select Nombre as Quien, Ciudad as Donde from Clientes", Bien},
        {"swapped columns", "select Nombre, Ciudad from Clientes",
         "select Ciudad, Nombre from Clientes", Mal},
        {"swapped columns, every row matching", "select Id, Id * 1 from Clientes",
         "select Id * 1, Id from Clientes", Bien},
        {"both empty", "select A, B from Vacia", "select Id, Nombre from Clientes where Id > 99",
         Bien},
        {"both empty, other column count", "select A, B from Vacia", "select A from Vacia", Mal},
        {"semicolon and blanks", "select Nombre from Clientes order by Id",
         "  select Nombre from Clientes order by Id desc ;  ", Bien},
        {"semicolon in the solution", "select Nombre from Clientes;", "select Nombre from Clientes",
         Bien},
        {"letter case of values", "select Nombre from Clientes",
         "select upper(Nombre) from Clientes", Mal},
        {"letter case of a literal", "select 'ana'", "select 'Ana'", Mal},
        {"keywords and names in any case", "select Nombre from Clientes",
         "SELECT nombre FROM clientes", Bien},
        {"1 = 1.0", "select 1", "select 1.0", Bien},
        {"a real column against a whole number", "select Saldo from Clientes where Id = 2",
         "select 80", Bien},
        {"1 <> 1.5", "select 1", "select 1.5", Mal},
        // Numbers within a relative 1e-9 are the same number; whole numbers compare exactly.
        {"0.1 + 0.2 = 0.3", "select 0.3", "select 0.1 + 0.2", Bien},
        {"sums in another order, rows in another order",
         "select 1, 0.1 + 0.2 + 0.3 union all select 2, 0.7 + 0.1 + 0.2",
         "select 2, 0.2 + 0.1 + 0.7 union all select 1, 0.3 + 0.2 + 0.1", Bien},
        {"1 <> 1.000001", "select 1", "select 1.000001", Mal},
        {"whole numbers exactly", "select 9007199254740993", "select 9007199254740992", Mal},
        {"a number is not a text", "select 1", "select '1'", Mal},
        {"dates as dates", "select Alta from Clientes where Id = 1",
         "select Alta from Clientes where Nombre = 'Ana' and Ciudad = 'Valencia'", Bien},
        {"another date", "select Alta from Clientes where Id = 1",
         "select Alta from Clientes where Id = 2", Mal},
        {"nulls match nulls", "select Ciudad from Clientes", "select Ciudad from Clientes", Bien},
        {"nulls where values are", "select Ciudad from Clientes", "select null from Clientes", Mal},
        {"values where nulls are", "select null from Clientes", "select Ciudad from Clientes", Mal},
        {"a null replaced", "select Saldo from Clientes", "select coalesce(Saldo, 0) from Clientes",
         Mal},
        {"extra rows", "select Nombre from Clientes where Id < 3", "select Nombre from Clientes",
         Mal},
        {"missing rows", "select Nombre from Clientes", "select Nombre from Clientes where Id < 3",
         Mal},
        {"extra column", "select Nombre from Clientes", "select Nombre, Id from Clientes", Mal},
        {"missing column", "select Nombre, Id from Clientes", "select Nombre from Clientes", Mal},
        // Four rows and the same distinct values on both sides; only multiplicities differ.
        {"other repetitions", "select Importe from Pedidos",
         "select Importe from Pedidos where Importe <> 30 union all select 10", Mal},
        {"same repetitions", "select Importe from Pedidos",
         "select Importe from Pedidos where Importe <> 20 union all "
         "select 20 union all select 20 order by 1 desc",
         Bien},
        // Equal first columns (1 and 1.0, long common prefixes): later columns decide.
        {"ties broken on every column", "select 1, 'z' union all select 1.0, 'a'",
         "select 1.0, 'a' union all select 1, 'z'", Bien},
        {"ties, a later column differs", "select 1, 'z' union all select 1.0, 'a'",
         "select 1.0, 'a' union all select 1, 'a'", Mal},
        {"common text prefixes", "select 'cliente 10', 1 union all select 'cliente 09', 2",
         "select 'cliente 09', 2 union all select 'cliente 10', 1", Bien},
        {"common text prefixes, swapped", "select 'cliente 10', 1 union all select 'cliente 09', 2",
         "select 'cliente 09', 1 union all select 'cliente 10', 2", Mal},
        {"zero and minus zero", "select 0.0, 'b' union all select 0, 'a'",
         "select 0, 'a' union all select -0.0, 'b'", Bien},
        // Nulls, numbers, texts and dates in one column, in different orders on each side.
        {"mixed column",
         "select Ciudad from Clientes union all select Saldo from Clientes "
         "union all select Alta from Clientes",
         "select Alta from Clientes union all select Ciudad from Clientes "
         "union all select Saldo from Clientes order by 1 desc",
         Bien},
        {"mixed column, other values",
         "select Ciudad from Clientes union all select Alta from Clientes",
         "select Alta from Clientes union all select Nombre from Clientes", Mal},
        {"the answer's own order by", "select Nombre, Saldo from Clientes",
         "select Nombre, Saldo from Clientes order by Saldo desc, Nombre", Bien},
        {"a limit that keeps every row", "select Nombre from Clientes order by Id",
         "select Nombre from Clientes order by Id desc limit 100", Bien},
        {"a trailing line comment", "select Nombre from Clientes",
         "select Nombre from Clientes -- todos", Bien},
        {"a trailing block comment", "select Nombre from Clientes",
         "select Nombre from Clientes order by Id desc /* al revés */", Bien},
        {"a limit that drops rows", "select Nombre from Clientes",
         "select Nombre from Clientes limit 2", Mal},
        {"an order that chooses the rows", "select Id from Clientes order by Id limit 2",
         "select Id from Clientes order by Id desc limit 2 offset 0", Mal},
        // Nombre ignores case when the engine orders it, so 'Ana' and 'ana' may come in
        // either order; the comparison tells them apart by their bytes.
        {"case-insensitive ordering", "select Nombre from Clientes order by Nombre",
         "select Nombre from Clientes order by Nombre desc", Bien},
        {"case-insensitive ordering, ties", "select Nombre from Clientes order by Id",
         "select Nombre from Clientes order by lower(Nombre), Id desc", Bien},
        // A literal compared with an expression (an aggregate has no collation of its own)
        // ignores letter case as a column does: the lower-cased solution the window stores
        // and the answer as the question words it give the same rows.
        {"literal against an aggregate",
         "select ciudad from clientes group by ciudad having max(nombre) = 'berta'",
         "select Ciudad from Clientes group by Ciudad having max(Nombre) = 'Berta'", Bien},
        {"literal against an expression",
         "select nombre from clientes where nombre || 'x' = 'anax'",
         "select Nombre from Clientes where Nombre || 'x' = 'ANAx'", Bien},
    };
    for (const Caso& c : casos) EXPECT_EQ(Juzgar(c.solucion, c.respuesta), c.veredicto) << c.que;
}

// ---- Endless statements: stopped, the database serving the next check ------------------

TEST_F(ComprobarTest, EndlessStatementsAreStoppedByTheLimits) {
    engine::Limits limites;
    limites.timeout = std::chrono::milliseconds(200);
    limites.maxRows = 100'000;
    bd_->SetLimits(limites);
    const std::string serie = "with recursive c(x) as (select 1 union all select x + 1 from c) ";
    prueba::DosHilos(true);
    // A slow solution that fails while the answer is read far ahead stops the reading.
    const std::string cuenta =
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 20000) ";
    EXPECT_EQ(ComprobarRespuesta(*bd_,
                                 cuenta + "select abs(-9223372036854775807 - (i = 10000)) + "
                                          "0 * length(zeroblob(20000 + i)) from n",
                                 cuenta + "select abs(-9223372036854775807 - 0 * i) from n")
                  .veredicto,
              Veredicto::SolucionInvalida);
    // The answer read ahead is stopped by the time limit too.
    auto r =
        ComprobarRespuesta(*bd_, "select count(*) from Clientes", serie + "select count(*) from c");
    prueba::DosHilos(std::nullopt);
    EXPECT_EQ(r.veredicto, Veredicto::RespuestaInvalida);
    EXPECT_EQ(
        r.mensaje,
        "No se ha podido comprobar tu respuesta: ha superado el tiempo límite de 0,2 segundos");
    EXPECT_EQ(r.motivo, Motivo::LimiteTiempo);
    // An endless stream of rows meets the row cap.
    EXPECT_EQ(Juzgar("select Id from Clientes", serie + "select x from c"),
              Veredicto::RespuestaInvalida);
    r = ComprobarRespuesta(*bd_, serie + "select count(*) from c", "select 1");
    EXPECT_EQ(r.veredicto, Veredicto::SolucionInvalida);
    EXPECT_EQ(r.motivo, Motivo::LimiteTiempo);
    EXPECT_EQ(r.mensaje,
              "No se ha podido comprobar la respuesta: la solución ha superado el tiempo "
              "límite de 0,2 segundos");
    EXPECT_EQ(Juzgar("select count(*) from Clientes", "select 5"), Veredicto::Correcto);
}

// Many rows, one of them off, in another order: with every fingerprint colliding the
// confirmation by value still finds the difference.
TEST_F(ComprobarTest, CollidingFingerprintsNeverPassAWrongAnswer) {
    const std::string serie =
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) ";
    const std::string solucion = serie + "select i, 'fila ' || i from n";
    for (int bits : {0, 1, 8, 12, 128}) {
        prueba::BitsDeHuella(bits);
        EXPECT_EQ(Juzgar(solucion, serie + "select i, 'fila ' || i from n order by i desc"),
                  Veredicto::Correcto)
            << bits;
        EXPECT_EQ(Juzgar(solucion, serie + "select i, 'fila ' || case i when 1500 then 'x' else i "
                                           "end from n order by i desc"),
                  Veredicto::Erroneo)
            << bits;
        // Same rows but one repeated in place of another.
        EXPECT_EQ(
            Juzgar(solucion, serie + "select case i when 7 then 8 else i end, 'fila ' || case "
                                     "i when 7 then 8 else i end from n order by i desc"),
            Veredicto::Erroneo)
            << bits;
    }
    prueba::BitsDeHuella(128);
}

// Two results of two million rows each, in opposite orders, are judged in a process whose
// address space could not hold a copy of either.
TEST_F(ComprobarTest, MillionsOfRowsAreCheckedInLittleMemory) {
    constexpr int kFilas = 2'000'000;
    const auto ruta = home_ / "grande.db";
    test::BuildDatabase(ruta,
                        "CREATE TABLE M (Id INTEGER PRIMARY KEY, Nombre TEXT, Alta DATE);"
                        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                        "WHERE i < " +
                            std::to_string(kFilas) +
                            ") INSERT INTO M SELECT i, 'cliente ' || (i * 7919 % 100003), "
                            "date('2000-01-01', '+' || (i % 9000) || ' days') FROM n;");
    engine::Error err;
    auto bd = Database::Open(ruta.string(), Database::Kind::User, err);
    ASSERT_TRUE(bd) << veliora::TextoDeError(err);
    engine::Limits limites;
    limites.timeout = std::chrono::minutes(10);
    bd->SetLimits(limites);
    const pid_t hijo = fork();
    ASSERT_GE(hijo, 0);
    if (hijo == 0) {
        // What the process holds now, plus 192 MiB: a copy of one result takes over 700.
        long paginas = 0;
        if (FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%ld", &paginas) != 1)
                paginas = 0;
            std::fclose(f);
        }
        const rlim_t tope = rlim_t(paginas) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(192) << 20);
        const rlimit limite{tope, tope};
        if (paginas == 0 || setrlimit(RLIMIT_AS, &limite) != 0)
            _exit(3);
        const auto r = ComprobarRespuesta(*bd, "select Id, Nombre, Alta from M",
                                          "select Id, Nombre, Alta from M order by Id desc");
        _exit(r.veredicto == Veredicto::Correcto ? 0 : 1);
    }
    int estado = 0;
    ASSERT_EQ(waitpid(hijo, &estado, 0), hijo);
    ASSERT_TRUE(WIFEXITED(estado));
    EXPECT_EQ(WEXITSTATUS(estado), 0);
}

TEST(ComprobarSinGuarda, AWritableDatabaseIsNeverUsedForChecking) {
    test::TempHome home;
    const auto ruta = home / "aux.db";
    test::BuildDatabase(ruta, "CREATE TABLE T (a); INSERT INTO T VALUES (1);");
    engine::Error err;
    auto bd = Database::Open(ruta.string(), Database::Kind::Auxiliary, err);
    ASSERT_TRUE(bd) << veliora::TextoDeError(err);
    auto r = ComprobarRespuesta(*bd, "select a from T", "delete from T");
    EXPECT_EQ(r.veredicto, Veredicto::SolucionInvalida);
    EXPECT_EQ(bd->Scalar("select count(*) from T", err).toInt(), 1);
}

}  // namespace
}  // namespace veliora

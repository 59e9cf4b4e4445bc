// The judge that teaches: counterexamples to answers right only on the data at hand and the
// differences of a wrong answer.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/engine/database.h"
#include "core/practice/copia_restringida.h"
#include "core/practice/juez.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

using engine::Database;
using namespace std::chrono_literals;

// Generous: the search ends at its first counterexample, and no test depends on speed.
constexpr auto kSinPrisa = 20000ms;

constexpr const char* kEsquema = R"sql(
CREATE TABLE Clientes (
  Id     INTEGER PRIMARY KEY,
  Nombre TEXT NOT NULL,
  Ciudad TEXT NOT NULL,
  Email  TEXT,
  Saldo  DOUBLE NOT NULL
);
INSERT INTO Clientes VALUES (1, 'Ana', 'Valencia', 'ana@x.es', 5),
  (2, 'Luis', 'Madrid', 'luis@x.es', 15), (3, 'Eva', 'Sevilla', 'eva@x.es', 25),
  (4, 'Pau', 'Girona', 'pau@x.es', 30), (5, 'Iker', 'Bilbao', 'iker@x.es', 50);
CREATE TABLE Pedidos (
  Num     INTEGER PRIMARY KEY,
  Cliente INTEGER REFERENCES Clientes (Id),
  Importe DOUBLE NOT NULL
);
INSERT INTO Pedidos VALUES (10, 1, 10), (11, 2, 20), (12, 2, 35), (13, 5, 30);
)sql";

class JuezTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ruta_ = home_ / "clientes.db";
        test::BuildDatabase(ruta_, kEsquema);
        Abrir(ruta_);
    }
    void Abrir(const std::filesystem::path& ruta) {
        if (bd_)
            bd_->Close();
        ruta_ = ruta;
        original_ = test::ReadBytes(ruta_);
        bd_ = test::OpenDatabase(ruta_, Database::Kind::User);
        ASSERT_TRUE(bd_);
    }
    void TearDown() override {
        if (bd_)
            bd_->Close();
        // Copies, variants and mutants never touch the user's file.
        EXPECT_EQ(test::ReadBytes(ruta_), original_);
    }
    Juicio Juzgar(const std::string& solucion, const std::string& respuesta, bool revelar = false) {
        return veliora::Juzgar(*bd_, solucion, respuesta, {true, kSinPrisa, revelar});
    }

    test::TempHome home_;
    std::filesystem::path ruta_;
    std::string original_;
    std::shared_ptr<Database> bd_;
};

// ---- Counterexamples ---------------------------------------------------------------------

TEST_F(JuezTest, UsualSlipsRightOnlyHereAreFlagged) {
    struct Caso {
        const char* que;
        const char* solucion;
        const char* respuesta;
    };
    const Caso casos[] = {
        {"missing DISTINCT", "select distinct Ciudad from Clientes where Saldo > 10",
         "select Ciudad from Clientes where Saldo > 10"},
        {"> for >= with no row at the boundary", "select Nombre from Clientes where Saldo >= 20",
         "select Nombre from Clientes where Saldo > 20"},
        {"count(*) for count(col), no nulls here", "select count(Email) from Clientes",
         "select count(*) from Clientes"},
        {"not in against a nullable column",
         "select Nombre from Clientes c where not exists "
         "(select * from Pedidos p where p.Cliente = c.Id)",
         "select Nombre from Clientes where Id not in (select Cliente from Pedidos)"},
    };
    for (const auto& c : casos) {
        const Juicio j = Juzgar(c.solucion, c.respuesta);
        EXPECT_EQ(j.resultado.veredicto, Veredicto::CorrectoSoloAqui) << c.que;
        ASSERT_TRUE(j.contraejemplo) << c.que;
        EXPECT_FALSE(j.contraejemplo->cambio.empty());
        EXPECT_EQ(
            j.resultado.mensaje.rfind(
                "Tu respuesta da el resultado correcto con estos datos, pero no en general:\r\n" +
                    j.contraejemplo->cambio,
                0),
            0u)
            << j.resultado.mensaje;
    }
}

TEST_F(JuezTest, MomentsOfADayAreProbedASecondEitherSide) {
    const auto ruta = home_ / "accesos.db";
    test::BuildDatabase(ruta,
                        "CREATE TABLE Accesos (Id INTEGER PRIMARY KEY, Momento DATETIME "
                        "NOT NULL); INSERT INTO Accesos VALUES (1, '2024-03-01 10:00:00'), "
                        "(2, '2024-03-01 13:00:00');");
    Abrir(ruta);
    // Nothing happens between 12:30 and 12:31 here; a second after 12:30 tells them apart.
    const Juicio j = Juzgar("select Id from Accesos where Momento > #03/01/2024 12:30:00#",
                            "select Id from Accesos where Momento >= #03/01/2024 12:31:00#");
    EXPECT_EQ(j.resultado.veredicto, Veredicto::CorrectoSoloAqui);
    EXPECT_EQ(Juzgar("select Id from Accesos where Momento > #03/01/2024 12:30:00#",
                     "select Id from Accesos where Momento >= #03/01/2024 12:30:01#")
                  .resultado.veredicto,
              Veredicto::Correcto);
}

TEST_F(JuezTest, EquivalentRewritesAndTheSearchSwitchedOffStayRight) {
    const std::pair<const char*, const char*> casos[] = {
        {"select Nombre from Clientes where Saldo between 10 and 30",
         "select c.Nombre as N from Clientes c where c.Saldo >= 10 and c.Saldo <= 30"},
        {"select c.Nombre, p.Importe from Clientes c join Pedidos p on p.Cliente = c.Id",
         "select c.Nombre, p.Importe from Pedidos p inner join Clientes c on c.Id = p.Cliente"},
        {"select Nombre from Clientes where Id in (select Cliente from Pedidos)",
         "select Nombre from Clientes c where exists (select 1 from Pedidos where Cliente = c.Id)"},
        {"select distinct Ciudad from Clientes", "select Ciudad from Clientes group by Ciudad"},
    };
    for (const auto& [solucion, respuesta] : casos) {
        const Juicio j = Juzgar(solucion, respuesta);
        EXPECT_EQ(j.resultado.veredicto, Veredicto::Correcto) << respuesta;
        EXPECT_FALSE(j.contraejemplo) << respuesta << ": " << j.contraejemplo->cambio;
    }
    const Juicio sin = veliora::Juzgar(*bd_, "select count(Email) from Clientes",
                                       "select count(*) from Clientes", {false, kSinPrisa, false});
    EXPECT_EQ(sin.resultado.veredicto, Veredicto::Correcto);
}

// A library whose keys, references, not-null columns and checks no data here puts to the
// test: a counterexample must be a database its schema allows.
constexpr const char* kBiblioteca = R"sql(
CREATE TABLE Autores (IdAutor INTEGER PRIMARY KEY, Nombre TEXT NOT NULL);
CREATE TABLE Libros (
  Isbn    TEXT PRIMARY KEY,
  Titulo  TEXT NOT NULL,
  IdAutor INTEGER NOT NULL REFERENCES Autores (IdAutor),
  Paginas INTEGER CHECK (Paginas > 0)
);
CREATE TABLE Prestamos (
  IdPrestamo INTEGER PRIMARY KEY,
  Isbn       TEXT NOT NULL REFERENCES Libros (Isbn),
  Socio      TEXT
);
INSERT INTO Autores VALUES (1, 'Rodoreda'), (2, 'Fuster'), (3, 'Estellés');
INSERT INTO Libros VALUES ('84-1', 'Mirall trencat', 1, 250), ('84-2', 'La plaça', 1, 200),
  ('84-3', 'Nosaltres', 2, 300);
INSERT INTO Prestamos VALUES (1, '84-1', 'Ana'), (2, '84-2', 'Luis'), (3, '84-3', NULL);
)sql";

TEST_F(JuezTest, ChangesTheSchemaRefusesAreUndone) {
    const auto ruta = home_ / "biblioteca.db";
    test::BuildDatabase(ruta, kBiblioteca);
    Abrir(ruta);
    engine::Error err;
    const std::vector<std::string> tablas{"Autores", "Libros", "Prestamos"};
    std::vector<Database::TableCopy> copias;
    for (const auto& t : tablas) copias.push_back({t, {}});
    CopiaRestringida copia(Database::OpenMemoryCopy(*bd_, copias, err), tablas,
                           bd_->Relations(err));
    // Refused: a null in a text key or where none may be, a broken check, a reference to no
    // row, a referenced key changed, a repeated key. Kept: an allowed null, and a parent
    // emptied, which takes its children with it.
    struct Caso {
        const char* tabla;
        const char* sql;
        bool borra, guardado;
        std::vector<std::string> arrastradas;
    };
    const Caso casos[] = {
        {"Libros", "UPDATE main.Libros SET Isbn = NULL WHERE Isbn = '84-3'", false, false, {}},
        {"Libros", "UPDATE main.Libros SET Titulo = NULL", false, false, {}},
        {"Libros", "UPDATE main.Libros SET Paginas = 0", false, false, {}},
        {"Libros", "UPDATE main.Libros SET IdAutor = 9", false, false, {}},
        {"Autores", "UPDATE main.Autores SET IdAutor = 9", false, false, {}},
        {"Libros", "INSERT INTO main.Libros SELECT * FROM main.Libros LIMIT 1", false, false, {}},
        {"Prestamos", "UPDATE main.Prestamos SET Socio = NULL", false, true, {}},
        {"Autores", "DELETE FROM main.Autores", true, true, {"Libros", "Prestamos"}},
    };
    for (const auto& c : casos) {
        std::vector<std::string> arrastradas;
        EXPECT_EQ(copia.Aplicar({{{c.sql, {}}}, {c.tabla}, c.borra}, &arrastradas), c.guardado)
            << c.sql;
        if (copia.Aplicados() > 0) {
            EXPECT_EQ(arrastradas, c.arrastradas) << c.sql;
            copia.Deshacer();
        }
        EXPECT_EQ(copia.bd().Scalar("SELECT count(*) FROM Prestamos", err).toInt(), 3) << c.sql;
    }
}

TEST_F(JuezTest, RightAnswersUnderTheSchemaAreNeverFlagged) {
    const auto ruta = home_ / "biblioteca.db";
    test::BuildDatabase(ruta, kBiblioteca);
    Abrir(ruta);
    const std::pair<const char*, const char*> casos[] = {
        // A primary key is never null, a not-null column neither.
        {"select IdAutor, count(Isbn) from Libros group by IdAutor having count(*) >= 2",
         "select IdAutor, count(*) from Libros group by IdAutor having count(*) >= 2"},
        {"select count(Titulo) from Libros", "select count(*) from Libros"},
        // Every loan has its book, every book its author, also once a parent has no rows.
        {"select count(*) from Prestamos p join Libros l on l.Isbn = p.Isbn",
         "select count(*) from Prestamos"},
        {"select l.Titulo from Libros l join Autores a on a.IdAutor = l.IdAutor",
         "select Titulo from Libros"},
        // The check keeps every number of pages above 0.
        {"select count(*) from Libros where Paginas > 0 or Paginas is null",
         "select count(*) from Libros"},
    };
    for (const auto& [solucion, respuesta] : casos) {
        const Juicio j = Juzgar(solucion, respuesta);
        EXPECT_EQ(j.resultado.veredicto, Veredicto::Correcto) << respuesta;
        EXPECT_FALSE(j.contraejemplo) << respuesta << ": " << j.contraejemplo->cambio;
    }
}

// ---- Differences -------------------------------------------------------------------------

TEST_F(JuezTest, WrongAnswerShowsCountsExtraRowsAndMissingOnlyWhenRevealed) {
    const char* solucion = "select Nombre, Saldo from Clientes where Saldo > 20";
    const char* respuesta = "select Nombre, Saldo from Clientes where Saldo < 20";
    Juicio j = Juzgar(solucion, respuesta);
    ASSERT_EQ(j.resultado.veredicto, Veredicto::Erroneo);
    ASSERT_TRUE(j.diferencias);
    const Diferencias& d = *j.diferencias;
    EXPECT_EQ(d.filasRespuesta, 2u);
    EXPECT_EQ(d.filasSolucion, 3u);
    EXPECT_EQ(d.columnasRespuesta, 2);
    EXPECT_EQ(d.columnasSolucion, 2);
    EXPECT_EQ(d.sobran.columnas, (std::vector<std::string>{"Nombre", "Saldo"}));
    ASSERT_EQ(d.sobran.filas.size(), 2u);
    EXPECT_EQ(d.sobran.filas[0][0].text, "Ana");
    EXPECT_TRUE(d.faltan.filas.empty());
    EXPECT_TRUE(d.diagnostico.empty());

    j = Juzgar(solucion, respuesta, true);
    ASSERT_TRUE(j.diferencias);
    ASSERT_EQ(j.diferencias->faltan.filas.size(), 3u);
    EXPECT_EQ(j.diferencias->faltan.filas[0][0].text, "Eva");
}

TEST_F(JuezTest, DiagnosisNamesTheUsualSlip) {
    struct Caso {
        const char* solucion;
        const char* respuesta;
        const char* diagnostico;
    };
    const Caso casos[] = {
        {"select Nombre from Clientes", "select Nombre, Ciudad from Clientes",
         "Distinto número de columnas: tu respuesta devuelve 2 y la solución 1"},
        {"select distinct Cliente from Pedidos", "select Cliente from Pedidos",
         "Las mismas filas, pero cambia cuántas veces se repiten: ¿falta o sobra un DISTINCT?"},
        {"select Nombre, Ciudad from Clientes", "select Ciudad, Nombre from Clientes",
         "Las mismas filas, pero con las columnas en otro orden"},
        {"select Nombre from Clientes", "select Nombre from Clientes where Saldo > 100",
         "Tu respuesta no devuelve ninguna fila"},
        {"select Nombre from Clientes", "select Ciudad from Clientes", ""},
    };
    for (const auto& c : casos) {
        const Juicio j = Juzgar(c.solucion, c.respuesta);
        ASSERT_TRUE(j.diferencias) << c.respuesta;
        EXPECT_EQ(j.diferencias->diagnostico, c.diagnostico) << c.respuesta;
    }
}

// Results too big to keep (over kMaximoGuardado together) are judged from one reading, which
// cannot tell what differs.
TEST_F(JuezTest, ResultsTooBigToKeepAreJudgedWithoutDifferences) {
    const std::string serie =
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 50000) ";
    const Juicio j = Juzgar(serie + "select printf('%0400d', i) from n",
                            serie + "select printf('%0400d', i + 1) from n");
    EXPECT_EQ(j.resultado.veredicto, Veredicto::Erroneo);
    EXPECT_FALSE(j.diferencias);
}

}  // namespace
}  // namespace veliora

// Whole presses: validation, the finishing steps, bounded redraws on databases that cannot
// give a kind, the window's session object, and long seeded runs over the sample databases.

#include "core/generator/generador.h"
#include "core/shell/errores.h"
#include "generator/entorno.h"

namespace veliora::test {
namespace {

using namespace formas;
using generador::FinPulsacion;

class Validacion : public ::testing::Test, public EntornoGenerador {
  protected:
    void SetUp() override {
        Construir(ReadFixture("gen_formas") + R"(
CREATE TABLE "Lineas Pedido" (Id INTEGER PRIMARY KEY, Cantidad INTEGER);
CREATE TABLE Año (Id INTEGER PRIMARY KEY, Número INTEGER);
CREATE TABLE "Precio€" (Id INTEGER PRIMARY KEY, Valor REAL);
INSERT INTO Clientes VALUES (2, 'Pere', 'd''Alacant', 41, 0);
)");
    }
    bool Validar(std::string& sql) { return motor->ValidarQuery(sql); }
};

// What the engine refuses is refused; what it accepts loses its brackets when every name is
// plain (accented letters included).
TEST_F(Validacion, RefusesWhatTheEngineRefusesAndDropsPlainBrackets) {
    const struct {
        const char* sql;
        bool valida;
        const char* queda;  // null: unchanged
    } casos[] = {
        {"Select [clientes].[nombre] from [clientes] where [clientes].[edad] > 3 ", true,
         "Select clientes.nombre from clientes where clientes.edad > 3 "},
        {"Select [lineas pedido].[cantidad] from [lineas pedido] ", true, nullptr},
        {"Select [año].[número] from [año] ", true, "Select año.número from año "},
        {"Select [precio€].[valor] from [precio€] ", true, nullptr},
        // Brackets inside a value are part of the value.
        {"Select [clientes].[id] from [clientes] where [clientes].[nombre] = 'a[b]' ", true,
         nullptr},
        {"Select Count([clientes].* ) from [clientes] ", true,
         "Select Count(clientes.* ) from clientes "},
        {"Select [clientes].[nada] from [clientes] ", false, nullptr},
        {"Select [clientes].*  from [clientes] where [clientes].[edad] >  ", false, nullptr},
        // Two relations between the same tables name a table twice.
        {"Select *  from [clientes],[clientes] where [clientes].[id] = [clientes].[id] and "
         "[clientes].[edad] > 3 ",
         false, nullptr},
        // A second where after a join without condition.
        {"Select [clientes].[ciudad] from [clientes],[pedidos] where [clientes].[id] = "
         "[pedidos].[idcliente]   where  not exists (select [lineas].*  from [lineas] where "
         "[pedidos].[id] = [lineas].[idpedido] ) group by [clientes].[ciudad]",
         false, nullptr},
        // A bare column beside a grouping or an aggregate; only the grouping column is fine.
        {"Select [pedidos].[idcliente],[pedidos].[importe] from [pedidos]  group by "
         "[pedidos].[idcliente]",
         false, nullptr},
        {"Select [clientes].[nombre],max([clientes].[edad]) from [clientes] ", false, nullptr},
        {"Select [pedidos].[idcliente],Sum([pedidos].[importe]) from [pedidos]  group by "
         "[pedidos].[idcliente] having count([pedidos].[importe]) > 1",
         true,
         "Select pedidos.idcliente,Sum(pedidos.importe) from pedidos  group by "
         "pedidos.idcliente having count(pedidos.importe) > 1"},
        {"Select [clientes].[ciudad] from [clientes],[pedidos] where [clientes].[id] = "
         "[pedidos].[idcliente]   group by [clientes].[ciudad] having max([pedidos].[fecha]) = "
         "#03/15/1999#",
         true,
         "Select clientes.ciudad from clientes,pedidos where clientes.id = pedidos.idcliente   "
         "group by clientes.ciudad having max(pedidos.fecha) = #03/15/1999#"},
    };
    for (const auto& c : casos) {
        std::string sql = c.sql;
        EXPECT_EQ(Validar(sql), c.valida) << c.sql;
        if (c.valida) {
            EXPECT_EQ(sql, c.queda ? c.queda : c.sql);
        }
    }
}

TEST_F(Validacion, QuotesInsideATextValue) {
    // Unquoted as the letter of the dialect would write it: refused.
    std::string crudo =
        "Select [clientes].[nombre] from [clientes] where [clientes].[ciudad] = "
        "'d'alacant' ";
    EXPECT_FALSE(Validar(crudo));
    // As the generator writes it, the inner quote doubled: accepted, and it finds the row
    // (text compares ignore letter case).
    std::string sano = engine::LowerWithCapital(
        "Select [Clientes].[Nombre] from [Clientes] where [Clientes].[Ciudad] = " +
        generador::LiteralTexto("d'Alacant") + " ");
    ASSERT_TRUE(Validar(sano));
    engine::Error err;
    auto rs = usuario->OpenRecordset(sano, err);
    ASSERT_TRUE(rs) << veliora::TextoDeError(err);
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), 1u);
    EXPECT_EQ(rs->Field(0).text, "Pere");
    // A value that would rewrite the condition stays a value.
    std::string ataque = "Select [clientes].[nombre] from [clientes] where [clientes].[ciudad] = " +
                         generador::LiteralTexto("x' or 'a'='a") + " ";
    ASSERT_TRUE(Validar(ataque));
    rs = usuario->OpenRecordset(ataque, err);
    ASSERT_TRUE(rs) << veliora::TextoDeError(err);
    EXPECT_TRUE(rs->Eof());
}

TEST(Agrupacion, OuterLevelOnly) {
    using generador::AgrupacionCorrecta;
    EXPECT_TRUE(AgrupacionCorrecta("select a.x from a group by a.x"));
    EXPECT_FALSE(AgrupacionCorrecta("select a.x, a.y from a group by a.x"));
    EXPECT_TRUE(AgrupacionCorrecta("select a.x, avg(a.y) from a group by a.x having sum(a.y) > 1"));
    EXPECT_TRUE(AgrupacionCorrecta("select [a].[x] ,count([a].* ) from [a] group by a.x"));
    // A subquery's own select list is not the outer one.
    EXPECT_TRUE(
        AgrupacionCorrecta("select a.x from a where a.y > (select max(b.y) from b) group by a.x"));
    EXPECT_TRUE(
        AgrupacionCorrecta("select a.x, a.y from a where a.z in (select b.z from b "
                           "group by b.z)"));
    EXPECT_TRUE(AgrupacionCorrecta("select a.x from a where a.n = 'group by' "));
    EXPECT_FALSE(AgrupacionCorrecta("select max(a.x) + a.y from a"));
}

TEST(Literales, NumbersDatesAndTexts) {
    using namespace generador;
    EXPECT_EQ(LiteralNumero("3,75"), "3.75");
    EXPECT_EQ(LiteralNumero("12"), "12");
    EXPECT_EQ(LiteralNumero("1,2,3"), "1.2.3");
    EXPECT_EQ(LiteralFecha("15/03/1999"), "#03/15/1999#");
    EXPECT_EQ(LiteralFecha("05/01/2020 10:30:00"), "#01/05/2020 10:30:00#");
    EXPECT_EQ(LiteralFecha("05/01/2020 00:00:00"), "#01/05/2020#");
    EXPECT_EQ(LiteralFecha(""), "##");
    EXPECT_EQ(LiteralTexto("O'Brien"), "'O''Brien'");
    EXPECT_EQ(LiteralTexto("d'Alacant"), "'d''Alacant'");
    EXPECT_EQ(TextoEntreComillas("d'Alacant"), "'d'Alacant'");
    EXPECT_EQ(LiteralPorTipo(engine::TypeCode::Currency, "2,5"), "2.5");
    EXPECT_EQ(LiteralPorTipo(engine::TypeCode::TimeStamp, "01/02/2003"), "#02/01/2003#");
    EXPECT_EQ(LiteralPorTipo(engine::TypeCode::Char, "a"), "'a'");
    EXPECT_EQ(LiteralPorTipo(engine::TypeCode::Boolean, "-1"), "-1");
    EXPECT_EQ(QuitarCorchetes("[a b].[c]"), "a b.c");
    EXPECT_TRUE(CorchetesPrescindibles("select [t].[año_2] from [t]"));
    EXPECT_FALSE(CorchetesPrescindibles("select [t].[2año] from [t]"));
    EXPECT_FALSE(CorchetesPrescindibles("select [t].[a-b] from [t]"));
    EXPECT_FALSE(CorchetesPrescindibles("select [t].[a] from [t] where [t].[a] = ']'"));
}

// ---------------------------------------------------------------- bounded redraws

class Degenerada : public ::testing::Test, public EntornoGenerador {
  protected:
    // Presses `caja` and checks that it ends at once, without a question.
    void Termina(int caja, FinPulsacion fin, int intentos) {
        std::array<bool, 5> marcas{};
        marcas[std::size_t(caja - 1)] = true;
        EXPECT_FALSE(motor->GenerarPregunta(marcas)) << "caja " << caja;
        EXPECT_EQ(motor->Ultima().Fin, fin) << "caja " << caja;
        if (intentos > 0) {
            EXPECT_EQ(motor->Ultima().Intentos, intentos) << "caja " << caja;
        }
        EXPECT_EQ(motor->SolucionSQL, "");
    }
};

TEST_F(Degenerada, NoTables) {
    Construir("CREATE VIEW Nada AS SELECT 1 AS x;");
    EXPECT_EQ(motor->EstructuraBD.Count(), 0);
    for (int caja = 1; caja <= 4; ++caja) Termina(caja, FinPulsacion::ErrorMotor, 1);
    SembrarAleatorio(3);
    for (int i = 0; i < 20; ++i) Termina(5, FinPulsacion::ErrorMotor, 1);
    EXPECT_FALSE(motor->GenerarPregunta({false, false, false, false, false}));
    EXPECT_EQ(motor->Ultima().Fin, FinPulsacion::SinMarcas);
}

TEST_F(Degenerada, NoRelations) {
    Construir("CREATE TABLE T (a INTEGER, b TEXT); INSERT INTO T VALUES (1, 'x');");
    Termina(2, FinPulsacion::ErrorMotor, 1);
    Termina(3, FinPulsacion::ErrorMotor, 1);
    // Grouped: the two-table branch ends the press; the one-table branch works.
    SembrarAleatorio(4);
    int hechas = 0;
    for (int i = 0; i < 60; ++i) {
        if (motor->GenerarPregunta({false, false, false, true, false}))
            ++hechas;
        else
            EXPECT_EQ(motor->Ultima().Fin, FinPulsacion::ErrorMotor);
    }
    EXPECT_GT(hechas, 0);
    EXPECT_LT(hechas, 60);
    // A single table still gives single-table questions, and complex ones over itself.
    EXPECT_TRUE(motor->GenerarPregunta({true, false, false, false, false}));
    // Subqueries of kinds 2 and 3 need a relation: their incomplete conditions are
    // refused even where SQLite would accept them ("in ()"), so only kind 1 is shown.
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(motor->GenerarQueryUnaTabla(true));
        const auto& plan = motor->Ultima().Plan;
        EXPECT_EQ(plan.TipoSubquery, 1) << motor->SolucionSQL;
        EXPECT_FALSE(plan.SqlSubquery.empty());
        ASSERT_TRUE(plan.Sub.has_value());
        EXPECT_EQ(plan.Sub->Forma, 1);
    }
}

// A full-text table and the tables holding its data answer queries but are never drawn.
TEST_F(Degenerada, VirtualTablesAreNeverDrawn) {
    Construir(
        "CREATE TABLE Notas (Id INTEGER PRIMARY KEY, Texto TEXT);"
        "INSERT INTO Notas VALUES (1, 'uno'), (2, 'dos');"
        "CREATE VIRTUAL TABLE Busqueda USING fts5(Titulo, Cuerpo);"
        "INSERT INTO Busqueda VALUES ('uno', 'dos');");
    ASSERT_EQ(motor->EstructuraBD.Count(), 1);
    EXPECT_EQ(motor->EstructuraBD.Item(1).Nombre, "Notas");
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(motor->GenerarPregunta({true, false, false, false, false}));
}

// A kind the database cannot give ends the press after the bounded redraws; another kind
// still works.
TEST_F(Degenerada, KindsTheDatabaseCannotGiveAreBounded) {
    const struct {
        const char* que;
        const char* sql;
        int caja, otra;
    } casos[] = {
        {"one relation: never three tables",
         "CREATE TABLE A (Id INTEGER PRIMARY KEY, Nombre TEXT);"
         "CREATE TABLE B (Id INTEGER PRIMARY KEY, IdA INTEGER REFERENCES A (Id), V INTEGER);"
         "INSERT INTO A VALUES (1, 'uno'); INSERT INTO B VALUES (1, 1, 5);",
         3, 2},
        {"one field a table, B's its foreign key: nothing to aggregate",
         "CREATE TABLE A (Id INTEGER PRIMARY KEY); CREATE TABLE B (IdA INTEGER REFERENCES A (Id));"
         "INSERT INTO A VALUES (1); INSERT INTO B VALUES (1);",
         4, 1},
        {"a self relation names its table twice",
         "CREATE TABLE E (Id INTEGER PRIMARY KEY, Jefe INTEGER REFERENCES E (Id), Sueldo INTEGER);"
         "INSERT INTO E VALUES (1, NULL, 100), (2, 1, 50);",
         2, 1},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.que);
        Construir(c.sql);
        Termina(c.caja, FinPulsacion::Limite, generador::kMaxIntentos);
        std::array<bool, 5> marcas{};
        marcas[std::size_t(c.otra - 1)] = true;
        EXPECT_TRUE(motor->GenerarPregunta(marcas));
    }
}

// ---------------------------------------------------------------- the window's session

TEST(Sesion, PreviousQuestionStaysWhenAPressEndsWithout) {
    EntornoGenerador e;
    e.Construir(R"(
CREATE TABLE A (Id INTEGER PRIMARY KEY, Nombre TEXT);
CREATE TABLE B (Id INTEGER PRIMARY KEY, IdA INTEGER REFERENCES A (Id), V INTEGER);
INSERT INTO A VALUES (1, 'ÁVILA');
INSERT INTO B VALUES (1, 1, 5);
)",
                R"(INSERT INTO Tablas (Nombre, NombreSingular, NombrePlural, MascFeme)
                   VALUES ('A', 'CIUDAD', 'CIUDADES', 0);)");
    GeneradorConsultas g(e.usuario, e.auxiliar);
    engine::Error err;
    ASSERT_TRUE(g.Cargar(err)) << veliora::TextoDeError(err);
    EXPECT_EQ(g.EstructuraBD().Count(), 2);
    SembrarAleatorio(77);
    ASSERT_TRUE(g.GenerarPregunta({true, true, false, false, false}));
    const std::string solucion = g.SolucionSQL(), pregunta = g.TextoPregunta();
    EXPECT_FALSE(solucion.empty());
    EXPECT_FALSE(pregunta.empty());
    EXPECT_FALSE(g.GenerarPregunta({false, false, true, false, false}));
    EXPECT_EQ(g.UltimaGeneracion().Fin, FinPulsacion::Limite);
    EXPECT_EQ(g.SolucionSQL(), solucion);
    EXPECT_EQ(g.TextoPregunta(), pregunta);
}

TEST(Sesion, FinishingLowersEverythingAndCapitalisesTheFirstLetter) {
    EntornoGenerador e;
    e.Construir(R"(
CREATE TABLE Ciudades (Nombre TEXT, Provincia TEXT);
INSERT INTO Ciudades VALUES ('ÁVILA', 'ÁVILA'), ('Ávila', 'Ávila');
)",
                R"(INSERT INTO Tablas VALUES ('Ciudades', 'CIUDAD', 'CIUDADES', 0, 0, 0);
                   INSERT INTO Campos VALUES ('Ciudades', 'Nombre', 'NOMBRE', 'NOMBRES', -1, 0),
                                             ('Ciudades', 'Provincia', 'PROVINCIA', 'PROVINCIAS', 0, 0);)");
    auto& m = *e.motor;
    SembrarAleatorio(1);
    int conValor = 0;
    for (int i = 0; i < 60; ++i) {
        ASSERT_TRUE(m.GenerarQueryUnaTabla(false));
        const auto& g = m.Ultima();
        EXPECT_EQ(g.Pregunta, engine::LowerWithCapital(g.PreguntaBruta));
        EXPECT_EQ(m.TextoPregunta, g.Pregunta);
        EXPECT_EQ(m.SolucionSQL, g.Sql);
        const std::string bajo = engine::LowerWithCapital(g.SqlBruto);
        EXPECT_TRUE(g.Sql == bajo || g.Sql == generador::QuitarCorchetes(bajo)) << g.Sql;
        EXPECT_EQ(g.Sql.substr(0, 7), "Select ");
        EXPECT_EQ(g.Pregunta.find("ÁVILA"), std::string::npos);
        if (g.Plan.IndCampoCond > 0) {
            ++conValor;
            EXPECT_NE(g.Pregunta.find("'ávila'"), std::string::npos) << g.Pregunta;
            // The lowered value still finds its rows: text compares ignore letter case.
            engine::Error err;
            auto rs = e.usuario->OpenRecordset(g.Sql, err);
            ASSERT_TRUE(rs) << veliora::TextoDeError(err);
            EXPECT_FALSE(rs->Eof()) << g.Sql;
        }
    }
    EXPECT_GT(conValor, 0);
}

// ---------------------------------------------------------------- the sample databases

class Muestras : public ::testing::TestWithParam<std::string> {};

TEST_P(Muestras, EverySolutionPreparesAndRuns) {
    TempHome home;
    const std::string nombre = GetParam();
    std::shared_ptr<engine::Database> usuario, auxiliar;
    AbrirMuestra(home, nombre, usuario, auxiliar);
    if (HasFatalFailure())
        return;
    engine::Error err;
    // Whether each solution runs is the question here, not how fast under a loaded machine.
    engine::Limits generosos;
    generosos.timeout = std::chrono::minutes(5);
    usuario->SetLimits(generosos);
    generador::Motor m(usuario, auxiliar);
    ASSERT_TRUE(m.Cargar(err)) << veliora::TextoDeError(err);

    SembrarAleatorio(20240601);
    for (int caja = 1; caja <= 5; ++caja) {
        std::array<bool, 5> marcas{};
        marcas[std::size_t(caja - 1)] = true;
        std::set<int> subconsultas;
        for (int i = 0; i < 200; ++i) {
            ASSERT_TRUE(m.GenerarPregunta(marcas)) << "caja " << caja;
            const auto& g = m.Ultima();
            EXPECT_EQ(g.Tipo, caja);
            EXPECT_LE(g.Intentos, generador::kMaxIntentos);
            EXPECT_EQ(g.Pregunta, engine::LowerWithCapital(g.PreguntaBruta));
            auto rs = usuario->OpenRecordset(g.Sql, err);
            ASSERT_TRUE(rs) << g.Sql << "\n" << veliora::TextoDeError(err);
            rs->MoveLast();
            EXPECT_FALSE(rs->Error().failed()) << g.Sql << "\n"
                                               << veliora::TextoDeError(rs->Error());
            if (caja == 5) {
                EXPECT_GT(g.Plan.TipoSubquery, 0);
                ASSERT_TRUE(g.Plan.Sub.has_value()) << g.Sql;
                EXPECT_NE(g.SqlBruto.find("(" + g.Plan.SqlSubquery + ")"), std::string::npos);
                EXPECT_NE(g.PreguntaBruta.find(g.Plan.TextoSubquery), std::string::npos);
                subconsultas.insert(g.Plan.TipoSubquery);
            } else {
                EXPECT_EQ(g.Plan.TipoSubquery, 0);
            }
            if (g.Driver == 4 && g.Plan.MostrarAgregado) {
                EXPECT_NE(g.Plan.Agregado, 1) << "bare second column shown: " << g.Sql;
            }
        }
        if (caja == 5) {
            EXPECT_EQ(subconsultas, (std::set<int>{1, 2, 3}));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Generador, Muestras, ::testing::Values("tienda.db", "escuela.db"));

// ---------------------------------------------------------------- values in conditions

class ValoresCondicion : public ::testing::Test, public EntornoGenerador {};

// "between" takes the smaller value first in the SQL and the question alike; a value with a
// time of day keeps it in the SQL literal, midnight included, so that the condition finds
// its row.
TEST_F(ValoresCondicion, BetweenInOrderAndDateTimesWithTheirTime) {
    Construir(
        "CREATE TABLE Medidas(Id INTEGER PRIMARY KEY, Peso REAL, Momento DATETIME);"
        "INSERT INTO Medidas VALUES (1, 45, '2023-03-15 17:20:13'), (2, 35, '2023-03-16'),"
        "(3, 40.5, '2023-03-17'), (4, 50, '2023-03-18 00:00:00');");
    auto& m = *motor;
    const int t = m.IndiceTabla("Medidas"), peso = m.IndiceCampo("Medidas", "Peso"),
              momento = m.IndiceCampo("Medidas", "Momento");
    std::set<std::string> literales;
    for (int semilla = 1; semilla <= 60; ++semilla) {
        SembrarAleatorio(std::uint64_t(semilla));
        generador::PlanConsulta plan{.IndTabla = t,
                                     .Agregado = generador::Agregados::Ninguno,
                                     .IndCampoCond = peso,
                                     .Operador = generador::Operadores::Entre};
        const generador::SqlConValores r = m.SqlUnaTabla(plan);
        const std::string& entre = r.Sql;
        EXPECT_LE(std::stod(generador::LiteralNumero(r.Valor1)),
                  std::stod(generador::LiteralNumero(r.Valor2)))
            << entre;
        plan.Valor1 = r.Valor1;
        plan.Valor2 = r.Valor2;
        EXPECT_NE(m.TextoUnaTabla(true, plan).find("entre " + r.Valor1 + " y " + r.Valor2),
                  std::string::npos);
        engine::Error err;
        auto rs = usuario->OpenRecordset(entre, err);
        ASSERT_TRUE(rs) << veliora::TextoDeError(err);
        EXPECT_FALSE(rs->Eof()) << entre;

        plan.IndCampoCond = momento;
        plan.Operador = generador::Operadores::Igual;
        const std::string igual = m.SqlUnaTabla(plan).Sql;
        literales.insert(igual.substr(igual.find('#')));
        rs = usuario->OpenRecordset(igual, err);
        ASSERT_TRUE(rs) << veliora::TextoDeError(err);
        EXPECT_FALSE(rs->Eof()) << igual;
    }
    EXPECT_EQ(literales, (std::set<std::string>{"#03/15/2023 17:20:13# ", "#03/16/2023# ",
                                                "#03/17/2023# ", "#03/18/2023 00:00:00# "}));
}

// Without dictionary rows, questions read the names the ending rules give, not blanks.
TEST_F(ValoresCondicion, QuestionsWithoutDictionaryRowsUseDefaultNames) {
    ConstruirFixture("gen_formas");
    std::array<bool, 5> todas{true, true, true, true, true};
    SembrarAleatorio(777);
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(motor->GenerarPregunta(todas));
        const std::string& p = motor->Ultima().PreguntaBruta;
        for (const char* hueco :
             {" de  ", " la  ", " los  ", " las  ", " el  ", " con  ", "cuántos  ", "cuántas  "})
            EXPECT_EQ(p.find(hueco), std::string::npos) << p;
        const bool nombra =
            p.find("Cliente") != std::string::npos || p.find("Pedido") != std::string::npos ||
            p.find("Linea") != std::string::npos || p.find("Tienda") != std::string::npos ||
            p.find("Zona") != std::string::npos;
        EXPECT_TRUE(nombra) << p;
    }
}

}  // namespace
}  // namespace veliora::test

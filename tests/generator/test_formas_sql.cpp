// The SQL shapes of every builder, to the letter (blanks included), before lower-casing.
// gen_formas has one row per table, so every sampled value is known.
#include "core/practice/comprobar.h"
#include "core/shell/errores.h"
#include "generator/entorno.h"

namespace veliora::test {
namespace {

using namespace formas;
using S = generador::PlanSubconsulta;
namespace Ag = generador::Agregados;
namespace Op = generador::Operadores;
namespace Sub = generador::Subconsultas;
namespace Con = generador::Conectores;
namespace Per = generador::Pertenencia;

class FormasSql : public ::testing::Test, public EntornoGenerador {
  protected:
    void SetUp() override { ConstruirFixture("gen_formas", "gen_formas_aux"); }
};

// One plan, the statement it gives and the values it samples.
struct Caso {
    generador::PlanConsulta plan;
    std::string sql, valor1 = {}, valor2 = {};
};

TEST_F(FormasSql, SingleTableShapes) {
    const Caso casos[] = {
        {Plan(Clientes, 0, Ag::Ninguno), "Select [Clientes].*  from [Clientes] "},
        {Plan(Clientes, 0, Ag::Count), "Select Count([Clientes].* ) from [Clientes] "},
        {Plan(Clientes, CliCiudad, Ag::Ninguno, true),
         "Select Distinct [Clientes].[Ciudad] from [Clientes] "},
        {Plan(Clientes, 0, Ag::Ninguno, true), "Select Distinct [Clientes].*  from [Clientes] "},
        {Plan(Clientes, CliEdad, Ag::Max).Donde(CliEdad, Op::Mayor),
         "Select Max([Clientes].[Edad]) from [Clientes] where [Clientes].[Edad] > 30 ", "30"},
        // The literal follows the field type (each type's literal is the Literales test's).
        {Plan(Pedidos, PedId, Ag::Ninguno).Donde(PedFecha, Op::MayorIgual),
         "Select [Pedidos].[Id] from [Pedidos] where [Pedidos].[Fecha] >= #03/15/1999# ",
         "15/03/1999"},
        // Between and in take two drawn values; the values keep their decimal comma.
        {Plan(Clientes, 0, Ag::Ninguno).Donde(CliEdad, Op::Entre),
         "Select [Clientes].*  from [Clientes] where [Clientes].[Edad] between 30 and 30 ", "30",
         "30"},
        {Plan(Pedidos, 0, Ag::Ninguno).Donde(PedImporte, Op::En),
         "Select [Pedidos].*  from [Pedidos] where [Pedidos].[Importe] in (100.5 , 100.5) ",
         "100,5", "100,5"},
    };
    for (const Caso& c : casos) {
        const generador::SqlConValores r = motor->SqlUnaTabla(c.plan);
        EXPECT_EQ(r.Sql, c.sql);
        EXPECT_EQ(r.Valor1, c.valor1) << c.sql;
        EXPECT_EQ(r.Valor2, c.valor2) << c.sql;
    }
}

TEST_F(FormasSql, JoinShapes) {
    const Caso casos[] = {
        {Plan(Clientes, CliNombre, Ag::Ninguno)
             .Une(Pedidos, ClientesPedidos)
             .Donde(PedImporte, Op::Mayor),
         "Select [Clientes].[Nombre] from [Clientes],[Pedidos] where [Clientes].[Id] = "
         "[Pedidos].[IdCliente] and [Pedidos].[Importe] > 100.5 "},
        // Selected from the foreign side: the primary side is still written first.
        {Plan(Pedidos, 0, Ag::Count).Une(Clientes, ClientesPedidos).Donde(CliCiudad),
         "Select Count(* ) from [Pedidos],[Clientes] where [Clientes].[Id] = "
         "[Pedidos].[IdCliente] and [Clientes].[Ciudad] = 'Lugo' "},
        {Plan(Clientes, 0, Ag::Ninguno)
             .Une(Pedidos, ClientesPedidos, Lineas, PedidosLineas)
             .Donde(LinCantidad, Op::MayorIgual),
         "Select *  from [Clientes],[Pedidos],[Lineas] where [Clientes].[Id] = "
         "[Pedidos].[IdCliente] and [Pedidos].[Id] = [Lineas].[IdPedido] and "
         "[Lineas].[Cantidad] >= 3 "},
        // A relation over two field pairs gives two equalities.
        {Plan(Tiendas, 0, Ag::Ninguno).Une(Zonas, ZonasTiendas).Donde(ZonNombre),
         "Select *  from [Tiendas],[Zonas] where [Zonas].[Pais] = [Tiendas].[Pais] and "
         "[Zonas].[Codigo] = [Tiendas].[CodigoZona] and [Zonas].[Nombre] = 'Norte' "},
        // A join always has a condition, so the subquery joins it with AND/OR; with OR both go
        // in parentheses, or the join equalities would bind only the first of them (run
        // against data in FormasConFilas below).
        {Plan(Clientes, CliNombre, Ag::Ninguno)
             .Une(Pedidos, ClientesPedidos)
             .Donde(PedImporte)
             .Subconsulta(Sub::Valor, Con::O, PedImporte, Op::MenorIgual, "S"),
         "Select [Clientes].[Nombre] from [Clientes],[Pedidos] where [Clientes].[Id] = "
         "[Pedidos].[IdCliente] and ([Pedidos].[Importe] = 100.5 OR [Pedidos].[Importe] <=  "
         "(S))"},
        {Plan(Clientes, CliNombre, Ag::Ninguno)
             .Une(Pedidos, ClientesPedidos)
             .Donde(PedImporte)
             .Subconsulta(Sub::Valor, Con::Y, PedImporte, Op::MenorIgual, "S"),
         "Select [Clientes].[Nombre] from [Clientes],[Pedidos] where [Clientes].[Id] = "
         "[Pedidos].[IdCliente] and [Pedidos].[Importe] = 100.5 AND [Pedidos].[Importe] <=  "
         "(S)"},
    };
    for (const Caso& c : casos) EXPECT_EQ(motor->SqlVariasTablas(c.plan).Sql, c.sql);
}

TEST_F(FormasSql, GroupedShapes) {
    auto& m = *motor;
    generador::SqlConValores r = m.SqlAgrupadaUnaTabla(
        Plan(Pedidos, 0, Ag::Sum).Agrupa(PedIdCliente, PedImporte, true, Ag::Count, Op::Mayor));
    const std::string prefijo =
        "Select [Pedidos].[IdCliente],Sum([Pedidos].[Importe]) from [Pedidos]  group by "
        "[Pedidos].[IdCliente] having Count([Pedidos].[Importe]) > ";
    ASSERT_EQ(r.Sql.substr(0, prefijo.size()), prefijo);
    // A having on Count compares with a whole number from 1 to 10, written as digits.
    EXPECT_EQ(r.Sql.substr(prefijo.size()), r.ValorHaving);
    int n = std::stoi(r.ValorHaving);
    EXPECT_GE(n, 1);
    EXPECT_LE(n, 10);

    struct Agrupada {
        bool variasTablas;
        generador::PlanConsulta plan;
        std::string sql, valorHaving = {};
    };
    const Agrupada casos[] = {
        // No having: the grouping clause ends the statement; a bare second column is written
        // as it is (validation refuses it later).
        {false,
         Plan(Clientes, 0, Ag::Ninguno).Donde(CliEdad, Op::Menor).Agrupa(CliCiudad, CliEdad, true),
         "Select [Clientes].[Ciudad],[Clientes].[Edad] from [Clientes] where "
         "[Clientes].[Edad] < 30  group by [Clientes].[Ciudad]"},
        // Max over a text field compares with a quoted value of that field.
        {false, Plan(Clientes, 0, Ag::Ninguno).Agrupa(CliNombre, CliCiudad, false, Ag::Max),
         "Select [Clientes].[Nombre] from [Clientes]  group by [Clientes].[Nombre] having "
         "Max([Clientes].[Ciudad]) = 'Lugo'",
         "Lugo"},
        {false,
         Plan(Pedidos, 0, Ag::Min).Agrupa(PedIdCliente, PedFecha, true, Ag::Min, Op::MenorIgual),
         "Select [Pedidos].[IdCliente],Min([Pedidos].[Fecha]) from [Pedidos]  group by "
         "[Pedidos].[IdCliente] having Min([Pedidos].[Fecha]) <= #03/15/1999#",
         "15/03/1999"},
        {false,
         Plan(Clientes, 0, Ag::Max)
             .Donde(CliEdad)
             .Agrupa(CliCiudad, CliEdad, true)
             .Subconsulta(Sub::Lista, Con::Y, CliId, Per::En, "S"),
         "Select [Clientes].[Ciudad],Max([Clientes].[Edad]) from [Clientes] where "
         "[Clientes].[Edad] = 30 AND [Clientes].[Id] in (S) group by [Clientes].[Ciudad]"},
        {true,
         Plan(Clientes, 0, Ag::Ninguno)
             .Une(Pedidos, ClientesPedidos)
             .Donde(PedImporte, Op::MayorIgual)
             .Agrupa(CliCiudad, PedImporte, false),
         "Select [Clientes].[Ciudad] from [Clientes],[Pedidos] where [Clientes].[Id] = "
         "[Pedidos].[IdCliente] and [Pedidos].[Importe] >= 100.5  group by "
         "[Clientes].[Ciudad]"},
        // Without a condition the last "and " goes: three blanks before group by.
        {true,
         Plan(Clientes, 0, Ag::Avg)
             .Une(Pedidos, ClientesPedidos)
             .Agrupa(CliCiudad, PedImporte, true, Ag::Avg, Op::Mayor),
         "Select [Clientes].[Ciudad],Avg([Pedidos].[Importe]) from [Clientes],[Pedidos] "
         "where [Clientes].[Id] = [Pedidos].[IdCliente]   group by [Clientes].[Ciudad] "
         "having Avg([Pedidos].[Importe]) > 100.5",
         "100,5"},
        // Without a condition a subquery opens a second where (refused later).
        {true,
         Plan(Clientes, 0, Ag::Ninguno)
             .Une(Pedidos, ClientesPedidos)
             .Agrupa(CliCiudad, PedImporte, false)
             .Subconsulta(Sub::NoExiste, Con::Y, PedIdCliente, 1, "S"),
         "Select [Clientes].[Ciudad] from [Clientes],[Pedidos] where [Clientes].[Id] = "
         "[Pedidos].[IdCliente]   where  not exists (S) group by [Clientes].[Ciudad]"},
    };
    for (const Agrupada& c : casos) {
        r = c.variasTablas ? m.SqlAgrupadaVariasTablas(c.plan) : m.SqlAgrupadaUnaTabla(c.plan);
        EXPECT_EQ(r.Sql, c.sql);
        EXPECT_EQ(r.ValorHaving, c.valorHaving) << c.sql;
    }
}

TEST_F(FormasSql, SubqueryShapes) {
    auto& m = *motor;
    // Kind 1 over o itself, no outer condition: the subquery opens the where.
    const std::string media = m.SqlUnaTabla(Plan(Clientes, CliEdad, Ag::Avg)).Sql;
    EXPECT_EQ(m.SqlUnaTabla(Plan(Clientes, 0, Ag::Ninguno)
                                .Subconsulta(Sub::Valor, Con::Y, CliEdad, Op::Mayor, media))
                  .Sql,
              "Select [Clientes].*  from [Clientes]  where [Clientes].[Edad] >  (Select "
              "Avg([Clientes].[Edad]) from [Clientes] )");

    // Kind 2 after an outer condition.
    const std::string importes =
        m.SqlUnaTabla(Plan(Pedidos, PedIdCliente, Ag::Ninguno).Donde(PedImporte, Op::Mayor)).Sql;
    Plan lista = Plan(Clientes, 0, Ag::Ninguno)
                     .Donde(CliCiudad)
                     .Subconsulta(Sub::Lista, Con::Y, CliId, Per::NoEn, importes);
    EXPECT_EQ(m.SqlUnaTabla(lista).Sql,
              "Select [Clientes].*  from [Clientes] where [Clientes].[Ciudad] = 'Lugo' AND "
              "[Clientes].[Id] not in (Select [Pedidos].[IdCliente] from [Pedidos] where "
              "[Pedidos].[Importe] > 100.5 )");
    lista.Subconsulta(Sub::Lista, Con::O, CliId, Per::En, "S");
    EXPECT_EQ(m.SqlUnaTabla(lista).Sql,
              "Select [Clientes].*  from [Clientes] where [Clientes].[Ciudad] = 'Lugo' OR "
              "[Clientes].[Id] in (S)");

    // Kind 3: a correlated subquery that does not list the outer table.
    S correlacionada{.IndRelacion = ClientesPedidos,
                     .IndTabla = Pedidos,
                     .IndTabla2 = Clientes,
                     .Agregado = Ag::Ninguno};
    const std::string pedidos = m.SqlSubqueryCorrelacionada(correlacionada).Sql;
    EXPECT_EQ(pedidos,
              "Select [Pedidos].*  from [Pedidos] where [Clientes].[Id] = "
              "[Pedidos].[IdCliente] ");
    EXPECT_EQ(
        m.SqlUnaTabla(
             Plan(Clientes, 0, Ag::Ninguno).Subconsulta(Sub::NoExiste, Con::Y, CliId, 1, pedidos))
            .Sql,
        "Select [Clientes].*  from [Clientes]  where  not exists (Select [Pedidos].*  from "
        "[Pedidos] where [Clientes].[Id] = [Pedidos].[IdCliente] )");
    // With an inner condition nothing follows the condition.
    correlacionada.IndCampoCond = PedImporte;
    correlacionada.Operador = Op::Mayor;
    const generador::SqlConValores r = m.SqlSubqueryCorrelacionada(correlacionada);
    EXPECT_EQ(
        r.Sql,
        "Select [Pedidos].*  from [Pedidos] where [Clientes].[Id] = [Pedidos].[IdCliente] and "
        "[Pedidos].[Importe] > 100.5");
    EXPECT_EQ(r.Valor1, "100,5");
}

// The shapes above show every name in use; codes out of range name nothing.
TEST_F(FormasSql, CodesOutOfRangeNameNothing) {
    EXPECT_EQ(generador::NombreAgregado(Ag::Ninguno), "");
    EXPECT_EQ(generador::NombreAgregado(6), "");
    EXPECT_EQ(generador::NombreOperador(8), "");
    EXPECT_EQ(generador::NombreOperador(-1), "");
}

// The OR of a subquery after join equalities, on the three shapes that have joins: the
// generated statement returns what the statement with the parentheses written by hand does,
// not the cartesian product a bare OR gives. More rows than gen_formas, so that the two differ.
class FormasConFilas : public ::testing::Test, public EntornoGenerador {
  protected:
    void SetUp() override {
        Construir(ReadFixture("gen_formas") +
                      "INSERT INTO Clientes VALUES (2, 'Eva', 'Vigo', 40, 0);"
                      "INSERT INTO Pedidos VALUES (2, 2, 50, '2001-01-01', 1);"
                      "INSERT INTO Pedidos VALUES (3, 2, 75, '2002-01-01', 1);"
                      "INSERT INTO Lineas VALUES (2, 2, 1, 'Sal');"
                      "INSERT INTO Lineas VALUES (3, 3, 3, 'Col');",
                  ReadFixture("gen_formas_aux"));
    }
};

TEST_F(FormasConFilas, OrAfterJoinsIsEnclosed) {
    auto& m = *motor;
    const std::string maxImporte = "Select Max([Pedidos].[Importe]) from [Pedidos]";
    const std::string maxCantidad = "Select Max([Lineas].[Cantidad]) from [Lineas]";
    const Plan dos = Plan(Clientes, 0, Ag::Ninguno)
                         .Une(Pedidos, ClientesPedidos)
                         .Donde(PedImporte, Op::Mayor)
                         .Subconsulta(Sub::Valor, Con::O, PedImporte, Op::Igual, maxImporte);
    const Plan tres = Plan(Clientes, 0, Ag::Ninguno)
                          .Une(Pedidos, ClientesPedidos, Lineas, PedidosLineas)
                          .Donde(LinCantidad, Op::Igual)
                          .Subconsulta(Sub::Valor, Con::O, LinCantidad, Op::Igual, maxCantidad);
    Plan agrupada = dos;
    agrupada.Agrupa(CliCiudad, PedImporte, true).Agregado = Ag::Count;
    const std::pair<generador::SqlConValores, std::string> casos[] = {
        // By hand, with %1 for the sampled value.
        {m.SqlVariasTablas(dos),
         "Select * from Clientes, Pedidos where Clientes.Id = Pedidos.IdCliente and "
         "(Pedidos.Importe > %1 OR Pedidos.Importe = (Select Max(Importe) from "
         "Pedidos))"},
        {m.SqlVariasTablas(tres),
         "Select * from Clientes, Pedidos, Lineas where Clientes.Id = "
         "Pedidos.IdCliente and Pedidos.Id = Lineas.IdPedido and (Lineas.Cantidad = "
         "%1 OR Lineas.Cantidad = (Select Max(Cantidad) from Lineas))"},
        {m.SqlAgrupadaVariasTablas(agrupada),
         "Select Clientes.Ciudad, Count(Pedidos.Importe) from Clientes, Pedidos "
         "where Clientes.Id = Pedidos.IdCliente and (Pedidos.Importe > %1 OR "
         "Pedidos.Importe = (Select Max(Importe) from Pedidos)) group by "
         "Clientes.Ciudad"},
    };
    for (auto [generada, aMano] : casos) {
        aMano.replace(aMano.find("%1"), 2, generador::LiteralNumero(generada.Valor1));
        const std::string& sql = generada.Sql;
        EXPECT_NE(sql.find(" and (["), std::string::npos) << sql;
        engine::Error err;
        auto filas = usuario->OpenRecordset(sql, err);
        ASSERT_TRUE(filas) << sql << "\n" << veliora::TextoDeError(err);
        auto esperadas = usuario->OpenRecordset(aMano, err);
        ASSERT_TRUE(esperadas) << aMano << "\n" << veliora::TextoDeError(err);
        filas->MoveLast();
        esperadas->MoveLast();
        EXPECT_TRUE(MismosResultados(*filas, *esperadas)) << sql;
    }
}

}  // namespace
}  // namespace veliora::test

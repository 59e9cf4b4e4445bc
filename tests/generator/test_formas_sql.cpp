// The SQL shapes of every builder, to the letter (blanks included), before lower-casing.
// gen_formas has one row per table, so every sampled value is known.
#include "core/practice/comprobar.h"
#include "generator/entorno.h"

namespace veliora::test {
namespace {

using namespace formas;
using P = generador::PlanConsulta;
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
    P plan;
    std::string sql, valor1 = {}, valor2 = {};
};

TEST_F(FormasSql, SingleTableShapes) {
    const Caso casos[] = {
        {{.IndTabla = Clientes, .Agregado = Ag::Ninguno}, "Select [Clientes].*  from [Clientes] "},
        {{.IndTabla = Clientes, .Agregado = Ag::Count},
         "Select Count([Clientes].* ) from [Clientes] "},
        {{.IndTabla = Clientes, .IndCampo = CliCiudad, .Distinto = true, .Agregado = Ag::Ninguno},
         "Select Distinct [Clientes].[Ciudad] from [Clientes] "},
        {{.IndTabla = Clientes, .Distinto = true, .Agregado = Ag::Ninguno},
         "Select Distinct [Clientes].*  from [Clientes] "},
        {{.IndTabla = Clientes,
          .IndCampo = CliEdad,
          .Agregado = Ag::Max,
          .IndCampoCond = CliEdad,
          .Operador = Op::Mayor},
         "Select Max([Clientes].[Edad]) from [Clientes] where [Clientes].[Edad] > 30 ",
         "30"},
        // Condition literals follow the field type.
        {{.IndTabla = Clientes,
          .IndCampo = CliNombre,
          .Agregado = Ag::Ninguno,
          .IndCampoCond = CliCiudad},
         "Select [Clientes].[Nombre] from [Clientes] where [Clientes].[Ciudad] = 'Lugo' ",
         "Lugo"},
        {{.IndTabla = Pedidos,
          .IndCampo = PedId,
          .Agregado = Ag::Ninguno,
          .IndCampoCond = PedFecha,
          .Operador = Op::MayorIgual},
         "Select [Pedidos].[Id] from [Pedidos] where [Pedidos].[Fecha] >= #03/15/1999# ",
         "15/03/1999"},
        // The value keeps its decimal comma; the SQL gets a point.
        {{.IndTabla = Pedidos,
          .IndCampo = PedId,
          .Agregado = Ag::Ninguno,
          .IndCampoCond = PedImporte,
          .Operador = Op::Distinto},
         "Select [Pedidos].[Id] from [Pedidos] where [Pedidos].[Importe] <> 100.5 ",
         "100,5"},
        // A yes/no field is written as its text, unchanged.
        {{.IndTabla = Clientes, .IndCampo = CliId, .Agregado = Ag::Ninguno, .IndCampoCond = CliVip},
         "Select [Clientes].[Id] from [Clientes] where [Clientes].[Vip] = 1 ",
         "1"},
        // Between and in take two drawn values.
        {{.IndTabla = Clientes,
          .Agregado = Ag::Ninguno,
          .IndCampoCond = CliEdad,
          .Operador = Op::Entre},
         "Select [Clientes].*  from [Clientes] where [Clientes].[Edad] between 30 and 30 ",
         "30",
         "30"},
        {{.IndTabla = Pedidos,
          .Agregado = Ag::Ninguno,
          .IndCampoCond = PedImporte,
          .Operador = Op::En},
         "Select [Pedidos].*  from [Pedidos] where [Pedidos].[Importe] in (100.5 , 100.5) ",
         "100,5",
         "100,5"},
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
        {{.IndTabla = Clientes,
          .IndTabla2 = Pedidos,
          .IndRelacion = ClientesPedidos,
          .IndCampo = CliNombre,
          .Agregado = Ag::Ninguno,
          .IndCampoCond = PedImporte,
          .Operador = Op::Mayor},
         "Select [Clientes].[Nombre] from [Clientes],[Pedidos] where [Clientes].[Id] = "
         "[Pedidos].[IdCliente] and [Pedidos].[Importe] > 100.5 "},
        // Selected from the foreign side: the primary side is still written first.
        {{.IndTabla = Pedidos,
          .IndTabla2 = Clientes,
          .IndRelacion = ClientesPedidos,
          .Agregado = Ag::Count,
          .IndCampoCond = CliCiudad},
         "Select Count(* ) from [Pedidos],[Clientes] where [Clientes].[Id] = "
         "[Pedidos].[IdCliente] and [Clientes].[Ciudad] = 'Lugo' "},
        {{.IndTabla = Clientes,
          .IndTabla2 = Pedidos,
          .IndTabla3 = Lineas,
          .IndRelacion = ClientesPedidos,
          .IndRelacion2 = PedidosLineas,
          .Agregado = Ag::Ninguno,
          .IndCampoCond = LinCantidad,
          .Operador = Op::MayorIgual},
         "Select *  from [Clientes],[Pedidos],[Lineas] where [Clientes].[Id] = "
         "[Pedidos].[IdCliente] and [Pedidos].[Id] = [Lineas].[IdPedido] and "
         "[Lineas].[Cantidad] >= 3 "},
        // A relation over two field pairs gives two equalities.
        {{.IndTabla = Tiendas,
          .IndTabla2 = Zonas,
          .IndRelacion = ZonasTiendas,
          .Agregado = Ag::Ninguno,
          .IndCampoCond = ZonNombre},
         "Select *  from [Tiendas],[Zonas] where [Zonas].[Pais] = [Tiendas].[Pais] and "
         "[Zonas].[Codigo] = [Tiendas].[CodigoZona] and [Zonas].[Nombre] = 'Norte' "},
        // A join always has a condition, so the subquery joins it with AND/OR; with OR both go
        // in parentheses, or the join equalities would bind only the first of them.
        {{.IndTabla = Clientes,
          .IndTabla2 = Pedidos,
          .IndRelacion = ClientesPedidos,
          .IndCampo = CliNombre,
          .Agregado = Ag::Ninguno,
          .IndCampoCond = PedImporte,
          .TipoSubquery = Sub::Valor,
          .Conector = Con::O,
          .IndCampoSub = PedImporte,
          .OperadorSub = Op::MenorIgual,
          .SqlSubquery = "S"},
         "Select [Clientes].[Nombre] from [Clientes],[Pedidos] where [Clientes].[Id] = "
         "[Pedidos].[IdCliente] and ([Pedidos].[Importe] = 100.5 OR [Pedidos].[Importe] <=  "
         "(S))"},
        {{.IndTabla = Clientes,
          .IndTabla2 = Pedidos,
          .IndRelacion = ClientesPedidos,
          .IndCampo = CliNombre,
          .Agregado = Ag::Ninguno,
          .IndCampoCond = PedImporte,
          .TipoSubquery = Sub::Valor,
          .Conector = Con::Y,
          .IndCampoSub = PedImporte,
          .OperadorSub = Op::MenorIgual,
          .SqlSubquery = "S"},
         "Select [Clientes].[Nombre] from [Clientes],[Pedidos] where [Clientes].[Id] = "
         "[Pedidos].[IdCliente] and [Pedidos].[Importe] = 100.5 AND [Pedidos].[Importe] <=  "
         "(S)"},
    };
    for (const Caso& c : casos) EXPECT_EQ(motor->SqlVariasTablas(c.plan).Sql, c.sql);
}

TEST_F(FormasSql, GroupedShapes) {
    auto& m = *motor;
    generador::SqlConValores r = m.SqlAgrupadaUnaTabla({.IndTabla = Pedidos,
                                                        .Agregado = Ag::Sum,
                                                        .IndCampoGrupo = PedIdCliente,
                                                        .IndCampoAgregado = PedImporte,
                                                        .MostrarAgregado = true,
                                                        .AgregadoHaving = Ag::Count,
                                                        .OperadorHaving = Op::Mayor});
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
        P plan;
        std::string sql, valorHaving = {};
    };
    const Agrupada casos[] = {
        // No having: the grouping clause ends the statement; a bare second column is written
        // as it is (validation refuses it later).
        {false,
         {.IndTabla = Clientes,
          .Agregado = Ag::Ninguno,
          .IndCampoCond = CliEdad,
          .Operador = Op::Menor,
          .IndCampoGrupo = CliCiudad,
          .IndCampoAgregado = CliEdad,
          .MostrarAgregado = true,
          .AgregadoHaving = Ag::Ninguno},
         "Select [Clientes].[Ciudad],[Clientes].[Edad] from [Clientes] where "
         "[Clientes].[Edad] < 30  group by [Clientes].[Ciudad]"},
        // Max over a text field compares with a quoted value of that field.
        {false,
         {.IndTabla = Clientes,
          .Agregado = Ag::Ninguno,
          .IndCampoGrupo = CliNombre,
          .IndCampoAgregado = CliCiudad,
          .AgregadoHaving = Ag::Max},
         "Select [Clientes].[Nombre] from [Clientes]  group by [Clientes].[Nombre] having "
         "Max([Clientes].[Ciudad]) = 'Lugo'",
         "Lugo"},
        {false,
         {.IndTabla = Pedidos,
          .Agregado = Ag::Min,
          .IndCampoGrupo = PedIdCliente,
          .IndCampoAgregado = PedFecha,
          .MostrarAgregado = true,
          .AgregadoHaving = Ag::Min,
          .OperadorHaving = Op::MenorIgual},
         "Select [Pedidos].[IdCliente],Min([Pedidos].[Fecha]) from [Pedidos]  group by "
         "[Pedidos].[IdCliente] having Min([Pedidos].[Fecha]) <= #03/15/1999#",
         "15/03/1999"},
        {false,
         {.IndTabla = Clientes,
          .Agregado = Ag::Max,
          .IndCampoCond = CliEdad,
          .IndCampoGrupo = CliCiudad,
          .IndCampoAgregado = CliEdad,
          .MostrarAgregado = true,
          .AgregadoHaving = Ag::Ninguno,
          .TipoSubquery = Sub::Lista,
          .Conector = Con::Y,
          .IndCampoSub = CliId,
          .OperadorSub = Per::En,
          .SqlSubquery = "S"},
         "Select [Clientes].[Ciudad],Max([Clientes].[Edad]) from [Clientes] where "
         "[Clientes].[Edad] = 30 AND [Clientes].[Id] in (S) group by [Clientes].[Ciudad]"},
        {true,
         {.IndTabla = Clientes,
          .IndTabla2 = Pedidos,
          .IndRelacion = ClientesPedidos,
          .Agregado = Ag::Ninguno,
          .IndCampoCond = PedImporte,
          .Operador = Op::MayorIgual,
          .IndCampoGrupo = CliCiudad,
          .IndCampoAgregado = PedImporte,
          .AgregadoHaving = Ag::Ninguno},
         "Select [Clientes].[Ciudad] from [Clientes],[Pedidos] where [Clientes].[Id] = "
         "[Pedidos].[IdCliente] and [Pedidos].[Importe] >= 100.5  group by "
         "[Clientes].[Ciudad]"},
        // Without a condition the last "and " goes: three blanks before group by.
        {true,
         {.IndTabla = Clientes,
          .IndTabla2 = Pedidos,
          .IndRelacion = ClientesPedidos,
          .Agregado = Ag::Avg,
          .IndCampoGrupo = CliCiudad,
          .IndCampoAgregado = PedImporte,
          .MostrarAgregado = true,
          .AgregadoHaving = Ag::Avg,
          .OperadorHaving = Op::Mayor},
         "Select [Clientes].[Ciudad],Avg([Pedidos].[Importe]) from [Clientes],[Pedidos] "
         "where [Clientes].[Id] = [Pedidos].[IdCliente]   group by [Clientes].[Ciudad] "
         "having Avg([Pedidos].[Importe]) > 100.5",
         "100,5"},
        // Without a condition a subquery opens a second where (refused later).
        {true,
         {.IndTabla = Clientes,
          .IndTabla2 = Pedidos,
          .IndRelacion = ClientesPedidos,
          .Agregado = Ag::Ninguno,
          .IndCampoGrupo = CliCiudad,
          .IndCampoAgregado = PedImporte,
          .AgregadoHaving = Ag::Ninguno,
          .TipoSubquery = Sub::NoExiste,
          .Conector = Con::Y,
          .IndCampoSub = PedIdCliente,
          .OperadorSub = 1,
          .SqlSubquery = "S"},
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
    const std::string media =
        m.SqlUnaTabla({.IndTabla = Clientes, .IndCampo = CliEdad, .Agregado = Ag::Avg}).Sql;
    EXPECT_EQ(m.SqlUnaTabla({.IndTabla = Clientes,
                             .Agregado = Ag::Ninguno,
                             .TipoSubquery = Sub::Valor,
                             .Conector = Con::Y,
                             .IndCampoSub = CliEdad,
                             .OperadorSub = Op::Mayor,
                             .SqlSubquery = media})
                  .Sql,
              "Select [Clientes].*  from [Clientes]  where [Clientes].[Edad] >  (Select "
              "Avg([Clientes].[Edad]) from [Clientes] )");

    // Kind 2 after an outer condition.
    const std::string importes = m.SqlUnaTabla({.IndTabla = Pedidos,
                                                .IndCampo = PedIdCliente,
                                                .Agregado = Ag::Ninguno,
                                                .IndCampoCond = PedImporte,
                                                .Operador = Op::Mayor})
                                     .Sql;
    P lista{.IndTabla = Clientes,
            .Agregado = Ag::Ninguno,
            .IndCampoCond = CliCiudad,
            .TipoSubquery = Sub::Lista,
            .Conector = Con::Y,
            .IndCampoSub = CliId,
            .OperadorSub = Per::NoEn,
            .SqlSubquery = importes};
    EXPECT_EQ(m.SqlUnaTabla(lista).Sql,
              "Select [Clientes].*  from [Clientes] where [Clientes].[Ciudad] = 'Lugo' AND "
              "[Clientes].[Id] not in (Select [Pedidos].[IdCliente] from [Pedidos] where "
              "[Pedidos].[Importe] > 100.5 )");
    lista.Conector = Con::O;
    lista.OperadorSub = Per::En;
    lista.SqlSubquery = "S";
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
    EXPECT_EQ(m.SqlUnaTabla({.IndTabla = Clientes,
                             .Agregado = Ag::Ninguno,
                             .TipoSubquery = Sub::NoExiste,
                             .Conector = Con::Y,
                             .IndCampoSub = CliId,
                             .OperadorSub = 1,
                             .SqlSubquery = pedidos})
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
    const std::string sub = "Select Max([Pedidos].[Importe]) from [Pedidos]";
    struct Caso {
        generador::SqlConValores generada;
        std::string aMano;  // with %1 for the sampled value
    };
    const P join{.IndTabla = Clientes,
                 .IndTabla2 = Pedidos,
                 .IndRelacion = ClientesPedidos,
                 .Agregado = Ag::Ninguno,
                 .IndCampoCond = PedImporte,
                 .Operador = Op::Mayor,
                 .TipoSubquery = Sub::Valor,
                 .Conector = Con::O,
                 .IndCampoSub = PedImporte,
                 .OperadorSub = Op::Igual,
                 .SqlSubquery = sub};
    P tres = join;
    tres.IndTabla3 = Lineas;
    tres.IndRelacion2 = PedidosLineas;
    tres.IndCampoCond = tres.IndCampoSub = LinCantidad;
    tres.Operador = Op::Igual;
    tres.SqlSubquery = "Select Max([Lineas].[Cantidad]) from [Lineas]";
    P agrupada = join;
    agrupada.IndCampoGrupo = CliCiudad;
    agrupada.IndCampoAgregado = PedImporte;
    agrupada.MostrarAgregado = true;
    agrupada.Agregado = Ag::Count;
    agrupada.AgregadoHaving = Ag::Ninguno;
    std::vector<Caso> casos = {
        {m.SqlVariasTablas(join),
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
    for (Caso& c : casos) {
        c.aMano.replace(c.aMano.find("%1"), 2, generador::LiteralNumero(c.generada.Valor1));
        const std::string& sql = c.generada.Sql;
        EXPECT_NE(sql.find(" and (["), std::string::npos) << sql;
        EXPECT_NE(sql.find("))"), std::string::npos) << sql;
        engine::EngineError err;
        auto generada = usuario->OpenRecordset(sql, err);
        ASSERT_TRUE(generada) << sql << "\n" << err.description;
        auto aMano = usuario->OpenRecordset(c.aMano, err);
        ASSERT_TRUE(aMano) << c.aMano << "\n" << err.description;
        generada->MoveLast();
        aMano->MoveLast();
        EXPECT_TRUE(MismosResultados(*generada, *aMano)) << sql;
    }
}

}  // namespace
}  // namespace veliora::test

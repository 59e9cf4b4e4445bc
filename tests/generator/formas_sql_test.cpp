// The SQL shapes of every builder, to the letter (blanks included), before lower-casing.
// gen_formas has one row per table, so every sampled value is known.
#include "core/practice/comprobar.h"
#include "generator/entorno.h"

namespace veliora::test {
namespace {

using namespace formas;

class FormasSql : public ::testing::Test, public EntornoGenerador {
  protected:
    void SetUp() override { ConstruirFixture("gen_formas", "gen_formas_aux"); }
    std::string v1, v2, vh;
};

TEST_F(FormasSql, SingleTableShapes) {
    auto& m = *motor;
    EXPECT_EQ(m.SqlUnaTabla(Clientes, 0, false, 1, 0, 0, v1, v2, 0, 0, 0, 0, ""),
              "Select [Clientes].*  from [Clientes] ");
    EXPECT_EQ(m.SqlUnaTabla(Clientes, 0, false, 0, 0, 0, v1, v2, 0, 0, 0, 0, ""),
              "Select Count([Clientes].* ) from [Clientes] ");
    EXPECT_EQ(m.SqlUnaTabla(Clientes, CliCiudad, true, 1, 0, 0, v1, v2, 0, 0, 0, 0, ""),
              "Select Distinct [Clientes].[Ciudad] from [Clientes] ");
    EXPECT_EQ(m.SqlUnaTabla(Clientes, 0, true, 1, 0, 0, v1, v2, 0, 0, 0, 0, ""),
              "Select Distinct [Clientes].*  from [Clientes] ");
    EXPECT_EQ(m.SqlUnaTabla(Clientes, CliEdad, false, 2, CliEdad, 1, v1, v2, 0, 0, 0, 0, ""),
              "Select Max([Clientes].[Edad]) from [Clientes] where [Clientes].[Edad] > 30 ");
    EXPECT_EQ(v1, "30");
    EXPECT_EQ(v2, "");
}

TEST_F(FormasSql, ConditionLiteralsFollowTheFieldType) {
    auto& m = *motor;
    EXPECT_EQ(m.SqlUnaTabla(Clientes, CliNombre, false, 1, CliCiudad, 0, v1, v2, 0, 0, 0, 0, ""),
              "Select [Clientes].[Nombre] from [Clientes] where [Clientes].[Ciudad] = 'Lugo' ");
    EXPECT_EQ(v1, "Lugo");
    EXPECT_EQ(m.SqlUnaTabla(Pedidos, PedId, false, 1, PedFecha, 3, v1, v2, 0, 0, 0, 0, ""),
              "Select [Pedidos].[Id] from [Pedidos] where [Pedidos].[Fecha] >= #03/15/1999# ");
    EXPECT_EQ(v1, "15/03/1999");
    // The value keeps its decimal comma; the SQL gets a point.
    EXPECT_EQ(m.SqlUnaTabla(Pedidos, PedId, false, 1, PedImporte, 5, v1, v2, 0, 0, 0, 0, ""),
              "Select [Pedidos].[Id] from [Pedidos] where [Pedidos].[Importe] <> 100.5 ");
    EXPECT_EQ(v1, "100,5");
    // A yes/no field is written as its text, unchanged.
    EXPECT_EQ(m.SqlUnaTabla(Clientes, CliId, false, 1, CliVip, 0, v1, v2, 0, 0, 0, 0, ""),
              "Select [Clientes].[Id] from [Clientes] where [Clientes].[Vip] = 1 ");
}

TEST_F(FormasSql, BetweenAndInTakeTwoDrawnValues) {
    auto& m = *motor;
    EXPECT_EQ(m.SqlUnaTabla(Clientes, 0, false, 1, CliEdad, 6, v1, v2, 0, 0, 0, 0, ""),
              "Select [Clientes].*  from [Clientes] where [Clientes].[Edad] between 30 and 30 ");
    EXPECT_EQ(v1, "30");
    EXPECT_EQ(v2, "30");
    EXPECT_EQ(m.SqlUnaTabla(Pedidos, 0, false, 1, PedImporte, 7, v1, v2, 0, 0, 0, 0, ""),
              "Select [Pedidos].*  from [Pedidos] where [Pedidos].[Importe] in (100.5 , 100.5) ");
    EXPECT_EQ(v2, "100,5");
}

TEST_F(FormasSql, JoinShapes) {
    auto& m = *motor;
    EXPECT_EQ(m.SqlVariasTablas(ClientesPedidos, Clientes, Pedidos, CliNombre, 1, PedImporte, 1, v1,
                                v2, 0, 0, 0, 0, 0, 0, ""),
              "Select [Clientes].[Nombre] from [Clientes],[Pedidos] where [Clientes].[Id] = "
              "[Pedidos].[IdCliente] and [Pedidos].[Importe] > 100.5 ");
    // Selected from the foreign side: the primary side is still written first.
    EXPECT_EQ(m.SqlVariasTablas(ClientesPedidos, Pedidos, Clientes, 0, 0, CliCiudad, 0, v1, v2, 0,
                                0, 0, 0, 0, 0, ""),
              "Select Count(* ) from [Pedidos],[Clientes] where [Clientes].[Id] = "
              "[Pedidos].[IdCliente] and [Clientes].[Ciudad] = 'Lugo' ");
    EXPECT_EQ(m.SqlVariasTablas(ClientesPedidos, Clientes, Pedidos, 0, 1, LinCantidad, 3, v1, v2,
                                PedidosLineas, Lineas, 0, 0, 0, 0, ""),
              "Select *  from [Clientes],[Pedidos],[Lineas] where [Clientes].[Id] = "
              "[Pedidos].[IdCliente] and [Pedidos].[Id] = [Lineas].[IdPedido] and "
              "[Lineas].[Cantidad] >= 3 ");
}

TEST_F(FormasSql, RelationOverTwoFieldPairsGivesTwoEqualities) {
    EXPECT_EQ(motor->SqlVariasTablas(ZonasTiendas, Tiendas, Zonas, 0, 1, ZonNombre, 0, v1, v2, 0, 0,
                                     0, 0, 0, 0, ""),
              "Select *  from [Tiendas],[Zonas] where [Zonas].[Pais] = [Tiendas].[Pais] and "
              "[Zonas].[Codigo] = [Tiendas].[CodigoZona] and [Zonas].[Nombre] = 'Norte' ");
}

TEST_F(FormasSql, GroupedSingleTableShapes) {
    auto& m = *motor;
    const std::string s = m.SqlAgrupadaUnaTabla(Pedidos, PedIdCliente, PedImporte, true, 4, 0, 0, 0,
                                                1, v1, v2, vh, 0, 0, 0, 0, "");
    const std::string prefijo =
        "Select [Pedidos].[IdCliente],Sum([Pedidos].[Importe]) from [Pedidos]  group by "
        "[Pedidos].[IdCliente] having Count([Pedidos].[Importe]) > ";
    ASSERT_EQ(s.substr(0, prefijo.size()), prefijo);
    // A having on Count compares with a whole number from 1 to 10, written as digits.
    EXPECT_EQ(s.substr(prefijo.size()), vh);
    int n = std::stoi(vh);
    EXPECT_GE(n, 1);
    EXPECT_LE(n, 10);

    // No having: the grouping clause ends the statement; a bare second column is written
    // as it is (validation refuses it later).
    EXPECT_EQ(m.SqlAgrupadaUnaTabla(Clientes, CliCiudad, CliEdad, true, 1, CliEdad, 2, 1, 0, v1, v2,
                                    vh, 0, 0, 0, 0, ""),
              "Select [Clientes].[Ciudad],[Clientes].[Edad] from [Clientes] where "
              "[Clientes].[Edad] < 30  group by [Clientes].[Ciudad]");
    // Max over a text field compares with a quoted value of that field.
    EXPECT_EQ(m.SqlAgrupadaUnaTabla(Clientes, CliNombre, CliCiudad, false, 1, 0, 0, 2, 0, v1, v2,
                                    vh, 0, 0, 0, 0, ""),
              "Select [Clientes].[Nombre] from [Clientes]  group by [Clientes].[Nombre] having "
              "Max([Clientes].[Ciudad]) = 'Lugo'");
    EXPECT_EQ(vh, "Lugo");
    EXPECT_EQ(m.SqlAgrupadaUnaTabla(Pedidos, PedIdCliente, PedFecha, true, 3, 0, 0, 3, 4, v1, v2,
                                    vh, 0, 0, 0, 0, ""),
              "Select [Pedidos].[IdCliente],Min([Pedidos].[Fecha]) from [Pedidos]  group by "
              "[Pedidos].[IdCliente] having Min([Pedidos].[Fecha]) <= #03/15/1999#");
}

TEST_F(FormasSql, GroupedTwoTableShapes) {
    auto& m = *motor;
    EXPECT_EQ(m.SqlAgrupadaVariasTablas(ClientesPedidos, Clientes, Pedidos, CliCiudad, PedImporte,
                                        false, 1, PedImporte, 3, 1, 0, v1, v2, vh, 0, 0, 0, 0, ""),
              "Select [Clientes].[Ciudad] from [Clientes],[Pedidos] where [Clientes].[Id] = "
              "[Pedidos].[IdCliente] and [Pedidos].[Importe] >= 100.5  group by "
              "[Clientes].[Ciudad]");
    // Without a condition the last "and " goes: three blanks before group by.
    EXPECT_EQ(m.SqlAgrupadaVariasTablas(ClientesPedidos, Clientes, Pedidos, CliCiudad, PedImporte,
                                        true, 5, 0, 0, 5, 1, v1, v2, vh, 0, 0, 0, 0, ""),
              "Select [Clientes].[Ciudad],Avg([Pedidos].[Importe]) from [Clientes],[Pedidos] "
              "where [Clientes].[Id] = [Pedidos].[IdCliente]   group by [Clientes].[Ciudad] "
              "having Avg([Pedidos].[Importe]) > 100.5");
    EXPECT_EQ(vh, "100,5");
}

TEST_F(FormasSql, SubqueryShapes) {
    auto& m = *motor;
    // Kind 1 over o itself, no outer condition: the subquery opens the where.
    const std::string media =
        m.SqlUnaTabla(Clientes, CliEdad, false, 5, 0, 0, v1, v2, 0, 0, 0, 0, "");
    EXPECT_EQ(m.SqlUnaTabla(Clientes, 0, false, 1, 0, 0, v1, v2, 1, 1, CliEdad, 1, media),
              "Select [Clientes].*  from [Clientes]  where [Clientes].[Edad] >  (Select "
              "Avg([Clientes].[Edad]) from [Clientes] )");

    // Kind 2 after an outer condition.
    const std::string importes =
        m.SqlUnaTabla(Pedidos, PedIdCliente, false, 1, PedImporte, 1, v1, v2, 0, 0, 0, 0, "");
    EXPECT_EQ(m.SqlUnaTabla(Clientes, 0, false, 1, CliCiudad, 0, v1, v2, 2, 1, CliId, 2, importes),
              "Select [Clientes].*  from [Clientes] where [Clientes].[Ciudad] = 'Lugo' AND "
              "[Clientes].[Id] not in (Select [Pedidos].[IdCliente] from [Pedidos] where "
              "[Pedidos].[Importe] > 100.5 )");
    EXPECT_EQ(m.SqlUnaTabla(Clientes, 0, false, 1, CliCiudad, 0, v1, v2, 2, 2, CliId, 1, "S"),
              "Select [Clientes].*  from [Clientes] where [Clientes].[Ciudad] = 'Lugo' OR "
              "[Clientes].[Id] in (S)");

    // Kind 3: a correlated subquery that does not list the outer table.
    const std::string pedidos =
        m.SqlSubqueryCorrelacionada(ClientesPedidos, Pedidos, Clientes, 0, 1, 0, 0, v1, v2);
    EXPECT_EQ(pedidos,
              "Select [Pedidos].*  from [Pedidos] where [Clientes].[Id] = "
              "[Pedidos].[IdCliente] ");
    EXPECT_EQ(m.SqlUnaTabla(Clientes, 0, false, 1, 0, 0, v1, v2, 3, 1, CliId, 1, pedidos),
              "Select [Clientes].*  from [Clientes]  where  not exists (Select [Pedidos].*  from "
              "[Pedidos] where [Clientes].[Id] = [Pedidos].[IdCliente] )");
    // With an inner condition nothing follows the condition.
    EXPECT_EQ(
        m.SqlSubqueryCorrelacionada(ClientesPedidos, Pedidos, Clientes, 0, 1, PedImporte, 1, v1,
                                    v2),
        "Select [Pedidos].*  from [Pedidos] where [Clientes].[Id] = [Pedidos].[IdCliente] and "
        "[Pedidos].[Importe] > 100.5");
}

TEST_F(FormasSql, SubqueryClauseAfterJoinsAndGroups) {
    auto& m = *motor;
    // A join always has a condition, so the subquery joins it with AND/OR; with OR both go
    // in parentheses, or the join equalities would bind only the first of them.
    EXPECT_EQ(m.SqlVariasTablas(ClientesPedidos, Clientes, Pedidos, CliNombre, 1, PedImporte, 0, v1,
                                v2, 0, 0, 1, 2, PedImporte, 4, "S"),
              "Select [Clientes].[Nombre] from [Clientes],[Pedidos] where [Clientes].[Id] = "
              "[Pedidos].[IdCliente] and ([Pedidos].[Importe] = 100.5 OR [Pedidos].[Importe] <=  "
              "(S))");
    EXPECT_EQ(m.SqlVariasTablas(ClientesPedidos, Clientes, Pedidos, CliNombre, 1, PedImporte, 0, v1,
                                v2, 0, 0, 1, 1, PedImporte, 4, "S"),
              "Select [Clientes].[Nombre] from [Clientes],[Pedidos] where [Clientes].[Id] = "
              "[Pedidos].[IdCliente] and [Pedidos].[Importe] = 100.5 AND [Pedidos].[Importe] <=  "
              "(S)");
    // A grouped two-table query without a condition gets a second where (refused later).
    EXPECT_EQ(
        m.SqlAgrupadaVariasTablas(ClientesPedidos, Clientes, Pedidos, CliCiudad, PedImporte, false,
                                  1, 0, 0, 1, 0, v1, v2, vh, 3, 1, PedIdCliente, 1, "S"),
        "Select [Clientes].[Ciudad] from [Clientes],[Pedidos] where [Clientes].[Id] = "
        "[Pedidos].[IdCliente]   where  not exists (S) group by [Clientes].[Ciudad]");
    EXPECT_EQ(m.SqlAgrupadaUnaTabla(Clientes, CliCiudad, CliEdad, true, 2, CliEdad, 0, 1, 0, v1, v2,
                                    vh, 2, 1, CliId, 1, "S"),
              "Select [Clientes].[Ciudad],Max([Clientes].[Edad]) from [Clientes] where "
              "[Clientes].[Edad] = 30 AND [Clientes].[Id] in (S) group by [Clientes].[Ciudad]");
}

TEST_F(FormasSql, NamesAndCodes) {
    using namespace generador;
    EXPECT_EQ(NombreAgregado(0), "Count");
    EXPECT_EQ(NombreAgregado(1), "");
    EXPECT_EQ(NombreAgregado(5), "Avg");
    EXPECT_EQ(NombreAgregado(6), "");
    EXPECT_EQ(NombreOperador(0), " = ");
    EXPECT_EQ(NombreOperador(5), " <> ");
    EXPECT_EQ(NombreOperador(6), " between ");
    EXPECT_EQ(NombreOperador(7), " in ");
    EXPECT_EQ(NombreOperador(8), "");
    EXPECT_EQ(NombreOperador(-1), "");
    EXPECT_EQ(Corchetes("Lineas Pedido"), "[Lineas Pedido]");
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
    std::string v1, v2, vh;
};

TEST_F(FormasConFilas, OrAfterJoinsIsEnclosed) {
    auto& m = *motor;
    const std::string sub = "Select Max([Pedidos].[Importe]) from [Pedidos]";
    struct Caso {
        std::string generada;
        std::string aMano;  // with %1 for the sampled value
    };
    std::vector<Caso> casos;
    casos.push_back({m.SqlVariasTablas(ClientesPedidos, Clientes, Pedidos, 0, 1, PedImporte, 1, v1,
                                       v2, 0, 0, 1, 2, PedImporte, 0, sub),
                     "Select * from Clientes, Pedidos where Clientes.Id = Pedidos.IdCliente and "
                     "(Pedidos.Importe > %1 OR Pedidos.Importe = (Select Max(Importe) from "
                     "Pedidos))"});
    casos.back().aMano.replace(casos.back().aMano.find("%1"), 2, generador::LiteralNumero(v1));
    casos.push_back({m.SqlVariasTablas(ClientesPedidos, Clientes, Pedidos, 0, 1, LinCantidad, 0, v1,
                                       v2, PedidosLineas, Lineas, 1, 2, LinCantidad, 0,
                                       "Select Max([Lineas].[Cantidad]) from [Lineas]"),
                     "Select * from Clientes, Pedidos, Lineas where Clientes.Id = "
                     "Pedidos.IdCliente and Pedidos.Id = Lineas.IdPedido and (Lineas.Cantidad = "
                     "%1 OR Lineas.Cantidad = (Select Max(Cantidad) from Lineas))"});
    casos.back().aMano.replace(casos.back().aMano.find("%1"), 2, generador::LiteralNumero(v1));
    casos.push_back(
        {m.SqlAgrupadaVariasTablas(ClientesPedidos, Clientes, Pedidos, CliCiudad, PedImporte, true,
                                   0, PedImporte, 1, 1, 0, v1, v2, vh, 1, 2, PedImporte, 0, sub),
         "Select Clientes.Ciudad, Count(Pedidos.Importe) from Clientes, Pedidos "
         "where Clientes.Id = Pedidos.IdCliente and (Pedidos.Importe > %1 OR "
         "Pedidos.Importe = (Select Max(Importe) from Pedidos)) group by "
         "Clientes.Ciudad"});
    casos.back().aMano.replace(casos.back().aMano.find("%1"), 2, generador::LiteralNumero(v1));
    for (const Caso& c : casos) {
        EXPECT_NE(c.generada.find(" and (["), std::string::npos) << c.generada;
        EXPECT_NE(c.generada.find("))"), std::string::npos) << c.generada;
        engine::EngineError err;
        auto generada = usuario->OpenRecordset(c.generada, err);
        ASSERT_TRUE(generada) << c.generada << "\n" << err.description;
        auto aMano = usuario->OpenRecordset(c.aMano, err);
        ASSERT_TRUE(aMano) << c.aMano << "\n" << err.description;
        generada->MoveLast();
        aMano->MoveLast();
        EXPECT_TRUE(MismosResultados(*generada, *aMano)) << c.generada;
    }
}

}  // namespace
}  // namespace veliora::test

// What the SQL builders give beyond their exact shapes (those are the cases of
// formas_sql.txt): a drawn having value, names of codes out of range, and the OR of a
// subquery after joins run against data.
#include "core/practice/comprobar.h"
#include "core/shell/errores.h"
#include "generator/entorno.h"

namespace veliora::test {
namespace {

using namespace formas;
namespace Ag = generador::Agregados;
namespace Op = generador::Operadores;
namespace Sub = generador::Subconsultas;
namespace Con = generador::Conectores;

class FormasSql : public ::testing::Test, public EntornoGenerador {
  protected:
    void SetUp() override { ConstruirFixture("gen_formas", "gen_formas_aux"); }
};

// A having on Count compares with a whole number from 1 to 10, written as digits (the
// exact shapes are in formas_sql.txt).
TEST_F(FormasSql, CountHavingTakesASmallWholeNumber) {
    const generador::SqlConValores r = motor->SqlAgrupadaUnaTabla(
        Plan(Pedidos, 0, Ag::Sum).Agrupa(PedIdCliente, PedImporte, true, Ag::Count, Op::Mayor));
    const std::string prefijo =
        "Select [Pedidos].[IdCliente],Sum([Pedidos].[Importe]) from [Pedidos]  group by "
        "[Pedidos].[IdCliente] having Count([Pedidos].[Importe]) > ";
    ASSERT_EQ(r.Sql.substr(0, prefijo.size()), prefijo);
    EXPECT_EQ(r.Sql.substr(prefijo.size()), r.ValorHaving);
    int n = std::stoi(r.ValorHaving);
    EXPECT_GE(n, 1);
    EXPECT_LE(n, 10);
}

// The shapes show every name in use; codes out of range name nothing.
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

// The questions in Spanish: every wording a builder can give for a plan, blank for blank,
// the word lists, and the defaults of missing dictionary rows.
#include <map>

#include "core/shell/errores.h"
#include "generator/entorno.h"

namespace veliora::test {
namespace {

using namespace formas;
using Textos = std::set<std::string>;
using S = generador::PlanSubconsulta;
namespace Ag = generador::Agregados;
namespace Op = generador::Operadores;

// Every combination of the alternatives, in order: {a,b} x {c} -> {"ac","bc"}.
Textos Combinar(std::initializer_list<std::vector<std::string>> partes) {
    Textos actual = {""};
    for (const auto& alternativas : partes) {
        Textos siguiente;
        for (const auto& prefijo : actual)
            for (const auto& a : alternativas) siguiente.insert(prefijo + a);
        actual = std::move(siguiente);
    }
    return actual;
}

const std::vector<std::string> kVerbos = {"Seleccionar ", "Obtener ", "Mostrar "};

// The three ways of introducing a condition on a field named `campo`.
std::vector<std::string> Condiciones(const std::string& campo, bool masculino,
                                     const std::string& resto, bool entre = false) {
    const std::string verbo = entre ? " esté " : " sea ";
    return {"con " + campo + " " + resto,
            std::string(masculino ? "cuyo " : "cuya ") + campo + " " + verbo + " " + resto,
            "que tienen " + campo + " " + resto};
}

class Enunciados : public ::testing::Test, public EntornoGenerador {
  protected:
    void SetUp() override { ConstruirFixture("gen_formas", "gen_formas_aux"); }
};

TEST_F(Enunciados, WorkedExampleOfOneTable) {
    auto& m = *motor;
    Textos textos = Variantes([&] {
        return m.TextoUnaTabla(
            true, Plan(Clientes, CliNombre, Ag::Ninguno).Donde(CliCiudad, Op::Igual, "Valencia"));
    });
    EXPECT_EQ(textos, Combinar({kVerbos,
                                {"los nombres de los clientes "},
                                Condiciones("ciudad", false, "igual a 'Valencia'"),
                                {" "}}));

    Textos cuantos = Variantes([&] {
        return m.TextoUnaTabla(
            true, Plan(Clientes, 0, Ag::Count).Donde(CliCiudad, Op::Igual, "Valencia"));
    });
    EXPECT_EQ(cuantos, Combinar({kVerbos,
                                 {"cuántos clientes "},
                                 {"hay ", "existen "},
                                 Condiciones("ciudad", false, "igual a 'Valencia'"),
                                 {" "}}));

    // Without a condition the statement ends in two blanks.
    EXPECT_EQ(
        Variantes([&] { return m.TextoUnaTabla(true, Plan(Clientes, CliNombre, Ag::Ninguno)); }),
        Combinar({kVerbos, {"los nombres de los clientes  "}}));
}

TEST_F(Enunciados, SelectionBlockByAggregateAndGender) {
    const std::pair<Plan, Textos> casos[] = {
        {Plan(Pedidos, PedImporte, Ag::Max), {"el máximo importe de los pedidos  "}},
        {Plan(Clientes, CliEdad, Ag::Min), {"la mínima edad de los clientes  "}},
        {Plan(Pedidos, PedImporte, Ag::Sum),
         {"cuánto suman los importes de los pedidos  ",
          "la suma de los importes de los pedidos  "}},
        {Plan(Clientes, CliEdad, Ag::Avg), {"la media de las edades de los clientes  "}},
        {Plan(Clientes, 0, Ag::Ninguno),
         {"toda la información de los clientes  ", "todos los datos de los clientes  "}},
        {Plan(Clientes, CliNombre, Ag::Ninguno, true),
         {"los distintos nombres de los clientes  ", "los diferentes nombres de los clientes  "}},
        {Plan(Clientes, CliCiudad, Ag::Ninguno, true),
         {"las distintas ciudades de los clientes  ", "las diferentes ciudades de los clientes  "}},
        // A count names no field, no "de" and no article before the table.
        {Plan(Lineas, 0, Ag::Count), {"cuántas líneas hay  ", "cuántas líneas existen  "}},
    };
    for (const auto& [plan, esperados] : casos)
        EXPECT_EQ(Variantes([&, &p = plan] { return motor->TextoUnaTabla(false, p); }), esperados)
            << *esperados.begin();
}

TEST_F(Enunciados, ConditionBlockComparisons) {
    auto cond = [&](int t, int f, int op, const std::string& a, const std::string& b) {
        return Variantes([&, t, f, op, a, b] {
            return motor->TextoUnaTabla(false, Plan(t, 0, Ag::Count).Donde(f, op, a, b));
        });
    };
    const std::string pedidos = "cuántos pedidos hay ";
    Textos distinto = cond(Pedidos, PedImporte, Op::Distinto, "7", "");
    EXPECT_TRUE(distinto.count(pedidos + "cuyo importe  sea  distinto a 7 "));
    Textos distinta = cond(Clientes, CliEdad, Op::Distinto, "30", "");
    EXPECT_TRUE(distinta.count("cuántos clientes hay cuya edad  sea  distinta a 30 "));
    for (const auto& t : distinta) EXPECT_EQ(t.find("distinto a"), std::string::npos) << t;

    Textos entre = cond(Pedidos, PedImporte, Op::Entre, "1", "2");
    EXPECT_TRUE(entre.count(pedidos + "cuyo importe  esté  entre 1 y 2 "));
    EXPECT_TRUE(entre.count(pedidos + "con importe entre 1 y 2 "));
    Textos lista = cond(Pedidos, PedImporte, Op::En, "1", "2");
    EXPECT_TRUE(lista.count(pedidos + "que tienen importe igual a 1 o 2 "));
    // Dates and numbers stand bare; texts are quoted and keep inner quotes undoubled.
    EXPECT_TRUE(cond(Pedidos, PedFecha, Op::MayorIgual, "15/03/1999", "")
                    .count(pedidos + "con fecha mayor o igual a 15/03/1999 "));
    EXPECT_TRUE(cond(Clientes, CliNombre, Op::Igual, "d'Alacant", "")
                    .count("cuántos clientes hay con nombre igual a 'd'Alacant' "));
    // Two existence phrases times three connectors, and no other wording.
    EXPECT_EQ(cond(Pedidos, PedImporte, Op::Mayor, "5", "").size(), 6u);
}

TEST_F(Enunciados, JoinStatements) {
    const std::pair<Plan, Textos> casos[] = {
        {Plan(Clientes, CliNombre, Ag::Ninguno)
             .Une(Pedidos, ClientesPedidos)
             .Donde(PedImporte, Op::Mayor, "100,5"),
         Combinar({{"los nombres de los clientes que han hecho pedidos "},
                   Condiciones("importe", true, "mayor que 100,5"),
                   {" "}})},
        // Read against its direction, and with a phrase that already names the next table.
        {Plan(Pedidos, PedImporte, Ag::Max)
             .Une(Clientes, ClientesPedidos)
             .Donde(CliCiudad, Op::Igual, "Lugo"),
         Combinar({{"el máximo importe de los pedidos hechos por clientes "},
                   Condiciones("ciudad", false, "igual a 'Lugo'"),
                   {" "}})},
        {Plan(Pedidos, 0, Ag::Count).Une(Lineas, PedidosLineas).Donde(LinCantidad, Op::Igual, "3"),
         Combinar({{"cuántos pedidos "},
                   {"hay ", "existen "},
                   {"con líneas "},
                   Condiciones("cantidad", false, "igual a 3"),
                   {" "}})},
        // The first step reads "del pedido" and sets the no-concatenate flag; the second
        // relation has no dictionary row, so it reads "de" with the flag off and "tiendas" is
        // appended.
        {Plan(Lineas, LinCantidad, Ag::Sum)
             .Une(Pedidos, PedidosLineas, Tiendas, TiendasPedidos)
             .Donde(2, Op::Igual, "ES"),
         Combinar({{"cuánto suman ", "la suma de "},
                   {"las cantidades de las líneas del pedido de tiendas "},
                   Condiciones("Pai", true, "igual a 'ES'"),
                   {" "}})},
    };
    // Whole questions: a verb first.
    for (const auto& [plan, esperados] : casos)
        EXPECT_EQ(Variantes([&, &p = plan] { return motor->TextoVariasTablas(true, p); }),
                  Combinar({kVerbos, {esperados.begin(), esperados.end()}}))
            << *esperados.begin();
}

TEST_F(Enunciados, GroupedStatements) {
    auto& m = *motor;
    EXPECT_EQ(Variantes([&] {
                  return m.TextoAgrupadaUnaTabla(
                      true, Plan(Pedidos, 0, Ag::Sum).Agrupa(PedIdCliente, PedImporte, true));
              }),
              Combinar({kVerbos,
                        {"los clientes y "},
                        {"cuánto suman ", "la suma de "},
                        {"los importes de los pedidos de los pedidos   agrupado por los clientes "
                         "de los pedidos "}}));
    const std::vector<std::string> paraCada = {
        "que cumple que para cada ", "con la condición de que para cada ",
        "teniendo en cuenta que para cada ", "de tal forma que para cada "};
    struct Caso {
        int t, g, a, h, oh;
        std::string vh, final;
    };
    const Caso casos[] = {
        {Pedidos, PedIdCliente, PedImporte, Ag::Count, Op::Mayor, "4",
         "cliente el número de los pedidos sea mayor que 4"},
        {Clientes, CliNombre, CliCiudad, Ag::Max, Op::Igual, "Lugo",
         "nombre la máxima ciudad sea igual a 'Lugo'"},
        // The having comparison has no feminine switch.
        {Clientes, CliNombre, CliEdad, Ag::Avg, Op::Distinto, "30",
         "nombre la media de las edades sea distinto a 30"},
        {Pedidos, PedIdCliente, PedImporte, Ag::Sum, Op::Menor, "7",
         "cliente la suma de los importes sea menor que 7"},
    };
    const std::map<int, std::string> inicios = {{Pedidos, "los clientes de los pedidos  "},
                                                {Clientes, "los nombres de los clientes  "}};
    for (const Caso& c : casos)
        EXPECT_EQ(Variantes([&] {
                      return m.TextoAgrupadaUnaTabla(
                          false,
                          Plan(c.t, 0, Ag::Ninguno).Agrupa(c.g, c.a, false, c.h, c.oh, c.vh));
                  }),
                  Combinar({{inicios.at(c.t)}, paraCada, {c.final}}))
            << c.final;
}

TEST_F(Enunciados, GroupedTwoTableStatements) {
    auto& m = *motor;
    EXPECT_EQ(Variantes([&] {
                  return m.TextoAgrupadaVariasTablas(true,
                                                     Plan(Clientes, 0, Ag::Ninguno)
                                                         .Une(Pedidos, ClientesPedidos)
                                                         .Donde(PedFecha, Op::Mayor, "15/03/1999")
                                                         .Agrupa(CliCiudad, PedImporte, false));
              }),
              Combinar({kVerbos,
                        {"las ciudades de los clientes que han hecho pedidos "},
                        Condiciones("fecha", false, "mayor que 15/03/1999"),
                        {"  agrupado por las ciudades de los clientes "}}));
    // The aggregated table's article agrees with that table.
    EXPECT_EQ(Variantes([&] {
                  return m.TextoAgrupadaVariasTablas(true, Plan(Pedidos, 0, Ag::Max)
                                                               .Une(Lineas, PedidosLineas)
                                                               .Agrupa(PedId, LinCantidad, true));
              }),
              Combinar({kVerbos,
                        {"los números y la máxima cantidad de las líneas de los pedidos con "
                         "líneas   agrupado por los números de los pedidos "}}));
}

TEST_F(Enunciados, CorrelatedSubqueryText) {
    auto& m = *motor;
    auto texto = [&](const S& s) {
        return Variantes([&] { return m.TextoSubqueryCorrelacionada(s); });
    };
    EXPECT_EQ(texto({.IndRelacion = ClientesPedidos,
                     .IndTabla = Pedidos,
                     .IndTabla2 = Clientes,
                     .IndCampoCond = PedImporte,
                     .Operador = Op::Mayor,
                     .Valor1 = "100,5"}),
              Combinar({{"pedidos hechos por clientes "},
                        Condiciones("importe", true, "mayor que 100,5"),
                        {" "}}));
    EXPECT_EQ(texto({.IndRelacion = ClientesPedidos, .IndTabla = Pedidos, .IndTabla2 = Clientes}),
              Textos{"pedidos hechos por clientes  "});
    // Its values are never quoted, even on a text field.
    EXPECT_EQ(
        texto({.IndRelacion = PedidosLineas,
               .IndTabla = Lineas,
               .IndTabla2 = Pedidos,
               .IndCampoCond = LinProducto,
               .Valor1 = "Pan"}),
        Combinar({{"líneas del pedido "}, Condiciones("Producto", true, "igual a Pan"), {" "}}));
}

TEST_F(Enunciados, SubqueryClauses) {
    auto& m = *motor;
    // The clause alone: what the statement with the subquery adds to the same statement
    // without it under the same seed (its draws come last).
    auto q = [&](int tipo, int cond, int con, int t, int f, int os) {
        const Plan p = Plan(t, 0, Ag::Count).Donde(cond, Op::Igual, "1");
        Plan conSub = p;
        conSub.Subconsulta(tipo, con, f, os, "", "X");
        Textos textos;
        for (int i = 0; i < 300; ++i) {
            SembrarAleatorio(std::uint64_t(i) * 7919u + 1u);
            const std::string sin = m.TextoUnaTabla(false, p);
            SembrarAleatorio(std::uint64_t(i) * 7919u + 1u);
            const std::string con = m.TextoUnaTabla(false, conSub);
            EXPECT_EQ(con.substr(0, sin.size()), sin);
            textos.insert(con.substr(sin.size()));
        }
        return textos;
    };
    namespace Sub = generador::Subconsultas;
    namespace Con = generador::Conectores;
    namespace Per = generador::Pertenencia;
    EXPECT_EQ(q(Sub::Lista, 1, Con::Y, Clientes, CliId, Per::En),
              Textos{"y el código  esté entre X"});
    EXPECT_EQ(q(Sub::Lista, 3, Con::O, Clientes, CliCiudad, Per::NoEn),
              Textos{"o la ciudad  no esté entre X"});
    // Without a condition before it, in/not in takes "cuyo"/"cuya" with no draw.
    EXPECT_EQ(q(Sub::Lista, 0, Con::Y, Clientes, CliCiudad, Per::NoEn),
              Textos{"cuya ciudad  no esté entre X"});
    EXPECT_EQ(q(Sub::Lista, 0, Con::O, Clientes, CliId, Per::En),
              Textos{"cuyo código  esté entre X"});
    EXPECT_EQ(q(Sub::Valor, 0, Con::Y, Clientes, CliEdad, Op::Distinto),
              Combinar({Condiciones("edad", false, "distinta a X")}));
    EXPECT_EQ(q(Sub::Valor, 2, Con::O, Clientes, CliEdad, Op::Mayor),
              Textos{"o la edad mayor que X"});
    EXPECT_EQ(q(Sub::Valor, 2, Con::Y, Pedidos, PedImporte, Op::Distinto),
              Textos{"y el importe distinto a X"});
    EXPECT_EQ(
        q(Sub::NoExiste, 0, Con::Y, Clientes, CliId, 1),
        (Textos{"tal que no existen X", "de forma que no existen X", "de manera que no existen X",
                "tal que no hay X", "de forma que no hay X", "de manera que no hay X"}));
    EXPECT_EQ(q(Sub::Ninguna, 0, Con::Y, Clientes, CliId, 1), Textos{""});
    EXPECT_EQ(q(4, 0, Con::Y, Clientes, CliId, 1), Textos{""});

    // The clause follows the blank after the condition's place.
    Textos completa = Variantes([&] {
        return m.TextoUnaTabla(true, Plan(Clientes, CliNombre, Ag::Ninguno)
                                         .Subconsulta(Sub::Lista, Con::Y, CliId, Per::En, "", "S"));
    });
    EXPECT_EQ(completa,
              Combinar({kVerbos, {"los nombres de los clientes  cuyo código  esté entre S"}}));
}

TEST_F(Enunciados, MissingDictionaryRowsReadAsTheDefaultNames) {
    auto& m = *motor;
    // What the names below do not show: summing, and the relation without a row.
    EXPECT_FALSE(m.LeerPermiteSum(Lineas, LinProducto));
    EXPECT_TRUE(m.LeerPermiteSum(Pedidos, PedImporte));  // yes stored as -1
    EXPECT_EQ(m.LeerNombreTabla(Zonas, true), "Zona");
    bool flag = true;
    EXPECT_EQ(m.LeerTraduccion2(ZonasTiendas, flag), "de");
    EXPECT_FALSE(flag);

    auto texto = [&](int t, int f, int a, bool d, int cond, int op) {
        return Variantes([&, t, f, a, d, cond, op] {
            return m.TextoUnaTabla(false, Plan(t, f, a, d).Donde(cond, op, "X"));
        });
    };
    EXPECT_EQ(texto(Lineas, LinProducto, Ag::Max, false, 0, 0),
              Textos{"el máximo Producto de las líneas  "});
    EXPECT_EQ(texto(Lineas, LinProducto, Ag::Ninguno, false, 0, 0),
              Textos{"los Productos de las líneas  "});
    EXPECT_EQ(texto(Lineas, LinProducto, Ag::Ninguno, true, 0, 0),
              (Textos{"los distintos Productos de las líneas  ",
                      "los diferentes Productos de las líneas  "}));
    EXPECT_EQ(texto(Lineas, 0, Ag::Count, false, LinProducto, Op::Distinto),
              (Combinar({{"cuántas líneas "},
                         {"hay ", "existen "},
                         Condiciones("Producto", true, "distinto a 'X'"),
                         {" "}})));
    // A table without a row: its names and gender by the ending rules.
    EXPECT_EQ(texto(Zonas, ZonNombre, Ag::Ninguno, false, 0, 0),
              Textos{"los Nombres de las Zonas  "});
    EXPECT_EQ(texto(Zonas, 0, Ag::Count, false, 0, 0),
              (Textos{"cuántas Zonas hay  ", "cuántas Zonas existen  "}));
}

TEST_F(Enunciados, DictionaryChangesShowInTheNextPress) {
    auto& m = *motor;
    EXPECT_EQ(m.LeerNombreTabla(Clientes, false), "clientes");
    engine::Error err;
    ASSERT_TRUE(auxiliar->Execute(
        "Update Tablas set NombrePlural = 'compradores' Where Nombre = 'Clientes'", err))
        << veliora::TextoDeError(err);
    m.GenerarPregunta({true, false, false, false, false});
    EXPECT_EQ(m.LeerNombreTabla(Clientes, false), "compradores");
}

}  // namespace
}  // namespace veliora::test

// The questions in Spanish: every wording a builder can give for a plan, blank for blank,
// the word lists, and the defaults of missing dictionary rows.
#include "generator/entorno.h"

namespace veliora::test {
namespace {

using namespace formas;
using Textos = std::set<std::string>;

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
        return m.TextoUnaTabla(true, Clientes, CliNombre, false, 1, CliCiudad, 0, "Valencia", "", 0,
                               0, 0, 0, "");
    });
    EXPECT_EQ(textos, Combinar({kVerbos,
                                {"los nombres de los clientes "},
                                Condiciones("ciudad", false, "igual a 'Valencia'"),
                                {" "}}));
    EXPECT_TRUE(
        textos.count("Obtener los nombres de los clientes cuya ciudad  sea  igual a "
                     "'Valencia' "));
    EXPECT_EQ(engine::LowerWithCapital(
                  "Obtener los nombres de los clientes cuya ciudad  sea  igual a 'Valencia' "),
              "Obtener los nombres de los clientes cuya ciudad  sea  igual a 'valencia' ");

    Textos cuantos = Variantes([&] {
        return m.TextoUnaTabla(true, Clientes, 0, false, 0, CliCiudad, 0, "Valencia", "", 0, 0, 0,
                               0, "");
    });
    EXPECT_EQ(cuantos, Combinar({kVerbos,
                                 {"cuántos clientes "},
                                 {"hay ", "existen "},
                                 Condiciones("ciudad", false, "igual a 'Valencia'"),
                                 {" "}}));
    EXPECT_TRUE(cuantos.count("Obtener cuántos clientes hay con ciudad igual a 'Valencia' "));

    // Without a condition the statement ends in two blanks.
    EXPECT_EQ(Variantes([&] {
                  return m.TextoUnaTabla(true, Clientes, CliNombre, false, 1, 0, 0, "", "", 0, 0, 0,
                                         0, "");
              }),
              Combinar({kVerbos, {"los nombres de los clientes  "}}));
}

TEST_F(Enunciados, SelectionBlockByAggregateAndGender) {
    auto& m = *motor;
    auto sel = [&](int t, int f, int a, bool d) {
        return Variantes([&, t, f, a, d] {
            return m.TextoUnaTabla(false, t, f, d, a, 0, 0, "", "", 0, 0, 0, 0, "");
        });
    };
    EXPECT_EQ(sel(Pedidos, PedImporte, 2, false), Textos{"el máximo importe de los pedidos  "});
    EXPECT_EQ(sel(Clientes, CliEdad, 3, false), Textos{"la mínima edad de los clientes  "});
    EXPECT_EQ(sel(Pedidos, PedImporte, 4, false),
              (Textos{"cuánto suman los importes de los pedidos  ",
                      "la suma de los importes de los pedidos  "}));
    EXPECT_EQ(sel(Clientes, CliEdad, 5, false), Textos{"la media de las edades de los clientes  "});
    EXPECT_EQ(sel(Clientes, 0, 1, false), (Textos{"toda la información de los clientes  ",
                                                  "todos los datos de los clientes  "}));
    EXPECT_EQ(sel(Clientes, CliNombre, 1, true),
              (Textos{"los distintos nombres de los clientes  ",
                      "los diferentes nombres de los clientes  "}));
    EXPECT_EQ(sel(Clientes, CliCiudad, 1, true),
              (Textos{"las distintas ciudades de los clientes  ",
                      "las diferentes ciudades de los clientes  "}));
    // A count names no field, no "de" and no article before the table.
    EXPECT_EQ(sel(Lineas, 0, 0, false),
              (Textos{"cuántas líneas hay  ", "cuántas líneas existen  "}));
}

TEST_F(Enunciados, ConditionBlockComparisons) {
    auto& m = *motor;
    auto cond = [&](int t, int f, int op, const std::string& a, const std::string& b) {
        return Variantes([&, t, f, op, a, b] {
            return m.TextoUnaTabla(false, t, 0, false, 0, f, op, a, b, 0, 0, 0, 0, "");
        });
    };
    const std::string pedidos = "cuántos pedidos hay ";
    Textos distinto = cond(Pedidos, PedImporte, 5, "7", "");
    EXPECT_TRUE(distinto.count(pedidos + "cuyo importe  sea  distinto a 7 "));
    Textos distinta = cond(Clientes, CliEdad, 5, "30", "");
    EXPECT_TRUE(distinta.count("cuántos clientes hay cuya edad  sea  distinta a 30 "));
    for (const auto& t : distinta) EXPECT_EQ(t.find("distinto a"), std::string::npos) << t;

    Textos entre = cond(Pedidos, PedImporte, 6, "1", "2");
    EXPECT_TRUE(entre.count(pedidos + "cuyo importe  esté  entre 1 y 2 "));
    EXPECT_TRUE(entre.count(pedidos + "con importe entre 1 y 2 "));
    Textos lista = cond(Pedidos, PedImporte, 7, "1", "2");
    EXPECT_TRUE(lista.count(pedidos + "que tienen importe igual a 1 o 2 "));
    // Dates and numbers stand bare; texts are quoted and keep inner quotes undoubled.
    EXPECT_TRUE(cond(Pedidos, PedFecha, 3, "15/03/1999", "")
                    .count(pedidos + "con fecha mayor o igual a 15/03/1999 "));
    EXPECT_TRUE(cond(Clientes, CliNombre, 0, "d'Alacant", "")
                    .count("cuántos clientes hay con nombre igual a 'd'Alacant' "));
    // Two existence phrases times three connectors, and no other wording.
    EXPECT_EQ(cond(Pedidos, PedImporte, 1, "5", "").size(), 6u);
}

TEST_F(Enunciados, JoinStatements) {
    auto& m = *motor;
    EXPECT_EQ(Variantes([&] {
                  return m.TextoVariasTablas(true, ClientesPedidos, Clientes, Pedidos, CliNombre, 1,
                                             PedImporte, 1, "100,5", "", 0, 0, 0, 0, 0, 0, "");
              }),
              Combinar({kVerbos,
                        {"los nombres de los clientes que han hecho pedidos "},
                        Condiciones("importe", true, "mayor que 100,5"),
                        {" "}}));
    // Read against its direction, and with a phrase that already names the next table.
    EXPECT_EQ(Variantes([&] {
                  return m.TextoVariasTablas(false, ClientesPedidos, Pedidos, Clientes, PedImporte,
                                             2, CliCiudad, 0, "Lugo", "", 0, 0, 0, 0, 0, 0, "");
              }),
              Combinar({{"el máximo importe de los pedidos hechos por clientes "},
                        Condiciones("ciudad", false, "igual a 'Lugo'"),
                        {" "}}));
    EXPECT_EQ(Variantes([&] {
                  return m.TextoVariasTablas(false, PedidosLineas, Pedidos, Lineas, 0, 0,
                                             LinCantidad, 0, "3", "", 0, 0, 0, 0, 0, 0, "");
              }),
              Combinar({{"cuántos pedidos "},
                        {"hay ", "existen "},
                        {"con líneas "},
                        Condiciones("cantidad", false, "igual a 3"),
                        {" "}}));
}

TEST_F(Enunciados, ThreeTablesShareTheNoConcatenateFlag) {
    auto& m = *motor;
    // The first step reads "del pedido" and sets the flag; the second relation has no
    // dictionary row, so it reads "de" with the flag off and "tiendas" is appended.
    Textos textos = Variantes([&] {
        return m.TextoVariasTablas(false, PedidosLineas, Lineas, Pedidos, LinCantidad, 4, 2, 0,
                                   "ES", "", TiendasPedidos, Tiendas, 0, 0, 0, 0, "");
    });
    EXPECT_EQ(textos, Combinar({{"cuánto suman ", "la suma de "},
                                {"las cantidades de las líneas del pedido de tiendas "},
                                Condiciones("Pai", true, "igual a 'ES'"),
                                {" "}}));
}

TEST_F(Enunciados, GroupedStatements) {
    auto& m = *motor;
    EXPECT_EQ(Variantes([&] {
                  return m.TextoAgrupadaUnaTabla(true, Pedidos, PedIdCliente, PedImporte, true, 4,
                                                 0, 0, 1, 0, "", "", "", 0, 0, 0, 0, "");
              }),
              Combinar({kVerbos,
                        {"los clientes y "},
                        {"cuánto suman ", "la suma de "},
                        {"los importes de los pedidos de los pedidos   agrupado por los clientes "
                         "de los pedidos "}}));
    const std::vector<std::string> paraCada = {
        "que cumple que para cada ", "con la condición de que para cada ",
        "teniendo en cuenta que para cada ", "de tal forma que para cada "};
    EXPECT_EQ(Variantes([&] {
                  return m.TextoAgrupadaUnaTabla(false, Pedidos, PedIdCliente, PedImporte, false, 1,
                                                 0, 0, 0, 1, "", "", "4", 0, 0, 0, 0, "");
              }),
              Combinar({{"los clientes de los pedidos  "},
                        paraCada,
                        {"cliente el número de los pedidos sea mayor que 4"}}));
    EXPECT_EQ(Variantes([&] {
                  return m.TextoAgrupadaUnaTabla(false, Clientes, CliNombre, CliCiudad, false, 1, 0,
                                                 0, 2, 0, "", "", "Lugo", 0, 0, 0, 0, "");
              }),
              Combinar({{"los nombres de los clientes  "},
                        paraCada,
                        {"nombre la máxima ciudad sea igual a 'Lugo'"}}));
    // The having comparison has no feminine switch.
    EXPECT_EQ(Variantes([&] {
                  return m.TextoAgrupadaUnaTabla(false, Clientes, CliNombre, CliEdad, false, 1, 0,
                                                 0, 5, 5, "", "", "30", 0, 0, 0, 0, "");
              }),
              Combinar({{"los nombres de los clientes  "},
                        paraCada,
                        {"nombre la media de las edades sea distinto a 30"}}));
    EXPECT_EQ(Variantes([&] {
                  return m.TextoAgrupadaUnaTabla(false, Pedidos, PedIdCliente, PedImporte, false, 1,
                                                 0, 0, 4, 2, "", "", "7", 0, 0, 0, 0, "");
              }),
              Combinar({{"los clientes de los pedidos  "},
                        paraCada,
                        {"cliente la suma de los importes sea menor que 7"}}));
}

TEST_F(Enunciados, GroupedTwoTableStatements) {
    auto& m = *motor;
    EXPECT_EQ(Variantes([&] {
                  return m.TextoAgrupadaVariasTablas(true, ClientesPedidos, Clientes, Pedidos,
                                                     CliCiudad, PedImporte, false, 1, PedFecha, 1,
                                                     1, 0, "15/03/1999", "", "", 0, 0, 0, 0, "");
              }),
              Combinar({kVerbos,
                        {"las ciudades de los clientes que han hecho pedidos "},
                        Condiciones("fecha", false, "mayor que 15/03/1999"),
                        {"  agrupado por las ciudades de los clientes "}}));
    // The aggregated table's article agrees with that table.
    EXPECT_EQ(Variantes([&] {
                  return m.TextoAgrupadaVariasTablas(true, PedidosLineas, Pedidos, Lineas, PedId,
                                                     LinCantidad, true, 2, 0, 0, 1, 0, "", "", "",
                                                     0, 0, 0, 0, "");
              }),
              Combinar({kVerbos,
                        {"los números y la máxima cantidad de las líneas de los pedidos con "
                         "líneas   agrupado por los números de los pedidos "}}));
}

TEST_F(Enunciados, CorrelatedSubqueryText) {
    auto& m = *motor;
    EXPECT_EQ(Variantes([&] {
                  return m.TextoSubqueryCorrelacionada(ClientesPedidos, Pedidos, Clientes,
                                                       PedImporte, 1, "100,5", "", 0, 0, 0, 0, "");
              }),
              Combinar({{"pedidos hechos por clientes "},
                        Condiciones("importe", true, "mayor que 100,5"),
                        {" "}}));
    EXPECT_EQ(Variantes([&] {
                  return m.TextoSubqueryCorrelacionada(ClientesPedidos, Pedidos, Clientes, 0, 0, "",
                                                       "", 0, 0, 0, 0, "");
              }),
              Textos{"pedidos hechos por clientes  "});
    // Its values are never quoted, even on a text field.
    EXPECT_EQ(
        Variantes([&] {
            return m.TextoSubqueryCorrelacionada(PedidosLineas, Lineas, Pedidos, LinProducto, 0,
                                                 "Pan", "", 0, 0, 0, 0, "");
        }),
        Combinar({{"líneas del pedido "}, Condiciones("Producto", true, "igual a Pan"), {" "}}));
}

TEST_F(Enunciados, SubqueryClauses) {
    auto& m = *motor;
    auto q = [&](int tipo, int cond, int con, int t, int f, int os) {
        return Variantes([&, tipo, cond, con, t, f, os] {
            std::string s;
            m.AnadirTextoSubquery(s, tipo, cond, con, t, f, os, "X");
            return s;
        });
    };
    EXPECT_EQ(q(2, 1, 1, Clientes, CliId, 1), Textos{"y el código  esté entre X"});
    EXPECT_EQ(q(2, 3, 2, Clientes, CliCiudad, 2), Textos{"o la ciudad  no esté entre X"});
    // Without a condition before it, in/not in takes "cuyo"/"cuya" with no draw.
    EXPECT_EQ(q(2, 0, 1, Clientes, CliCiudad, 2), Textos{"cuya ciudad  no esté entre X"});
    EXPECT_EQ(q(2, 0, 2, Clientes, CliId, 1), Textos{"cuyo código  esté entre X"});
    EXPECT_EQ(q(1, 0, 1, Clientes, CliEdad, 5),
              Combinar({Condiciones("edad", false, "distinta a X")}));
    EXPECT_EQ(q(1, 2, 2, Clientes, CliEdad, 1), Textos{"o la edad mayor que X"});
    EXPECT_EQ(q(1, 2, 1, Pedidos, PedImporte, 5), Textos{"y el importe distinto a X"});
    EXPECT_EQ(
        q(3, 0, 1, Clientes, CliId, 1),
        (Textos{"tal que no existen X", "de forma que no existen X", "de manera que no existen X",
                "tal que no hay X", "de forma que no hay X", "de manera que no hay X"}));
    EXPECT_EQ(q(0, 0, 1, Clientes, CliId, 1), Textos{""});
    EXPECT_EQ(q(4, 0, 1, Clientes, CliId, 1), Textos{""});

    // The clause follows the blank after the condition's place.
    Textos completa = Variantes([&] {
        return m.TextoUnaTabla(true, Clientes, CliNombre, false, 1, 0, 0, "", "", 2, 1, CliId, 1,
                               "S");
    });
    EXPECT_EQ(completa,
              Combinar({kVerbos, {"los nombres de los clientes  cuyo código  esté entre S"}}));
}

TEST_F(Enunciados, MissingDictionaryRowsReadAsTheDefaultNames) {
    auto& m = *motor;
    EXPECT_TRUE(m.LeerMascFemeCampo(Lineas, LinProducto));
    EXPECT_FALSE(m.LeerPermiteSum(Lineas, LinProducto));
    EXPECT_EQ(m.LeerNombreCampo(Lineas, LinProducto, true), "Producto");
    EXPECT_EQ(m.LeerNombreCampo(Lineas, LinProducto, false), "Productos");
    EXPECT_FALSE(m.LeerMascFemeTabla(Zonas));
    EXPECT_EQ(m.LeerNombreTabla(Zonas, true), "Zona");
    bool flag = true;
    EXPECT_EQ(m.LeerTraduccion(ZonasTiendas, flag), "de");
    EXPECT_FALSE(flag);
    flag = true;
    EXPECT_EQ(m.LeerTraduccion2(ZonasTiendas, flag), "de");
    EXPECT_FALSE(flag);
    // Rows that exist: yes/no stored as -1 read as yes.
    EXPECT_TRUE(m.LeerMascFemeTabla(Clientes));
    EXPECT_TRUE(m.LeerPermiteSum(Pedidos, PedImporte));
    flag = false;
    EXPECT_EQ(m.LeerTraduccion(PedidosLineas, flag), "con líneas");
    EXPECT_TRUE(flag);

    auto texto = [&](int t, int f, int a, bool d, int cond, int op) {
        return Variantes([&, t, f, a, d, cond, op] {
            return m.TextoUnaTabla(false, t, f, d, a, cond, op, "X", "", 0, 0, 0, 0, "");
        });
    };
    EXPECT_EQ(texto(Lineas, LinProducto, 2, false, 0, 0),
              Textos{"el máximo Producto de las líneas  "});
    EXPECT_EQ(texto(Lineas, LinProducto, 3, false, 0, 0),
              Textos{"el mínimo Producto de las líneas  "});
    EXPECT_EQ(texto(Lineas, LinProducto, 1, false, 0, 0), Textos{"los Productos de las líneas  "});
    EXPECT_EQ(texto(Lineas, LinProducto, 1, true, 0, 0),
              (Textos{"los distintos Productos de las líneas  ",
                      "los diferentes Productos de las líneas  "}));
    Textos cond = texto(Lineas, 0, 0, false, LinProducto, 5);
    for (const auto& t : cond) EXPECT_NE(t.find("Producto"), std::string::npos) << t;
    EXPECT_EQ(cond, (Combinar({{"cuántas líneas "},
                               {"hay ", "existen "},
                               Condiciones("Producto", true, "distinto a 'X'"),
                               {" "}})));
    // A table without a row: its names and gender by the ending rules.
    EXPECT_EQ(texto(Zonas, ZonNombre, 1, false, 0, 0), Textos{"los Nombres de las Zonas  "});
    EXPECT_EQ(texto(Zonas, 0, 0, false, 0, 0),
              (Textos{"cuántas Zonas hay  ", "cuántas Zonas existen  "}));
}

TEST_F(Enunciados, DictionaryChangesShowInTheNextPress) {
    auto& m = *motor;
    EXPECT_EQ(m.LeerNombreTabla(Clientes, false), "clientes");
    engine::EngineError err;
    ASSERT_TRUE(auxiliar->Execute(
        "Update Tablas set NombrePlural = 'compradores' Where Nombre = 'Clientes'", err))
        << err.description;
    m.GenerarPregunta({true, false, false, false, false});
    EXPECT_EQ(m.LeerNombreTabla(Clientes, false), "compradores");
}

TEST_F(Enunciados, WordListsAreFixedSpanish) {
    generador::Vocabulario v;
    generador::InicializarVocabulario(v);
    EXPECT_EQ(v.Verbos, (std::vector<std::string>{"Seleccionar", "Obtener", "Mostrar"}));
    EXPECT_EQ(v.Conectores, (std::vector<std::string>{"con", "cuyo", "que tienen", "cuya"}));
    EXPECT_EQ(v.Comparaciones,
              (std::vector<std::string>{"igual a", "mayor que", "menor que", "mayor o igual a",
                                        "menor o igual a", "distinto a", "entre", "igual a",
                                        "distinta a"}));
    EXPECT_EQ(v.Distintos,
              (std::vector<std::string>{"distintos", "diferentes", "distintas", "diferentes"}));
    EXPECT_EQ(v.FrasesParaCada.size(), 4u);
    EXPECT_EQ(v.FrasesNoExisten.size(), 6u);
    EXPECT_EQ(v.FrasesSuma, (std::vector<std::string>{"cuánto suman", "la suma de"}));
    EXPECT_EQ(v.FrasesTodo, (std::vector<std::string>{"toda la información", "todos los datos"}));
    EXPECT_EQ(v.FrasesExistencia, (std::vector<std::string>{"hay", "existen"}));
}

}  // namespace
}  // namespace veliora::test

// The draw rules: allowed results by field type and summable flag, relation searches,
// uniform sampling of values and the choice among ticked kinds, over many seeded draws.
#include <map>

#include "generator/entorno.h"

namespace veliora::test {
namespace {

using namespace formas;
using Conjunto = std::set<int>;

class Sorteos : public ::testing::Test, public EntornoGenerador {
  protected:
    void SetUp() override { ConstruirFixture("gen_formas", "gen_formas_aux"); }
};

TEST_F(Sorteos, AggregateForASelectedField) {
    auto& m = *motor;
    auto agregado = [&](int t, int f, bool obligatorio) {
        return Valores([&] { return m.ElegirAgregado(t, f, obligatorio); });
    };
    EXPECT_EQ(agregado(Clientes, 0, false), (Conjunto{0, 1}));                 // all fields
    EXPECT_EQ(agregado(Clientes, CliEdad, false), (Conjunto{1, 2, 3, 4, 5}));  // summable
    EXPECT_EQ(agregado(Clientes, CliId, false), (Conjunto{1, 2, 3}));   // numeric, not summable
    EXPECT_EQ(agregado(Zonas, ZonCodigo, false), (Conjunto{1, 2, 3}));  // no dictionary row
    EXPECT_EQ(agregado(Pedidos, PedFecha, false), (Conjunto{1, 2, 3}));
    EXPECT_EQ(agregado(Clientes, CliCiudad, false), (Conjunto{1, 2, 3}));
    EXPECT_EQ(agregado(Clientes, CliVip, false), (Conjunto{1}));  // yes/no: other group
    EXPECT_EQ(agregado(Pedidos, PedImporte, true), (Conjunto{2, 3, 4, 5}));
    EXPECT_EQ(agregado(Clientes, CliId, true), (Conjunto{2, 3}));
    EXPECT_EQ(agregado(Clientes, CliCiudad, true), (Conjunto{2, 3}));
    EXPECT_EQ(agregado(Clientes, CliVip, true), (Conjunto{2, 3}));
}

TEST_F(Sorteos, AggregateForAGroupedQuery) {
    auto& m = *motor;
    auto agregado = [&](int t, int f) {
        return Valores([&] { return m.ElegirAgregadoAgrupado(t, f); });
    };
    EXPECT_EQ(agregado(Pedidos, PedImporte), (Conjunto{1, 2, 3, 4, 5}));
    EXPECT_EQ(agregado(Clientes, CliId), (Conjunto{0, 1, 2, 3}));
    EXPECT_EQ(agregado(Pedidos, PedFecha), (Conjunto{1, 2, 3}));
    EXPECT_EQ(agregado(Clientes, CliNombre), (Conjunto{1, 2, 3}));
    EXPECT_EQ(agregado(Clientes, CliVip), (Conjunto{0, 1}));

    // Numeric, not summable: half the time Count or none, half the time none, Max or Min.
    SembrarAleatorio(99);
    std::map<int, int> veces;
    for (int i = 0; i < 12000; ++i) ++veces[m.ElegirAgregadoAgrupado(Clientes, CliId)];
    EXPECT_NEAR(veces[0], 3000, 250);
    EXPECT_NEAR(veces[1], 3000 + 2000, 300);
    EXPECT_NEAR(veces[2], 2000, 250);
    EXPECT_NEAR(veces[3], 2000, 250);
}

TEST_F(Sorteos, OperatorByType) {
    auto& m = *motor;
    auto operador = [&](int t, int f, bool solo) {
        return Valores([&] { return m.ElegirOperador(t, f, solo); });
    };
    EXPECT_EQ(operador(Pedidos, PedImporte, false), (Conjunto{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(operador(Pedidos, PedImporte, true), (Conjunto{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(operador(Pedidos, PedFecha, false), (Conjunto{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(operador(Pedidos, PedFecha, true), (Conjunto{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(operador(Clientes, CliCiudad, false), (Conjunto{0}));
    EXPECT_EQ(operador(Clientes, CliVip, false), (Conjunto{0}));
}

TEST_F(Sorteos, UniqueIndexOfOneField) {
    auto& m = *motor;
    EXPECT_TRUE(m.CampoConIndiceUnico(Clientes, CliId));  // INTEGER PRIMARY KEY
    EXPECT_FALSE(m.CampoConIndiceUnico(Clientes, 0));
    EXPECT_FALSE(m.CampoConIndiceUnico(Clientes, CliNombre));
    // The primary key of Zonas covers two fields: neither is unique by itself.
    EXPECT_FALSE(m.CampoConIndiceUnico(Zonas, ZonPais));
    EXPECT_FALSE(m.CampoConIndiceUnico(Zonas, ZonCodigo));
    // A foreign key is not unique.
    EXPECT_FALSE(m.CampoConIndiceUnico(Pedidos, PedIdCliente));
}

TEST_F(Sorteos, SecondRelationIsTheLowestThatFits) {
    auto& m = *motor;
    EXPECT_EQ(m.BuscarSegundaRelacion(Pedidos, ClientesPedidos), PedidosLineas);
    EXPECT_EQ(m.BuscarSegundaRelacion(Clientes, ClientesPedidos), -1);
    EXPECT_EQ(m.BuscarSegundaRelacion(Pedidos, PedidosLineas), ClientesPedidos);
    EXPECT_EQ(m.BuscarSegundaRelacion(Lineas, PedidosLineas), -1);
    EXPECT_EQ(m.BuscarSegundaRelacion(Pedidos, TiendasPedidos), ClientesPedidos);
    EXPECT_EQ(m.BuscarSegundaRelacion(Tiendas, TiendasPedidos), ZonasTiendas);
    EXPECT_EQ(m.BuscarSegundaRelacion(Tiendas, ZonasTiendas), TiendasPedidos);
}

TEST_F(Sorteos, RandomRelationOfATable) {
    auto& m = *motor;
    EXPECT_EQ(Valores([&] { return m.RelacionAleatoria(Pedidos); }),
              (Conjunto{ClientesPedidos, PedidosLineas, TiendasPedidos}));
    EXPECT_EQ(Valores([&] { return m.RelacionAleatoria(Zonas); }), (Conjunto{ZonasTiendas}));
    EXPECT_EQ(Valores([&] { return m.RelacionAleatoriaPrincipal(Pedidos); }),
              (Conjunto{PedidosLineas}));
    EXPECT_EQ(m.RelacionAleatoriaPrincipal(Lineas), -1);
    EXPECT_EQ(Valores([&] { return m.RelacionAleatoriaPrincipal(Tiendas); }),
              (Conjunto{TiendasPedidos}));
}

TEST_F(Sorteos, TickedKindsAreEquallyLikely) {
    auto& m = *motor;
    SembrarAleatorio(5);
    std::map<int, int> cajas;
    for (int i = 0; i < 400; ++i) {
        m.GenerarPregunta({true, false, false, true, false});
        ++cajas[m.Ultima().Tipo];
        EXPECT_FALSE(m.Ultima().Compleja);
    }
    EXPECT_EQ(cajas.size(), 2u);
    EXPECT_NEAR(cajas[1], 200, 40);
    EXPECT_NEAR(cajas[4], 200, 40);

    std::map<int, int> drivers;
    for (int i = 0; i < 400; ++i) {
        m.GenerarPregunta({false, false, false, false, true});
        EXPECT_EQ(m.Ultima().Tipo, 5);
        EXPECT_TRUE(m.Ultima().Compleja);
        ++drivers[m.Ultima().Driver];
    }
    EXPECT_EQ(drivers.size(), 4u);
    for (int d = 1; d <= 4; ++d) EXPECT_NEAR(drivers[d], 100, 35) << d;
}

class Muestreo : public ::testing::Test, public EntornoGenerador {
  protected:
    void SetUp() override {
        Construir(R"(
CREATE TABLE Colores (Id INTEGER PRIMARY KEY, Nombre TEXT NOT NULL UNIQUE);
INSERT INTO Colores (Nombre) VALUES ('rojo'), ('verde'), ('azul'), ('negro'), ('blanco');
CREATE TABLE Vacia (x INTEGER);
CREATE TABLE ConRowid (rowid TEXT, v INTEGER);
INSERT INTO ConRowid SELECT 'x', i FROM (WITH RECURSIVE n(i) AS
  (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20) SELECT i FROM n);
CREATE TABLE Uno (a INTEGER);
INSERT INTO Uno VALUES (1), (2), (3);
CREATE TABLE Huecos (Id INTEGER PRIMARY KEY, v INTEGER);
INSERT INTO Huecos SELECT i * i, i FROM (WITH RECURSIVE n(i) AS
  (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20) SELECT i FROM n);
CREATE TABLE Dispersa (Id INTEGER PRIMARY KEY, v INTEGER);
INSERT INTO Dispersa SELECT CASE WHEN i <= 10 THEN -i ELSE 4000000000000 + i END, i FROM
  (WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20) SELECT i FROM n);
CREATE TABLE Clave (k TEXT PRIMARY KEY, v INTEGER) WITHOUT ROWID;
INSERT INTO Clave SELECT 'k' || i, i FROM (WITH RECURSIVE n(i) AS
  (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20) SELECT i FROM n);
)");
    }
};

// Twenty rows each: row ids with growing gaps (drawn between the ends and redrawn on a miss),
// ids too sparse for that (by position), no row ids at all and a column that hides them.
// Chi-square with 19 degrees of freedom under 43.8, its 0.1% quantile.
TEST_F(Muestreo, DrawsAreUniformWhateverTheRowIds) {
    for (const char* tabla : {"Huecos", "Dispersa", "Clave", "ConRowid"}) {
        SembrarAleatorio(77);
        std::map<std::int64_t, int> veces;
        constexpr int kSorteos = 4000;
        for (int i = 0; i < kSorteos; ++i) ++veces[motor->ValorAleatorio(tabla, "v").integer];
        ASSERT_EQ(veces.size(), 20u) << tabla;
        double chi2 = 0;
        for (const auto& [valor, n] : veces) chi2 += (n - 200.0) * (n - 200.0) / 200.0;
        EXPECT_LT(chi2, 43.8) << tabla;
    }
}

TEST_F(Muestreo, EmptyTableOrUnknownFieldGiveAnEmptyValue) {
    EXPECT_TRUE(motor->ValorAleatorio("Vacia", "x").isNull());
    EXPECT_TRUE(motor->ValorAleatorio("Colores", "NoExiste").isNull());
    EXPECT_TRUE(motor->ValorAleatorio("NoExiste", "x").isNull());
}

TEST_F(Muestreo, UniqueConstraintMakesAFieldUnique) {
    const int colores = motor->IndiceTabla("Colores");
    ASSERT_GT(colores, 0);
    EXPECT_TRUE(motor->CampoConIndiceUnico(colores, motor->IndiceCampo("Colores", "Nombre")));
    // Names are compared exactly.
    EXPECT_EQ(motor->IndiceTabla("colores"), 0);
    EXPECT_EQ(motor->IndiceCampo("Colores", "nombre"), 0);
}

TEST_F(Muestreo, OneFieldTableSelectsAndFiltersItHalfTheTime) {
    auto& m = *motor;
    SembrarAleatorio(8);
    int todos = 0, sinCondicion = 0;
    const int n = 400;
    for (int i = 0; i < n; ++i) {
        ASSERT_TRUE(m.GenerarQueryUnaTabla(false));
        const auto& p = m.Ultima().Plan;
        if (p.IndTabla != m.IndiceTabla("Uno")) {
            --i;
            continue;
        }
        todos += p.IndCampo == 0;
        sinCondicion += p.IndCampoCond == 0;
    }
    EXPECT_NEAR(todos, n / 2, 45);
    EXPECT_NEAR(sinCondicion, n / 2, 45);
}

// Exactly two relations, A-B and B-C: a three-table query must start from an end.
class Cadena : public ::testing::Test, public EntornoGenerador {
  protected:
    void SetUp() override {
        Construir(R"(
CREATE TABLE A (Id INTEGER PRIMARY KEY, Nombre TEXT);
CREATE TABLE B (Id INTEGER PRIMARY KEY, IdA INTEGER REFERENCES A (Id), V INTEGER);
CREATE TABLE C (Id INTEGER PRIMARY KEY, IdB INTEGER REFERENCES B (Id), W INTEGER);
INSERT INTO A VALUES (1, 'uno');
INSERT INTO B VALUES (1, 1, 5);
INSERT INTO C VALUES (1, 1, 7);
)");
    }
    static constexpr int kA = 1, kB = 2, kC = 3, kAB = 0, kBC = 1;
};

TEST_F(Cadena, ThreeTablesAlwaysPassThroughTheMiddle) {
    auto& m = *motor;
    ASSERT_EQ(m.Relaciones().size(), 2u);
    SembrarAleatorio(31);
    int masDeUnIntento = 0;
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(m.GenerarQueryTresTablas(false));
        const auto& p = m.Ultima().Plan;
        EXPECT_EQ(p.IndTabla2, kB);
        if (p.IndRelacion == kAB) {
            EXPECT_EQ(p.IndTabla, kA);
            EXPECT_EQ(p.IndRelacion2, kBC);
            EXPECT_EQ(p.IndTabla3, kC);
        } else {
            EXPECT_EQ(p.IndTabla, kC);
            EXPECT_EQ(p.IndRelacion2, kAB);
            EXPECT_EQ(p.IndTabla3, kA);
        }
        EXPECT_GE(p.IndCampoCond, 1);  // the condition is on the last table of the chain
        masDeUnIntento += m.Ultima().Intentos > 1;
    }
    // Half the draws start from an end of the chain and are drawn again.
    EXPECT_GT(masDeUnIntento, 50);
}

// Row-id ranges nested one in another, all read at loading in one statement: a table given
// another's narrower range would never show some of its rows.
TEST(MuestreoAlCargar, EachTableKeepsItsOwnRowIdRange) {
    EntornoGenerador e;
    e.Construir(R"(
CREATE TABLE A (Id INTEGER PRIMARY KEY, v INTEGER);
CREATE TABLE B (Id INTEGER PRIMARY KEY, v INTEGER);
CREATE TABLE C (Id INTEGER PRIMARY KEY, v INTEGER);
CREATE TABLE D (Id INTEGER PRIMARY KEY, v INTEGER);
INSERT INTO A SELECT i, i FROM (WITH RECURSIVE n(i) AS
  (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 8) SELECT i FROM n);
INSERT INTO B SELECT Id, v FROM A WHERE Id BETWEEN 2 AND 7;
INSERT INTO C SELECT Id, v FROM A WHERE Id BETWEEN 3 AND 6;
INSERT INTO D SELECT Id, v FROM A WHERE Id BETWEEN 4 AND 5;
)");
    for (auto [tabla, filas] :
         {std::pair{"A", 8u}, std::pair{"B", 6u}, std::pair{"C", 4u}, std::pair{"D", 2u}}) {
        SembrarAleatorio(5);
        std::set<std::int64_t> vistos;
        for (int i = 0; i < 400; ++i) vistos.insert(e.motor->ValorAleatorio(tabla, "v").integer);
        EXPECT_EQ(vistos.size(), filas) << tabla;
    }
}

}  // namespace
}  // namespace veliora::test

#include <gtest/gtest.h>

#include "core/dictionary/esquema.h"
#include "core/engine/database.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

using namespace veliora;
using namespace veliora::engine;

namespace {

class Schema : public ::testing::Test {
  protected:
    void Load(const std::string& fixture) {
        const auto path = home_ / (fixture + ".db");
        test::BuildFixture(path, fixture);
        db_ = Database::Open(path.string(), Database::Kind::User, err_);
        ASSERT_TRUE(db_) << veliora::TextoDeError(err_);
        ASSERT_TRUE(CargarEstructura(tablas_, *db_, err_)) << veliora::TextoDeError(err_);
    }

    test::TempHome home_;
    engine::Error err_;
    std::shared_ptr<Database> db_;
    ColTablas tablas_;
};

}  // namespace

TEST_F(Schema, DeclaredTypesMapOntoTypeCodes) {
    Load("eng_schema");
    const Tabla& t = tablas_.Item("tipos");
    const std::pair<const char*, int> expected[] = {
        {"a", 4},  {"b", 4},  {"c", 3},   {"d", 2},   {"e", 16}, {"f", 7},  {"g", 7},   {"h", 7},
        {"i", 20}, {"j", 20}, {"k", 5},   {"l", 5},   {"m", 10}, {"n", 10}, {"o", 10},  {"p", 18},
        {"q", 12}, {"r", 12}, {"s", 8},   {"t", 8},   {"u", 8},  {"v", 22}, {"w", 1},   {"x", 1},
        {"y", 1},  {"z", 11}, {"aa", 11}, {"ab", 10}, {"ac", 4}, {"ad", 4}, {"ae", 20},
    };
    ASSERT_EQ(t.Campos.Count(), std::int32_t(std::size(expected)));
    int position = 1;
    for (const auto& [name, code] : expected) {
        EXPECT_EQ(t.Campos.Item(position).Nombre, name) << "fields keep declaration order";
        EXPECT_EQ(t.Campos.Item(name).Tipo, code) << name;
        ++position;
    }
    EXPECT_EQ(TypeCodeFromDeclared("varchar ( 30 )"), 10);
    EXPECT_EQ(TypeCodeFromDeclared("Double   Precision"), 7);
}

TEST_F(Schema, TablesAreOrdinaryTablesByNameIgnoringCase) {
    Load("eng_schema");
    std::vector<std::string> names;
    for (const Tabla& t : tablas_) names.push_back(t.Nombre);
    EXPECT_EQ(names, (std::vector<std::string>{"Contador", "Equipos", "Fichas", "Goles",
                                               "Jugadores", "Partidos", "Tipos"}))
        << "sqlite_sequence and the view are left out";
    EXPECT_EQ(tablas_.Item("PARTIDOS").Nombre, "Partidos");
    EXPECT_THROW(tablas_.Item("Resumen"), std::out_of_range);
}

TEST_F(Schema, IndexesCarryUniqueAndForeignFlags) {
    Load("eng_schema");
    const Tabla& partidos = tablas_.Item("Partidos");
    const Indice& pk = partidos.Indices.Item(1);
    EXPECT_EQ(pk.Nombre, "PrimaryKey") << "an INTEGER PRIMARY KEY is reported too";
    EXPECT_TRUE(pk.Unico);
    EXPECT_FALSE(pk.ClaveAjena);
    EXPECT_EQ(pk.Campos, std::vector<std::string>{"Id"});
    EXPECT_FALSE(partidos.Indices.Item("PorFecha").Unico);
    const Indice& local = partidos.Indices.Item("EquiposPartidos");
    EXPECT_TRUE(local.ClaveAjena);
    EXPECT_FALSE(local.Unico);

    const Indice& ficha = tablas_.Item("Fichas").Indices.Item("EquiposFichas");
    EXPECT_TRUE(ficha.ClaveAjena);
    EXPECT_TRUE(ficha.Unico) << "its field alone is a unique index";

    const Tabla& jugadores = tablas_.Item("Jugadores");
    EXPECT_EQ(jugadores.Indices.Item("PrimaryKey").Campos,
              (std::vector<std::string>{"Equipo", "Dorsal"}));
    EXPECT_EQ(tablas_.Item("Tipos").Indices.Count(), 0);
}

TEST_F(Schema, RelationsComeFromForeignKeys) {
    Load("eng_schema");
    const auto& relations = db_->Relations(err_);
    std::vector<std::string> names;
    for (const auto& r : relations) names.push_back(r.Name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"EquiposFichas", "EquiposJugadores", "EquiposPartidos",
                                        "EquiposPartidos1", "JugadoresGoles", "PartidosGoles"}));
    const Relation& local = relations[2];
    EXPECT_EQ(local.Table, "Equipos");
    EXPECT_EQ(local.ForeignTable, "Partidos");
    ASSERT_EQ(local.Fields.size(), 1u);
    EXPECT_EQ(local.Fields[0].Name, "Codigo");
    EXPECT_EQ(local.Fields[0].ForeignName, "Local") << "the first declared key keeps the bare name";
    EXPECT_EQ(relations[3].Fields[0].ForeignName, "Visitante");

    const Relation& goles = relations[4];
    EXPECT_EQ(goles.Table, "Jugadores") << "names as the tables spell them, not as the key does";
    ASSERT_EQ(goles.Fields.size(), 2u);
    EXPECT_EQ(goles.Fields[0].Name, "Equipo");
    EXPECT_EQ(goles.Fields[1].Name, "Dorsal");
    EXPECT_EQ(goles.Fields[1].ForeignName, "Dorsal");
    EXPECT_EQ(goles.Fields[0].ForeignName, "Equipo");
    // A key naming no parent columns refers to the parent's primary key.
    EXPECT_EQ(relations[5].Fields[0].Name, "Id");
    EXPECT_EQ(relations[5].Fields[0].ForeignName, "Partido");
}

TEST_F(Schema, DatabaseWithoutRelationsOrOrdinaryTables) {
    Load("eng_only_system");
    EXPECT_EQ(tablas_.Count(), 0);
    EXPECT_TRUE(db_->Relations(err_).empty());
    int system = 0;
    for (const auto& def : db_->TableDefs(err_)) {
        EXPECT_NE(def.Attributes, 0) << def.Name;
        ++system;
    }
    EXPECT_GE(system, 2);
}

TEST(Collections, KeysIgnoreCaseAndPositionsCountFromOne) {
    ColCampos campos;
    campos.Add({"Nombre", 10}, "Nombre");
    campos.Add({"Edad", 4}, "Edad");
    campos.Add({"Sin clave", 1});
    EXPECT_EQ(campos.Count(), 3);
    EXPECT_EQ(campos.Item("EDAD").Tipo, 4);
    EXPECT_EQ(campos.Item(3).Nombre, "Sin clave");
    EXPECT_THROW(campos.Add({"otro", 1}, "nombre"), std::invalid_argument);
    EXPECT_EQ(campos.Count(), 3);
    campos.Remove("nombre");
    EXPECT_EQ(campos.Item(1).Nombre, "Edad") << "later items move up";
    EXPECT_THROW(campos.Remove(5), std::out_of_range);
    EXPECT_THROW(campos.Item("Nombre"), std::out_of_range);
    int n = 0;
    for (const Campo& c : campos) n += c.Tipo;
    EXPECT_EQ(n, 5);
}

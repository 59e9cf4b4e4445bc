// The question builders' reading of the dictionary: defaults of missing rows and changes
// seen on the next press (every wording, blank for blank, is a case of enunciados.txt).
#include "core/shell/errores.h"
#include "generator/entorno.h"

namespace veliora::test {
namespace {

using namespace formas;

class Enunciados : public ::testing::Test, public EntornoGenerador {
  protected:
    void SetUp() override { ConstruirFixture("gen_formas", "gen_formas_aux"); }
};

TEST_F(Enunciados, MissingDictionaryRowsReadAsTheDefaultNames) {
    auto& m = *motor;
    // What the wordings do not show: summing, and the relation without a row.
    EXPECT_FALSE(m.LeerPermiteSum(Lineas, LinProducto));
    EXPECT_TRUE(m.LeerPermiteSum(Pedidos, PedImporte));  // yes stored as -1
    EXPECT_EQ(m.LeerNombreTabla(Zonas, true), "Zona");
    bool flag = true;
    EXPECT_EQ(m.LeerTraduccion2(ZonasTiendas, flag), "de");
    EXPECT_FALSE(flag);
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

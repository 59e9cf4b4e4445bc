// Export of a bulletin: both layouts byte for byte, unsafe names, atomic writing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/bulletins/exportar.h"
#include "core/bulletins/mantenimiento.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

namespace fs = std::filesystem;
using engine::Database;

const std::string kSep = "----------------------------------------\r\n";

class Exportar : public ::testing::Test {
  protected:
    void SetUp() override {
        aux_ = test::NewAuxiliary(home_ / "a.db_");
        ASSERT_TRUE(aux_);
        engine::Error err;
        ASSERT_TRUE(CrearBoletin(*aux_, "Tema1", err));
        // Stored out of order: the file lists them by number.
        ASSERT_TRUE(InsertarLinea(*aux_, "Tema1", 2, "¿Cuántos?", "select\ncount(*) from t", err));
        ASSERT_TRUE(InsertarLinea(*aux_, "Tema1", 1, "Nombres", "select Nombre from t", err));
    }
    test::TempHome home_;
    std::shared_ptr<Database> aux_;
};

TEST_F(Exportar, BothLayoutsByteForByte) {
    const std::string q1 = "1. Nombres\r\n", q2 = "2. ¿Cuántos?\r\n";
    const std::string a1 = "1. select Nombre from t\r\n", a2 = "2. select\r\ncount(*) from t\r\n";
    const std::string vacia = "\r\n";
    const struct {
        Disposicion disposicion;
        std::string esperado;
    } casos[] = {
        {Disposicion::Continuas, q1 + vacia + vacia + q2 + vacia + vacia + kSep + vacia + a1 +
                                     vacia + vacia + a2 + vacia + vacia},
        {Disposicion::Separadas,
         q1 + vacia + vacia + a1 + kSep + vacia + q2 + vacia + vacia + a2 + kSep + vacia},
    };
    for (const auto& c : casos) {
        const fs::path ruta = RutaExportacion("Tema1", FormatoExportacion::Texto);
        EXPECT_EQ(ruta, home_ / "Tema1.TXT");
        engine::Error err;
        ASSERT_TRUE(
            ExportarBoletin(*aux_, "Tema1", c.disposicion, FormatoExportacion::Texto, ruta, err))
            << veliora::TextoDeError(err);
        EXPECT_EQ(test::ReadBytes(ruta), c.esperado);
    }
    // An empty bulletin: only the separator in the first layout, nothing in the second.
    EXPECT_EQ(TextoBoletin({}, Disposicion::Continuas), kSep + "\r\n");
    EXPECT_EQ(TextoBoletin({}, Disposicion::Separadas), "");
}

TEST_F(Exportar, HtmlPageHoldsTheLinesEscaped) {
    const std::string html =
        HtmlBoletin("A<B", {{1, "x < y & z", "select 1"}}, Disposicion::Separadas);
    EXPECT_NE(html.find("<title>A&lt;B</title>"), std::string::npos);
    EXPECT_NE(html.find("1. x &lt; y &amp; z"), std::string::npos);
    EXPECT_NE(html.find("1. select 1</pre>"), std::string::npos);
}

TEST_F(Exportar, UnsafeNamesAreRefusedAndNothingIsWritten) {
    for (const char* nombre : {"", ".", "..", "../fuera", "a/b", "a\\b", "tab\there", "nl\nx"}) {
        EXPECT_FALSE(NombreArchivoSeguro(nombre)) << nombre;
        EXPECT_TRUE(RutaExportacion(nombre, FormatoExportacion::Texto).empty()) << nombre;
    }
    for (const char* nombre : {"Tema1", "O'Brien", "a:b?", "...x", "Tema 1.bak"})
        EXPECT_TRUE(NombreArchivoSeguro(nombre)) << nombre;
}

}  // namespace
}  // namespace veliora

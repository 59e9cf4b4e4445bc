// The language setting and the registry-style settings store (veliora.ini).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/shell/globales.h"
#include "core/shell/registro.h"
#include "core/shell/textos.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

namespace fs = std::filesystem;
constexpr auto HKLM = RaizRegistro::HKEY_LOCAL_MACHINE;

class Registro : public ::testing::Test {
  protected:
    void TearDown() override { DesplazamientoIdioma = 0; }

    fs::path Ini() const { return home_ / "veliora.ini"; }
    std::string Idioma() {
        std::string valor = "sin leer";
        return GetKeyValue(HKLM, kClaveAplicacion, kValorIdioma, valor) ? valor : "(ninguno)";
    }
    // A hand-edited INI file, as an administrator would leave it.
    void EscribirIni(const std::string& contenido) { std::ofstream(Ini()) << contenido; }
    static void SoloLectura(const fs::path& ruta) {
        fs::permissions(ruta,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }

    test::TempHome home_;
};

// Values read back as written, each under its own root, key and name (empty: the key's
// default value).
TEST_F(Registro, WrittenValuesReadBackFromTheIniFile) {
    const struct {
        RaizRegistro raiz;
        std::string clave, nombre, valor;
    } casos[] = {
        {HKLM, kClaveAplicacion, kValorIdioma, "1"},
        {HKLM, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
         "C:\\Archivos de programa\\Información; a=b, c"},
        {RaizRegistro::HKEY_CLASSES_ROOT, "HTTP\\SHELL\\OPEN\\COMMAND", "",
         "\"/usr/bin/navegador\" --nueva \"%1\""},
    };
    ASSERT_TRUE(CrearClave(HKLM, kClaveAplicacion));
    for (const auto& c : casos) {
        ASSERT_TRUE(GuardarValor(c.raiz, c.clave, c.nombre, c.valor)) << c.clave;
        std::string leido;
        ASSERT_TRUE(GetKeyValue(c.raiz, c.clave, c.nombre, leido)) << c.clave;
        EXPECT_EQ(leido, c.valor);
    }
    EXPECT_TRUE(fs::is_regular_file(Ini()));
    ASSERT_TRUE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "0"));
    EXPECT_EQ(Idioma(), "0");
    std::string texto = "anterior";
    EXPECT_FALSE(
        GetKeyValue(RaizRegistro::HKEY_CURRENT_USER, kClaveAplicacion, kValorIdioma, texto));
    EXPECT_FALSE(GetKeyValue(HKLM, kClaveAplicacion, "OTRO", texto));
    EXPECT_EQ(texto, "");
}

TEST_F(Registro, StoredNumberReadsAsItsDecimalText) {
    EscribirIni("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\VELIORA\\IDIOMA=5\n");
    EXPECT_EQ(Idioma(), "5");
}

// Only "1" selects Valencian; a missing setting is created as Spanish, other values are kept.
TEST_F(Registro, LanguageSettingPicksTheOffset) {
    DesplazamientoIdioma = 10000;
    LeerIdioma();
    EXPECT_EQ(DesplazamientoIdioma, 0);
    EXPECT_EQ(Idioma(), "0");
    EXPECT_EQ(Texto(101), "Archivo");
    for (const char* valor : {"1", "5", "-1", "abc", "", "10000"}) {
        ASSERT_TRUE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, valor));
        DesplazamientoIdioma = 5;
        LeerIdioma();
        EXPECT_EQ(DesplazamientoIdioma, std::string(valor) == "1" ? 10000 : 0) << valor;
        EXPECT_EQ(Idioma(), valor);
    }
    ASSERT_TRUE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "1"));
    LeerIdioma();
    EXPECT_EQ(Texto(101), "Arxiu");
}

TEST_F(Registro, ReadOnlyFileIsReadButNotWritten) {
    ASSERT_TRUE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "1"));
    SoloLectura(Ini());
    LeerIdioma();
    EXPECT_EQ(DesplazamientoIdioma, 10000);
    EXPECT_FALSE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "0"));
    EXPECT_FALSE(CrearClave(HKLM, "SOFTWARE\\OTRA"));
    EXPECT_EQ(Idioma(), "1");
}

TEST_F(Registro, ReadOnlyFolderWithoutSettingRunsInSpanish) {
    SoloLectura(home_.path());
    EXPECT_FALSE(CrearClave(HKLM, kClaveAplicacion));
    EXPECT_FALSE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "1"));
    DesplazamientoIdioma = 10000;
    LeerIdioma();
    EXPECT_EQ(DesplazamientoIdioma, 0);
    EXPECT_FALSE(fs::exists(Ini()));
}

TEST_F(Registro, UnusableStoreFailsEverything) {
    fs::create_directory(Ini());  // a folder where the file should be
    EXPECT_FALSE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "1"));
    std::string texto = "x";
    EXPECT_FALSE(GetKeyValue(HKLM, kClaveAplicacion, kValorIdioma, texto));
    EXPECT_EQ(texto, "");
    LeerIdioma();
    EXPECT_EQ(DesplazamientoIdioma, 0);
}

}  // namespace
}  // namespace veliora

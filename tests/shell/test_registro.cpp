// The language setting and the registry-style settings store (veliora.ini).
#include "core/shell/registro.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/shell/globales.h"
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

TEST_F(Registro, WrittenValueReadsBackFromTheIniFile) {
    ASSERT_TRUE(CrearClave(HKLM, kClaveAplicacion));
    ASSERT_TRUE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "1"));
    EXPECT_TRUE(fs::is_regular_file(Ini()));
    EXPECT_EQ(Idioma(), "1");
    ASSERT_TRUE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "0"));
    EXPECT_EQ(Idioma(), "0");
}

TEST_F(Registro, MissingKeyOrValueFailsAndEmptiesTheText) {
    std::string texto = "anterior";
    EXPECT_FALSE(GetKeyValue(HKLM, kClaveAplicacion, kValorIdioma, texto));
    EXPECT_EQ(texto, "");
    ASSERT_TRUE(GuardarValor(HKLM, kClaveAplicacion, "OTRO", "x"));
    texto = "anterior";
    EXPECT_FALSE(GetKeyValue(HKLM, kClaveAplicacion, kValorIdioma, texto));
    EXPECT_EQ(texto, "");
}

TEST_F(Registro, EmptyValueNameIsTheKeysDefaultValue) {
    const std::string clave = "HTTP\\SHELL\\OPEN\\COMMAND";
    ASSERT_TRUE(GuardarValor(RaizRegistro::HKEY_CLASSES_ROOT, clave, "",
                             "\"/usr/bin/navegador\" --nueva \"%1\""));
    std::string texto;
    ASSERT_TRUE(GetKeyValue(RaizRegistro::HKEY_CLASSES_ROOT, clave, "", texto));
    EXPECT_EQ(texto, "\"/usr/bin/navegador\" --nueva \"%1\"");
}

TEST_F(Registro, RootsAreSeparate) {
    ASSERT_TRUE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "1"));
    std::string texto;
    EXPECT_FALSE(
        GetKeyValue(RaizRegistro::HKEY_CURRENT_USER, kClaveAplicacion, kValorIdioma, texto));
}

TEST_F(Registro, TextsKeepSpecialCharacters) {
    const std::string texto = "C:\\Archivos de programa\\Información; a=b, c";
    ASSERT_TRUE(GuardarValor(HKLM, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", texto));
    std::string leido;
    ASSERT_TRUE(GetKeyValue(HKLM, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", leido));
    EXPECT_EQ(leido, texto);
}

TEST_F(Registro, StoredNumberReadsAsItsDecimalText) {
    EscribirIni("[HKEY_LOCAL_MACHINE]\nSOFTWARE\\VELIORA\\IDIOMA=5\n");
    EXPECT_EQ(Idioma(), "5");
}

TEST_F(Registro, MissingSettingIsCreatedAsSpanish) {
    DesplazamientoIdioma = 10000;
    LeerIdioma();
    EXPECT_EQ(DesplazamientoIdioma, 0);
    EXPECT_EQ(Idioma(), "0");
    EXPECT_EQ(Texto(101), "Archivo");
}

TEST_F(Registro, ValueOneSelectsValencian) {
    ASSERT_TRUE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "1"));
    LeerIdioma();
    EXPECT_EQ(DesplazamientoIdioma, 10000);
    EXPECT_EQ(Texto(101), "Arxiu");
    EXPECT_EQ(Texto(102), "Obrir base de dades");
}

TEST_F(Registro, OtherValuesMeanSpanishAndAreKept) {
    for (const char* valor : {"5", "-1", "abc", "", "10000"}) {
        ASSERT_TRUE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, valor));
        DesplazamientoIdioma = 10000;
        LeerIdioma();
        EXPECT_EQ(DesplazamientoIdioma, 0) << valor;
        EXPECT_EQ(Idioma(), valor);
    }
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

// The language setting and the registry-style settings store (veliora.ini).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/app/aplicacion.h"
#include "core/base/textos.h"
#include "core/shell/registro.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

namespace fs = std::filesystem;
constexpr auto HKLM = RaizRegistro::HKEY_LOCAL_MACHINE;

class Registro : public ::testing::Test {
  protected:
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
    Aplicacion app_;
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

// Only "1" selects Valencian; a missing setting is created as Spanish, other values are kept.
TEST_F(Registro, LanguageSettingPicksTheOffset) {
    app_.FijarDesplazamientoIdioma(10000);
    app_.LeerIdioma();
    EXPECT_EQ(app_.DesplazamientoIdioma(), 0);
    EXPECT_EQ(Idioma(), "0");
    EXPECT_EQ(Texto(101), "Archivo");
    for (const char* valor : {"1", "5", "-1", "abc", "", "10000"}) {
        ASSERT_TRUE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, valor));
        app_.FijarDesplazamientoIdioma(5);
        app_.LeerIdioma();
        EXPECT_EQ(app_.DesplazamientoIdioma(), std::string(valor) == "1" ? 10000 : 0) << valor;
        EXPECT_EQ(Idioma(), valor);
    }
    ASSERT_TRUE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "1"));
    app_.LeerIdioma();
    EXPECT_EQ(Texto(101), "Arxiu");
}

TEST_F(Registro, ReadOnlyFileIsReadButNotWritten) {
    ASSERT_TRUE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "1"));
    SoloLectura(Ini());
    app_.LeerIdioma();
    EXPECT_EQ(app_.DesplazamientoIdioma(), 10000);
    EXPECT_FALSE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "0"));
    EXPECT_FALSE(CrearClave(HKLM, "SOFTWARE\\OTRA"));
    EXPECT_EQ(Idioma(), "1");
}

TEST_F(Registro, ReadOnlyFolderWithoutSettingRunsInSpanish) {
    SoloLectura(home_.path());
    EXPECT_FALSE(CrearClave(HKLM, kClaveAplicacion));
    EXPECT_FALSE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "1"));
    app_.FijarDesplazamientoIdioma(10000);
    app_.LeerIdioma();
    EXPECT_EQ(app_.DesplazamientoIdioma(), 0);
    EXPECT_FALSE(fs::exists(Ini()));
}

// A settings file that is no regular file, has a line over 64 KiB or does not parse is
// neither read (a pipe would block for ever) nor written: the defaults serve, with one warning.
// A numeric value out of its bounds takes its default, with a warning.
TEST_F(Registro, UnusableSettingsAreIgnoredWithAWarning) {
    std::vector<std::string> avisos;
    FijarReceptorAvisos([&](const std::string& t) { avisos.push_back(t); });
    const std::pair<std::function<void()>, int> casos[] = {
        {[&] { fs::create_directory(Ini()); }, 2150},
        {[&] { ASSERT_EQ(mkfifo(Ini().c_str(), 0600), 0); }, 2150},
        {[&] { EscribirIni("[HKEY_LOCAL_MACHINE]\nX=" + std::string(70000, 'a') + "\n"); }, 2152},
        {[&] { EscribirIni(std::string("[HKEY_LOCAL_MACHINE\nIDIOMA=\"1\n\xff\xfe", 24)); }, 2151},
    };
    for (const auto& [preparar, motivo] : casos) {
        std::error_code ec;
        fs::remove_all(Ini(), ec);
        avisos.clear();
        preparar();
        const std::string antes = fs::is_regular_file(Ini()) ? test::ReadBytes(Ini()) : "";
        EXPECT_EQ(Idioma(), "(ninguno)");
        EXPECT_FALSE(GuardarValor(HKLM, kClaveAplicacion, kValorIdioma, "1"));
        app_.LeerIdioma();
        EXPECT_EQ(app_.DesplazamientoIdioma(), 0);
        EXPECT_EQ(avisos, std::vector<std::string>{Texto(motivo, Ini().string())});
        EXPECT_EQ(fs::is_regular_file(Ini()) ? test::ReadBytes(Ini()) : "", antes);
    }
    fs::remove_all(Ini());
    avisos.clear();
    EscribirIni(
        "[HKEY_LOCAL_MACHINE]\nSOFTWARE\\VELIORA\\PRESUPUESTOCALIDAD=60000\n"
        "SOFTWARE\\VELIORA\\PRESUPUESTOCONTRAEJEMPLO=1e3\nSOFTWARE\\VELIORA\\EVITARTRIVIALES=0\n");
    EXPECT_EQ(LeerAjusteNumerico(kAjustePresupuestoCalidad), 150);
    EXPECT_EQ(LeerAjusteNumerico(kAjustePresupuestoContraejemplo), 300);
    EXPECT_EQ(LeerAjusteNumerico(kAjusteEvitarTriviales), 0);
    EXPECT_EQ(LeerAjusteNumerico(kAjusteIdioma), 0);  // absent: the default, no warning
    EXPECT_EQ(avisos, (std::vector<std::string>{
                          Texto(2153, {"PRESUPUESTOCALIDAD", "60000", "0", "1000", "150"}),
                          Texto(2153, {"PRESUPUESTOCONTRAEJEMPLO", "1e3", "0", "2000", "300"})}));
    FijarReceptorAvisos({});
}

}  // namespace
}  // namespace veliora

// The practice session without a window: the wait rule, bulletin navigation, generation
// and checking against the question on show.
#include <gtest/gtest.h>

#include "core/app/aplicacion.h"
#include "core/base/rutinas.h"
#include "core/bulletins/boletines.h"
#include "core/session/apertura.h"
#include "core/session/sesion.h"
#include "core/shell/directorio.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

class SesionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SembrarAleatorio(20240611);
        SembrarDirectorioAplicacion();
        Abrir(home_ / "alumnos.db", true);
    }
    void Abrir(const std::filesystem::path& ruta, bool crear) {
        if (crear)
            test::BuildDatabase(ruta,
                                "CREATE TABLE Alumnos (Id INTEGER, Nombre TEXT);"
                                "INSERT INTO Alumnos VALUES (1, 'Ana'), (2, 'Luis');");
        engine::Error err;
        ASSERT_EQ(app_.AbrirUsuario(ruta.string(), &err), 0) << veliora::TextoDeError(err);
        ASSERT_EQ(app_.AbrirAuxiliar(ruta.filename().string(), &err), 0)
            << veliora::TextoDeError(err);
    }
    void Boletin(const std::string& nombre, int lineas) {
        engine::Error err;
        for (int i = 1; i <= lineas; ++i)
            ASSERT_GT(AlmacenarPregunta(*app_.Auxiliar(), nombre, "P" + std::to_string(i),
                                        "select " + std::to_string(i), err),
                      0);
    }

    test::TempHome home_;
    Aplicacion app_;
};

TEST_F(SesionTest, WaitRuleByModeAndRole) {
    Boletin("B", 1);
    struct Caso {
        bool boletin, profesor;
        int ticks;
    };
    for (const Caso& c :
         {Caso{false, false, 5}, Caso{false, true, 0}, Caso{true, false, 1}, Caso{true, true, 1}}) {
        SesionPractica s(app_.Usuario(), app_.Auxiliar());
        if (c.boletin)
            ASSERT_TRUE(s.AbrirBoletin("B"));
        else
            s.FijarPregunta("select 1", "uno");
        s.EmpezarEspera(c.profesor);
        EXPECT_EQ(s.TicksRestantes(), c.ticks);
        EXPECT_EQ(s.TicksDeUnSegundo(), c.boletin);
        EXPECT_EQ(s.SolucionDisponible(), c.ticks == 0);
        EXPECT_EQ(s.Esperando(), c.ticks > 0);
        for (int i = 1; i < c.ticks; ++i) EXPECT_FALSE(s.Tick());
        EXPECT_TRUE(s.Tick());
        EXPECT_TRUE(s.SolucionDisponible());
        EXPECT_FALSE(s.Esperando());
    }
}

TEST_F(SesionTest, RightAnswerShowsTheSolutionAtOnceWhileTheWaitCounts) {
    SesionPractica s(app_.Usuario(), app_.Auxiliar());
    s.FijarPregunta("select Nombre from Alumnos where Id = 1", "Ana");
    s.EmpezarEspera(false);
    s.Tick();
    // A wrong answer's missing rows reveal the solution: hidden until it is available.
    const ResultadoPractica mal =
        s.Anotar(s.Comprobacion("select Nombre from Alumnos where Id = 2")());
    ASSERT_EQ(mal.resultado.veredicto, Veredicto::Erroneo);
    EXPECT_FALSE(mal.solucionDisponible);
    EXPECT_NE(mal.detalle.find("Luis"), std::string::npos);
    EXPECT_EQ(mal.detalle.find("Ana"), std::string::npos);
    // Right only on this data still makes the solution available; its detail is the
    // counterexample.
    const auto casi = s.Comprobar("select nombre from alumnos where nombre = 'Ana'");
    EXPECT_EQ(casi.resultado.veredicto, Veredicto::CorrectoSoloAqui);
    EXPECT_TRUE(casi.solucionDisponible);
    EXPECT_EQ(casi.detalle, casi.resultado.mensaje);
    s.Comprobar("select Nombre from Alumnos where Id = 2");
    EXPECT_NE(s.Detalle().find("Ana"), std::string::npos);
    const auto bien = s.Comprobar("select nombre from alumnos where id = 1");
    EXPECT_EQ(bien.resultado.veredicto, Veredicto::Correcto);
    EXPECT_TRUE(bien.detalle.empty());
    EXPECT_EQ(s.TicksRestantes(), 4);
    // A new question waits again.
    s.EmpezarEspera(false);
    EXPECT_FALSE(s.SolucionDisponible());
    EXPECT_EQ(s.TicksRestantes(), 5);
}

TEST_F(SesionTest, BulletinNavigationAndBackToRandom) {
    Boletin("Tres", 3);
    SesionPractica s(app_.Usuario(), app_.Auxiliar());
    ASSERT_TRUE(s.AbrirBoletin("Tres"));
    EXPECT_EQ(s.TotalPreguntas(), 3u);
    EXPECT_FALSE(s.HayAnterior());
    EXPECT_FALSE(s.Anterior());
    EXPECT_EQ(s.Pregunta(), "P1");
    EXPECT_TRUE(s.Siguiente());
    EXPECT_TRUE(s.Siguiente());
    EXPECT_FALSE(s.HaySiguiente());
    EXPECT_FALSE(s.Siguiente());
    EXPECT_EQ(s.Posicion(), 2u);
    EXPECT_EQ(s.Pregunta(), "P3");
    // The check uses the line on show.
    EXPECT_EQ(s.Comprobar("select 3").resultado.veredicto, Veredicto::Correcto);

    s.ModoAleatorio();
    EXPECT_FALSE(s.ModoBoletin());
    EXPECT_TRUE(s.Pregunta().empty());
    EXPECT_TRUE(s.Solucion().empty());
    EXPECT_FALSE(s.SolucionDisponible());
    // Nothing to judge against: the solution is reported as invalid.
    EXPECT_EQ(s.Comprobar("select 1").resultado.veredicto, Veredicto::SolucionInvalida);

    EXPECT_FALSE(s.AbrirBoletin("No existe"));
    EXPECT_TRUE(s.ModoBoletin());
    EXPECT_EQ(s.TotalPreguntas(), 0u);
    EXPECT_TRUE(s.Pregunta().empty());
}

TEST_F(SesionTest, GeneratesOnFirstUseAndNeverInBulletinMode) {
    app_.SoltarBases();
    Abrir(test::SamplePath("tienda.db"), false);
    SesionPractica s(app_.Usuario(), app_.Auxiliar());
    ASSERT_TRUE(s.NuevaPregunta({true, false, false, false, false}));
    EXPECT_FALSE(s.Pregunta().empty());
    EXPECT_EQ(s.Comprobar(s.Solucion()).resultado.veredicto, Veredicto::Correcto);
    Boletin("B", 1);
    ASSERT_TRUE(s.AbrirBoletin("B"));
    EXPECT_FALSE(s.NuevaPregunta({true, true, true, true, true}));
    EXPECT_EQ(s.Pregunta(), "P1");

    SesionPractica sinBases(nullptr, nullptr);
    EXPECT_FALSE(sinBases.NuevaPregunta({true, true, true, true, true}));
    EXPECT_EQ(sinBases.Comprobar("select 1").resultado.veredicto, Veredicto::SolucionInvalida);
}

}  // namespace
}  // namespace veliora

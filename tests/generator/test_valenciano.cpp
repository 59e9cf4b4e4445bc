// Questions worded in Valencian: one of each kind on a sample with its Valencian dictionary,
// word for word, and the same queries as in Spanish for the same seed.
#include "core/shell/errores.h"
#include "generator/entorno.h"

namespace veliora::test {
namespace {

using generador::Idioma;

class Valenciano : public ::testing::Test {
  protected:
    void SetUp() override {
        AbrirMuestra(home_, "tienda.db", usuario_, auxiliar_);
        if (HasFatalFailure())
            return;
        es_ = Motor(Idioma::Castellano);
        va_ = Motor(Idioma::Valenciano);
    }
    std::unique_ptr<generador::Motor> Motor(Idioma idioma) {
        auto m = std::make_unique<generador::Motor>(usuario_, auxiliar_);
        m->FijarIdioma(idioma);
        m->Calidad.activa = false;  // what is drawn must not depend on the machine
        engine::Error err;
        EXPECT_TRUE(m->Cargar(err)) << veliora::TextoDeError(err);
        return m;
    }
    static std::array<bool, 5> Caja(int caja) {
        std::array<bool, 5> marcas{};
        marcas[std::size_t(caja - 1)] = true;
        return marcas;
    }
    TempHome home_;
    std::shared_ptr<engine::Database> usuario_, auxiliar_;
    std::unique_ptr<generador::Motor> es_, va_;
};

TEST_F(Valenciano, OneQuestionOfEachKind) {
    const struct {
        int caja;
        std::uint64_t semilla;
        const char* pregunta;
    } casos[] = {
        {1, 3,
         "Mostrar el codi postal màxim dels clients la província dels quals siga igual a "
         "'león'"},
        {2, 6,
         "Seleccionar l'import màxim de les devolucions de línies de comanda el número de línia "
         "de les quals siga menor o igual a 3"},
        {3, 1,
         "Obtindre quantes categories existeixen que inclouen productes que apareixen en línies "
         "de comanda amb el percentatge de descompte major o igual a 0"},
        {4, 3,
         "Obtindre els codis de producte de les línies de comanda que tenen el número de línia "
         "distint de 3 agrupant pels codis de producte de les línies de comanda"},
        {5, 7,
         "Seleccionar els costos d'enviament de les comandes que tenen línies de comanda que "
         "tenen el número de línia igual a 1 i el percentatge de descompte igual al percentatge "
         "de descompte mínim de les línies de comanda amb el número de comanda entre 16 i 83 amb "
         "la condició que per a cada cost d'enviament el número de línia màxim siga major o "
         "igual a 4"},
    };
    for (const auto& c : casos) {
        SembrarAleatorio(c.semilla);
        ASSERT_TRUE(va_->GenerarPregunta(Caja(c.caja)));
        EXPECT_EQ(va_->TextoPregunta, c.pregunta) << va_->SolucionSQL;
    }
}

// Both languages draw the same numbers: the same seed gives the same query and plan.
TEST_F(Valenciano, SameQueriesAsInSpanish) {
    for (int caja = 1; caja <= 5; ++caja)
        for (std::uint64_t semilla = 1; semilla <= 40; ++semilla) {
            SembrarAleatorio(semilla);
            ASSERT_TRUE(es_->GenerarPregunta(Caja(caja)));
            SembrarAleatorio(semilla);
            ASSERT_TRUE(va_->GenerarPregunta(Caja(caja)));
            EXPECT_EQ(va_->SolucionSQL, es_->SolucionSQL);
            EXPECT_EQ(va_->Ultima().Plan.SqlSubquery, es_->Ultima().Plan.SqlSubquery);
            EXPECT_EQ(va_->Ultima().Intentos, es_->Ultima().Intentos);
            const std::string& p = va_->TextoPregunta;
            EXPECT_EQ(p.find("  "), std::string::npos) << p;
            EXPECT_NE(p.back(), ' ') << p;
        }
}

}  // namespace
}  // namespace veliora::test

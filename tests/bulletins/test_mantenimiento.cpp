// Editing bulletins by hand: numbers, headers, lines and the lines cursor.
#include <gtest/gtest.h>

#include <string>

#include "core/bulletins/encriptar.h"
#include "core/bulletins/mantenimiento.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

using engine::Database;
using engine::Value;

class Mantenimiento : public ::testing::Test {
  protected:
    void SetUp() override {
        aux_ = test::NewAuxiliary(home_ / "alumnos.db_");
        ASSERT_TRUE(aux_);
    }
    std::int64_t Contar(const std::string& sql) {
        engine::Error err;
        return aux_->Scalar(sql, err).toInt();
    }
    test::TempHome home_;
    std::shared_ptr<Database> aux_;
};

TEST(NumeroPreguntaTest, OnlyPlainWholeNumbersInRange) {
    const struct {
        const char* texto;
        int numero;  // 0: refused
    } casos[] = {
        {"1", 1},  {"0012", 12}, {"9999999", 9999999}, {"", 0},         {"0", 0},   {"-3", 0},
        {"+3", 0}, {" 3", 0},    {"12abc", 0},         {"3 or 1=1", 0}, {"1.5", 0}, {"10000000", 0},
    };
    for (const auto& c : casos) {
        auto n = NumeroPregunta(c.texto);
        EXPECT_EQ(n.value_or(0), c.numero) << c.texto;
    }
}

TEST_F(Mantenimiento, NumbersProposeHighestPlusOneAndGapsStay) {
    engine::Error err;
    const std::string b = "Tema 'uno'";  // a quote in the name works everywhere
    ASSERT_TRUE(CrearBoletin(*aux_, b, err)) << veliora::TextoDeError(err);
    EXPECT_TRUE(ExisteBoletin(*aux_, "tema 'UNO'", err));  // names compare ignoring case
    EXPECT_EQ(SiguienteNumero(*aux_, b, err), 1);
    for (int n : {1, 2, 5}) ASSERT_TRUE(InsertarLinea(*aux_, b, n, "p", "select 1", err));
    EXPECT_EQ(SiguienteNumero(*aux_, b, err), 6);
    ASSERT_TRUE(EliminarLinea(*aux_, b, 5, err));
    EXPECT_EQ(SiguienteNumero(*aux_, b, err), 3);
    EXPECT_TRUE(ExistePregunta(*aux_, b, 2, err));
    EXPECT_FALSE(ExistePregunta(*aux_, b, 5, err));

    // Taken, out-of-range and missing numbers are refused without touching the rows.
    EXPECT_FALSE(InsertarLinea(*aux_, b, 2, "otra", "select 2", err));
    EXPECT_TRUE(err.failed());
    EXPECT_FALSE(InsertarLinea(*aux_, b, 0, "p", "select 1", err));
    EXPECT_FALSE(InsertarLinea(*aux_, b, kMaxNumPregunta + 1, "p", "select 1", err));
    EXPECT_FALSE(ModificarLinea(*aux_, b, 7, "p", "select 1", err));
    EXPECT_EQ(err.code, engine::Code::NoSuchLine);
    EXPECT_FALSE(EliminarLinea(*aux_, b, 5, err));
    EXPECT_EQ(err.code, engine::Code::NoSuchLine);
    EXPECT_EQ(Contar("select count(*) from LBoletines"), 2);
}

TEST_F(Mantenimiento, TextsAreStoredScrambledAndReadBackPlain) {
    engine::Error err;
    ASSERT_TRUE(CrearBoletin(*aux_, "T", err));
    const std::string pregunta = "¿Qué alumnos tienen nota?";
    const std::string sql = "Select [Nombre]\nfrom [Alumnos]\nwhere [Nota] is not null";
    ASSERT_TRUE(InsertarLinea(*aux_, "T", 4, pregunta, sql, err)) << veliora::TextoDeError(err);
    auto rs = aux_->OpenRecordset("select Pregunta, Respuesta from LBoletines", err);
    ASSERT_TRUE(rs && !rs->Eof());
    EXPECT_EQ(rs->Field(0).text, *Encriptar(pregunta, kClaveRespuestas));
    EXPECT_EQ(rs->Field(1).text.find("Alumnos"), std::string::npos);

    ASSERT_TRUE(ModificarLinea(*aux_, "T", 4, "otra", "select 2", err));
    auto lineas = LeerBoletin(*aux_, "T", err);
    ASSERT_EQ(lineas.size(), 1u);
    EXPECT_EQ(lineas[0].NumPregunta, 4);
    EXPECT_EQ(lineas[0].Pregunta, "otra");
    EXPECT_EQ(lineas[0].Respuesta, "select 2");

    // A character the scrambling cannot hold stores nothing and keeps the old texts.
    EXPECT_FALSE(ModificarLinea(*aux_, "T", 4, "emoji \xF0\x9F\x98\x80", "select 3", err));
    EXPECT_EQ(err.code, engine::Code::TextNotStorable);
    EXPECT_FALSE(InsertarLinea(*aux_, "T", 5, "bien", "select '\xE2\x82\xAC\xE2\x98\x83'", err));
    EXPECT_EQ(LeerBoletin(*aux_, "T", err)[0].Pregunta, "otra");
    EXPECT_EQ(Contar("select count(*) from LBoletines"), 1);
}

TEST_F(Mantenimiento, DeletingABulletinTakesHeaderAndLinesTogether) {
    engine::Error err;
    for (const char* b : {"A", "B"}) {
        ASSERT_TRUE(CrearBoletin(*aux_, b, err));
        ASSERT_TRUE(InsertarLinea(*aux_, b, 1, "p", "select 1", err));
        ASSERT_TRUE(InsertarLinea(*aux_, b, 2, "p", "select 1", err));
    }
    ASSERT_TRUE(EliminarBoletin(*aux_, "A", err)) << veliora::TextoDeError(err);
    auto resumen = ResumenBoletines(*aux_, err);
    ASSERT_EQ(resumen.size(), 1u);
    EXPECT_EQ(resumen[0].Nombre, "B");
    EXPECT_EQ(resumen[0].Lineas, 2);
    EXPECT_EQ(Contar("select count(*) from LBoletines where NombreBoletin = 'A'"), 0);

    // When the lines cannot go, the header stays too.
    ASSERT_TRUE(
        aux_->Execute("create trigger NoBorrar before delete on LBoletines "
                      "begin select raise(abort, 'bloqueado'); end",
                      err));
    PasoEliminacion paso;
    EXPECT_FALSE(EliminarBoletin(*aux_, "B", err, &paso));
    EXPECT_EQ(paso, PasoEliminacion::Lineas);
    EXPECT_EQ(Contar("select count(*) from CabBoletines"), 1);
    EXPECT_EQ(Contar("select count(*) from LBoletines"), 2);
}

TEST(CursorLineasTest, WalksLinesAndKeepsInStepWithChanges) {
    CursorLineas vacio;
    EXPECT_TRUE(vacio.Bof());
    vacio.MoveNext();
    EXPECT_TRUE(vacio.Eof());
    EXPECT_EQ(vacio.Actual(), nullptr);

    CursorLineas c({{1, "a", "A"}, {2, "b", "B"}, {5, "e", "E"}});
    EXPECT_EQ(c.Actual(), nullptr);  // before the first line
    c.MoveNext();
    ASSERT_TRUE(c.Actual());
    EXPECT_EQ(c.Actual()->NumPregunta, 1);
    ASSERT_TRUE(c.Buscar(2));
    c.Eliminada(2);
    EXPECT_EQ(c.Actual(), nullptr);
    c.MoveNext();  // the line after the deleted one
    EXPECT_EQ(c.Actual()->NumPregunta, 5);
    c.Insertada({3, "c", "C"});
    c.MovePrevious();
    EXPECT_EQ(c.Actual()->NumPregunta, 3);
    c.Modificada(3, "x", "X");
    EXPECT_EQ(c.Actual()->Pregunta, "x");
    EXPECT_FALSE(c.Buscar(2));
    EXPECT_EQ(c.Actual()->NumPregunta, 3);
}

}  // namespace
}  // namespace veliora

#include <gtest/gtest.h>

#include <array>

#include "core/dictionary/diccionario.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

using engine::Database;

// A school with a Valencian table name that carries a quote, and its auxiliary database
// from the template, holding an old dictionary and a bulletin.
class Diccionario : public ::testing::Test {
  protected:
    void SetUp() override {
        test::BuildDatabase(home_ / "escola.db",
                            "CREATE TABLE \"l'alumne\"(Id INTEGER PRIMARY KEY, Nom TEXT);"
                            "CREATE TABLE Notas(Id INTEGER PRIMARY KEY,"
                            "  IdAlumne INTEGER REFERENCES \"l'alumne\"(Id), Nota REAL,"
                            "  \"d'examen\" TEXT);"
                            "CREATE TABLE Ciudad(Codi TEXT);");
        usuario_ = test::OpenDatabase(home_ / "escola.db", Database::Kind::User);
        aux_ = test::NewAuxiliary(home_ / "escola.db_",
                                  "INSERT INTO Tablas VALUES ('Antigua','vieja','viejas',0,5,6);"
                                  "INSERT INTO Campos VALUES ('Antigua','X','x','xs',0,-1);"
                                  "INSERT INTO Relaciones VALUES ('R','a','b',-1,-1);"
                                  "INSERT INTO CabBoletines VALUES ('Tema 1');"
                                  "INSERT INTO LBoletines VALUES ('Tema 1',1,X'01',X'02');");
        ASSERT_TRUE(usuario_ && aux_);
    }
    std::int64_t Cuenta(const std::string& tabla) {
        engine::Error err;
        return aux_->Scalar("select count(*) from " + tabla, err).toInt();
    }

    test::TempHome home_;
    std::shared_ptr<Database> usuario_, aux_;
};

TEST_F(Diccionario, InicializacionEscribeLosNombresPorDefectoYNoTocaLosBoletines) {
    ColTablas estructura;
    const ResultadoInicializacion r = GenerarDatosAuxiliares(*usuario_, *aux_, estructura);
    ASSERT_TRUE(r.Correcto()) << veliora::TextoDeError(r.error);
    EXPECT_TRUE(r.Errores.empty());
    EXPECT_EQ(estructura.Count(), 3);
    EXPECT_EQ((std::array{r.Tablas, r.Campos, r.Relaciones}), (std::array{3, 7, 1}));
    EXPECT_EQ((std::array{Cuenta("Tablas"), Cuenta("Campos"), Cuenta("Relaciones")}),
              (std::array<std::int64_t, 3>{3, 7, 1}));
    // The Valencian tables, which the template lacks, are made and filled alike.
    EXPECT_EQ((std::array{Cuenta("TablasVa"), Cuenta("CamposVa"), Cuenta("RelacionesVa")}),
              (std::array<std::int64_t, 3>{3, 7, 1}));
    EXPECT_EQ(Cuenta("CabBoletines"), 1);
    EXPECT_EQ(Cuenta("LBoletines"), 1);

    engine::Error err;
    DatosTabla t;
    ASSERT_TRUE(LeerDatosTabla(*aux_, "l'alumne", t, err));
    EXPECT_TRUE(t.Guardada);
    EXPECT_EQ(t.NombrePlural, "l'alumnes");
    EXPECT_TRUE(t.MascFeme);
    EXPECT_TRUE(t.Va.Guardada);
    EXPECT_EQ(t.Va.NombrePlural, "l'alumnes");
    EXPECT_EQ(aux_->Scalar("select MascFeme from Tablas where Nombre = 'Notas'", err).toInt(), 0);
    EXPECT_EQ(aux_->Scalar("select MascFeme from Tablas where Nombre = 'Ciudad'", err).toInt(), -1);
    EXPECT_EQ(aux_->Scalar("select count(*) from Campos where PermiteSum <> 0", err).toInt(), 0);
    DatosCampo c;
    ASSERT_TRUE(LeerDatosCampo(*aux_, "Notas", "d'examen", c, err));
    EXPECT_TRUE(c.Guardada);
    EXPECT_EQ(c.NombrePlural, "d'examenes");
    DatosRelacion rel;
    ASSERT_TRUE(LeerDatosRelacion(*aux_, usuario_->Relations(err).at(0).Name, rel, err));
    EXPECT_TRUE(rel.Guardada);
    EXPECT_EQ(rel.Traduccion + "/" + rel.Traduccion2, "de/de");
    EXPECT_FALSE(rel.NoConcatenar || rel.NoConcatenar2);
}

TEST_F(Diccionario, UnaEstructuraIlegibleDejaElDiccionarioAnterior) {
    usuario_->Close();
    ColTablas estructura;
    const ResultadoInicializacion r = GenerarDatosAuxiliares(*usuario_, *aux_, estructura);
    EXPECT_FALSE(r.Correcto());
    EXPECT_EQ(r.contexto, kTextoLeyendoEstructura);
    EXPECT_EQ((std::array{Cuenta("Tablas"), Cuenta("Campos"), Cuenta("Relaciones")}),
              (std::array<std::int64_t, 3>{1, 1, 1}));
}

TEST_F(Diccionario, UnaFilaRechazadaSeInformaYElRestoSeEscribe) {
    engine::Error err;
    ASSERT_TRUE(
        aux_->Execute("CREATE TRIGGER rechazo BEFORE INSERT ON Campos WHEN new.Nombre = "
                      "'Nota' BEGIN SELECT RAISE(ABORT, 'rechazada'); END",
                      err));
    ColTablas estructura;
    const ResultadoInicializacion r = GenerarDatosAuxiliares(*usuario_, *aux_, estructura);
    ASSERT_TRUE(r.Correcto());
    ASSERT_EQ(r.Errores.size(), 1u);
    EXPECT_EQ(r.Errores[0].contexto, kTextoInsertandoCampos);
    EXPECT_NE(veliora::TextoDeError(r.Errores[0].error).find("rechazada"), std::string::npos);
    EXPECT_EQ(Cuenta("Campos"), 6);
    EXPECT_EQ(Cuenta("Tablas"), 3);
}

TEST_F(Diccionario, GuardarActualizaLaFilaLeidaEInsertaLaQueFalta) {
    ColTablas estructura;
    ASSERT_TRUE(GenerarDatosAuxiliares(*usuario_, *aux_, estructura).Correcto());
    engine::Error err;

    // Stored row: updated, quotes included; the other rows stay as they were.
    DatosCampo c;
    ASSERT_TRUE(LeerDatosCampo(*aux_, "Notas", "Nota", c, err));
    c.NombreSingular = "nota d'examen";
    c.NombrePlural = "notes d'examen";
    c.MascFeme = false;
    c.PermiteSum = true;
    ASSERT_TRUE(GuardarDatosCampo(*aux_, c, err)) << veliora::TextoDeError(err);
    DatosCampo leido;
    ASSERT_TRUE(LeerDatosCampo(*aux_, "notas", "nota", leido, err));
    EXPECT_EQ(leido.NombrePlural, "notes d'examen");
    EXPECT_TRUE(leido.PermiteSum);
    EXPECT_FALSE(leido.MascFeme);
    EXPECT_EQ(aux_->Scalar("select count(*) from Campos where PermiteSum <> 0", err).toInt(), 1);

    // A table without a row reads as its defaults and is inserted on saving.
    ASSERT_TRUE(aux_->Execute("Delete from Tablas where Nombre = 'Ciudad'", err));
    DatosTabla t;
    ASSERT_TRUE(LeerDatosTabla(*aux_, "Ciudad", t, err));
    EXPECT_FALSE(t.Guardada);
    EXPECT_EQ(t.NombrePlural, "Ciudades");
    t.NombrePlural = "ciutats";
    ASSERT_TRUE(GuardarDatosTabla(*aux_, t, err));
    EXPECT_TRUE(t.Guardada);
    EXPECT_EQ(aux_->Scalar("select NombrePlural from Tablas where Nombre = 'Ciudad'", err).text,
              "ciutats");
    // Names nulled by hand read as the defaults; an empty name stays the teacher's.
    ASSERT_TRUE(aux_->Execute(
        "Update Tablas set NombreSingular = NULL, NombrePlural = '' where Nombre = 'Ciudad'", err));
    ASSERT_TRUE(LeerDatosTabla(*aux_, "Ciudad", t, err));
    EXPECT_TRUE(t.Guardada);
    EXPECT_EQ(t.NombreSingular, TablaPorDefecto("Ciudad").NombreSingular);
    EXPECT_EQ(t.NombrePlural, "");

    // The row vanished after it was read: the update says so.
    DatosRelacion rel;
    ASSERT_TRUE(LeerDatosRelacion(*aux_, usuario_->Relations(err).at(0).Name, rel, err));
    ASSERT_TRUE(aux_->Execute("Delete from Relaciones", err));
    rel.Traduccion = "de l'";
    EXPECT_FALSE(GuardarDatosRelacion(*aux_, rel, err));
    EXPECT_TRUE(err.failed());
    EXPECT_EQ(Cuenta("Relaciones"), 0);
}

// A file from before the Valencian tables: their rows read as the default Valencian names,
// and saving one makes the tables and leaves the Spanish rows alone.
TEST_F(Diccionario, LosNombresValencianosSinTablasSeLeenPorDefectoYSeGuardanCreandolas) {
    engine::Error err;
    DatosTabla t;
    ASSERT_TRUE(LeerDatosTabla(*aux_, "Ciudad", t, err)) << veliora::TextoDeError(err);
    EXPECT_FALSE(t.Va.Guardada);
    EXPECT_EQ(t.Va.NombrePlural, "Ciudads");
    DatosRelacion rel;
    ASSERT_TRUE(LeerDatosRelacion(*aux_, "R", rel, err));
    EXPECT_EQ(rel.Va.Traduccion, "de");
    EXPECT_TRUE(rel.NoConcatenar);

    t.Va = {"ciutat", "ciutats", false, false};
    ASSERT_TRUE(GuardarDatosTablaVa(*aux_, t, err)) << veliora::TextoDeError(err);
    ASSERT_TRUE(GuardarDatosTablaVa(*aux_, t, err))
        << veliora::TextoDeError(err);  // replaces its row
    DatosTabla leida;
    ASSERT_TRUE(LeerDatosTabla(*aux_, "CIUDAD", leida, err));
    EXPECT_TRUE(leida.Va.Guardada);
    EXPECT_EQ(leida.Va.NombrePlural, "ciutats");
    EXPECT_FALSE(leida.Va.MascFeme);
    EXPECT_FALSE(leida.Guardada);
    EXPECT_EQ(Cuenta("Tablas"), 1);
    EXPECT_EQ(Cuenta("TablasVa"), 1);
}

TEST_F(Diccionario, PosicionesGuardadasYLeidas) {
    std::int64_t x = -1, y = -1;
    EXPECT_TRUE(LeerPosicion(*aux_, "antigua", x, y));
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 6);
    EXPECT_FALSE(LeerPosicion(*aux_, "Notas", x, y));  // no row

    engine::Error err;
    ASSERT_TRUE(GuardarPosicion(*aux_, "Antigua", 0, 0, err));
    EXPECT_FALSE(LeerPosicion(*aux_, "Antigua", x, y));  // (0, 0) is no position
    // A table without a row gets one with its default names.
    ASSERT_TRUE(GuardarPosicion(*aux_, "l'alumne", 2640, 2070, err)) << veliora::TextoDeError(err);
    ASSERT_TRUE(LeerPosicion(*aux_, "l'alumne", x, y));
    EXPECT_EQ(x, 2640);
    EXPECT_EQ(y, 2070);
    DatosTabla t;
    ASSERT_TRUE(LeerDatosTabla(*aux_, "l'alumne", t, err));
    EXPECT_EQ(t.NombreSingular, "l'alumne");
}

}  // namespace
}  // namespace veliora

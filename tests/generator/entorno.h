#pragma once
// Shared set-up of the generator tests: a user database and its dictionary built from
// fixtures in a fresh application directory, and a generator over them.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "core/base/recursos.h"
#include "core/base/rutinas.h"
#include "core/engine/database.h"
#include "core/generator/motor.h"
#include "core/generator/reglas.h"
#include "core/base/recursos.h"
#include "core/base/rutinas.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"

namespace veliora::test {

// Positions in gen_formas (tables by name, fields in declaration order).
namespace formas {
constexpr int Clientes = 1, Lineas = 2, Pedidos = 3, Tiendas = 4, Zonas = 5;
// Clientes
constexpr int CliId = 1, CliNombre = 2, CliCiudad = 3, CliEdad = 4, CliVip = 5;
// Pedidos
constexpr int PedId = 1, PedIdCliente = 2, PedImporte = 3, PedFecha = 4, PedIdTienda = 5;
// Lineas
constexpr int LinId = 1, LinIdPedido = 2, LinCantidad = 3, LinProducto = 4;
// Zonas
constexpr int ZonPais = 1, ZonCodigo = 2, ZonNombre = 3;
// Relations
constexpr int ClientesPedidos = 0, PedidosLineas = 1, TiendasPedidos = 2, ZonasTiendas = 3;
}  // namespace formas

// A plan written on one line in tables of cases: the table, selected field and aggregate,
// then whatever the case adds.
struct Plan : generador::PlanConsulta {
    Plan(int tabla, int campo, int agregado, bool distinto = false) {
        IndTabla = tabla;
        IndCampo = campo;
        Agregado = agregado;
        Distinto = distinto;
    }
    Plan& Donde(int campo, int op = 0, std::string v1 = "", std::string v2 = "") {
        IndCampoCond = campo;
        Operador = op;
        Valor1 = std::move(v1);
        Valor2 = std::move(v2);
        return *this;
    }
    Plan& Une(int tabla2, int relacion, int tabla3 = 0, int relacion2 = 0) {
        IndTabla2 = tabla2;
        IndRelacion = relacion;
        IndTabla3 = tabla3;
        IndRelacion2 = relacion2;
        return *this;
    }
    Plan& Agrupa(int grupo, int agregado, bool mostrar, int having = generador::Agregados::Ninguno,
                 int opHaving = 0, std::string valorHaving = "") {
        IndCampoGrupo = grupo;
        IndCampoAgregado = agregado;
        MostrarAgregado = mostrar;
        AgregadoHaving = having;
        OperadorHaving = opHaving;
        ValorHaving = std::move(valorHaving);
        return *this;
    }
    Plan& Subconsulta(int tipo, int conector, int campo, int op, std::string sql,
                      std::string texto = "") {
        TipoSubquery = tipo;
        Conector = conector;
        IndCampoSub = campo;
        OperadorSub = op;
        SqlSubquery = std::move(sql);
        TextoSubquery = std::move(texto);
        return *this;
    }
};

class EntornoGenerador {
  public:
    // Builds the user database from `sqlUsuario` and its auxiliary database from the
    // template schema plus `sqlAuxiliar`, opens both as the program does and loads a
    // generator over them.
    void Construir(const std::string& sqlUsuario, const std::string& sqlAuxiliar = "") {
        rutaUsuario = home / "usuario.db";
        rutaAuxiliar = home / "usuario.db_";
        BuildDatabase(rutaUsuario, sqlUsuario);
        BuildDatabase(rutaAuxiliar,
                      std::string(EmbeddedResource("bdaux.sql")) + "\n" + sqlAuxiliar);
        engine::Error err;
        usuario = engine::Database::Open(rutaUsuario.string(), engine::Database::Kind::User, err);
        ASSERT_TRUE(usuario) << veliora::TextoDeError(err);
        auxiliar =
            engine::Database::Open(rutaAuxiliar.string(), engine::Database::Kind::Auxiliary, err);
        ASSERT_TRUE(auxiliar) << veliora::TextoDeError(err);
        motor = std::make_unique<generador::Motor>(usuario, auxiliar);
        ASSERT_TRUE(motor->Cargar(err)) << veliora::TextoDeError(err);
    }
    void ConstruirFixture(const std::string& usuarioFixture, const std::string& auxFixture = "") {
        Construir(ReadFixture(usuarioFixture), auxFixture.empty() ? "" : ReadFixture(auxFixture));
    }

    TempHome home;
    std::filesystem::path rutaUsuario, rutaAuxiliar;
    std::shared_ptr<engine::Database> usuario, auxiliar;
    std::unique_ptr<generador::Motor> motor;
};

// Every text that `f` gives over `veces` seeds.
inline std::set<std::string> Variantes(const std::function<std::string()>& f, int veces = 300) {
    std::set<std::string> textos;
    for (int i = 0; i < veces; ++i) {
        SembrarAleatorio(std::uint64_t(i) * 7919u + 1u);
        textos.insert(f());
    }
    return textos;
}

// Every result that `f` gives over `veces` draws from one seed.
inline std::set<int> Valores(const std::function<int()>& f, int veces = 400) {
    SembrarAleatorio(12345);
    std::set<int> valores;
    for (int i = 0; i < veces; ++i) valores.insert(f());
    return valores;
}

// A sample database and its auxiliary database, copied into `home` and opened as the
// program opens them; null databases after a failed assertion.
inline void AbrirMuestra(const TempHome& home, const std::string& nombre,
                         std::shared_ptr<engine::Database>& usuario,
                         std::shared_ptr<engine::Database>& auxiliar) {
    std::filesystem::copy_file(SamplePath(nombre), home / nombre);
    std::filesystem::copy_file(SamplePath(nombre + "_"), home / (nombre + "_"));
    engine::Error err;
    usuario = engine::Database::Open((home / nombre).string(), engine::Database::Kind::User, err);
    ASSERT_TRUE(usuario) << veliora::TextoDeError(err);
    auxiliar = engine::Database::Open((home / (nombre + "_")).string(),
                                      engine::Database::Kind::Auxiliary, err);
    ASSERT_TRUE(auxiliar) << veliora::TextoDeError(err);
}

}  // namespace veliora::test

#pragma once
// What the class tests share: a store of either kind, material to publish, attempts.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <memory>
#include <set>
#include <string>

#include "core/aula/almacen.h"
#include "core/aula/clase.h"
#include "core/aula/postgres.h"
#include "support/fixtures.h"
#include "support/servidor_pg.h"

namespace veliora::test {

inline std::string Sha256(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

// Bytes that pass for a database file.
inline std::string BytesBd(const std::string& contenido) {
    return std::string("SQLite format 3\0", 16) + contenido;
}

inline aula::Material MaterialDePrueba(const std::string& contenido) {
    aula::Material m;
    m.nombreBd = "tienda.db";
    m.bd = BytesBd(contenido);
    m.aux = BytesBd("aux " + contenido);
    return m;
}

inline aula::Intento IntentoDePrueba(const std::string& boletin, int numero,
                                     const std::string& veredicto, aula::Instante cuando = 0) {
    aula::Intento i;
    i.uuid = aula::NuevoIntento({}, {}).uuid;
    i.hashBd = std::string(64, 'a');
    i.boletin = boletin;
    i.numero = numero;
    i.respuesta = "select 1";
    i.veredicto = veredicto;
    i.comprobada = cuando ? cuando : aula::Ahora();
    return i;
}

// The teacher's and the students' stores of one kind: "embebido" (aula.db of a temporary
// application directory) or "postgres" (the shared test server).
class Almacenes {
  public:
    explicit Almacenes(const std::string& servidor) : servidor_(servidor) {}
    const std::string& Servidor() const { return servidor_; }
    const TempHome& Home() const { return home_; }
    std::unique_ptr<aula::Almacen> Profesor() {
        aula::Error e;
        auto a = aula::AlmacenProfesor(home_.path(), servidor_, "", e);
        EXPECT_TRUE(a) << e.detalle;
        return a;
    }
    std::unique_ptr<aula::Almacen> Alumno(const std::string& codigo, aula::Error& e) {
        return aula::AlmacenAlumno(home_.path(), servidor_, codigo, e);
    }

  private:
    std::string servidor_;
    TempHome home_;
};

// The uuids of a class's attempts on the server, with how many rows hold them.
inline std::multiset<std::string> IntentosEnServidor(ServidorPg& pg, const std::string& codigo) {
    std::multiset<std::string> uuids;
    aula::Error e;
    auto c = aula::pg::Conexion::Abrir(aula::pg::ParametrosConexion(pg.Uri(), {}),
                                       std::chrono::seconds(5), e);
    const auto r = c ? c->Ejecutar(
                           "SELECT i.uuid FROM veliora.intentos i JOIN veliora.clases c"
                           " ON c.id = i.clase_id WHERE c.codigo = $1",
                           {aula::pg::Texto(codigo)}, e)
                     : std::nullopt;
    for (int f = 0; r && f < r->Filas(); ++f) uuids.insert(r->Texto(f, 0));
    return uuids;
}

inline std::set<std::string> IntentosEnBuzon(const std::filesystem::path& home) {
    aula::Error e;
    const auto m = aula::LeerMembresia(home, e);
    auto buzon = aula::Buzon::Abrir(home, e);
    std::set<std::string> uuids;
    if (m && buzon)
        for (const auto& i : buzon->Propios(*m, e)) uuids.insert(i.uuid);
    return uuids;
}

// `veliora-cli class sync` of the application directory `home`, running on its own.
inline pid_t LanzarEnvio(const std::filesystem::path& home) {
    const pid_t hijo = fork();
    if (hijo == 0) {
        execl(VELIORA_BIN_DIR "/veliora-cli", "veliora-cli", "--home", home.c_str(), "class",
              "sync", nullptr);
        _exit(127);
    }
    return hijo;
}

}  // namespace veliora::test

// The class server under what goes wrong: a student trying what is not theirs, the server
// stopped in the middle of a burst, a sender killed while sending, a server that does not
// answer, a published file that does not match.
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QString>
#include <atomic>
#include <set>
#include <thread>

#include "aula/comun.h"
#include "core/aula/postgres.h"

namespace veliora::test {
namespace {

using aula::Fallo;
using namespace std::chrono_literals;

struct ClaseDePrueba {
    std::unique_ptr<Almacenes> almacenes;
    std::unique_ptr<aula::Almacen> profesor;
    std::string codigo;
};

ClaseDePrueba NuevaClase(ServidorPg& pg) {
    ClaseDePrueba c{std::make_unique<Almacenes>(pg.Uri()), nullptr, {}};
    c.profesor = c.almacenes->Profesor();
    aula::Error e;
    if (c.profesor)
        if (const auto clase = c.profesor->CrearClase("Prueba", e);
            clase && c.profesor->Publicar(clase->codigo, MaterialDePrueba("v1"), e))
            c.codigo = clase->codigo;
    EXPECT_FALSE(c.codigo.empty()) << e.detalle;
    return c;
}

std::unique_ptr<aula::pg::Conexion> Conectar(const std::string& servidor,
                                             const aula::pg::Parametros& extra = {}) {
    aula::Error e;
    auto c = aula::pg::Conexion::Abrir(aula::pg::ParametrosConexion(servidor, extra), 5s, e);
    EXPECT_TRUE(c) << e.detalle;
    return c;
}

TEST(ServidorClase, UnAlumnoSoloLlegaALoSuyo) {
    VELIORA_SERVIDOR_PG(pg);
    auto clase = NuevaClase(*pg);
    aula::Error e;
    const auto otra = clase.profesor->CrearClase("Otra", e);
    ASSERT_TRUE(otra) << e.detalle;
    TempHome ana;
    ASSERT_TRUE(aula::UnirseAClase(ana.path(), pg->Direccion(), clase.codigo, "Ana", "clave", e))
        << e.detalle;
    const std::string rol =
        "veliora_" + QString::fromStdString(clase.codigo).toLower().toStdString();
    auto sesion = Conectar(pg->Direccion(), {{"user", rol}, {"password", clase.codigo}});
    ASSERT_TRUE(sesion);
    for (const char* sql :
         {"SELECT * FROM veliora.intentos", "SELECT nombre, sal, hash FROM veliora.alumnos",
          "SELECT bd FROM veliora.materiales", "DELETE FROM veliora.intentos",
          "UPDATE veliora.intentos SET veredicto = 'correcto'", "TRUNCATE veliora.intentos",
          "INSERT INTO veliora.clases (nombre, codigo, rol) VALUES ('x', 'X', 'x')",
          "SELECT veliora.alumno_verificado('X', 'Ana', '')", "CREATE TABLE veliora.t (a int)",
          "CREATE ROLE intruso LOGIN", "ALTER ROLE veliora_alumnos SUPERUSER"}) {
        e.clear();
        EXPECT_FALSE(sesion->Ejecutar(sql, e)) << sql;
        EXPECT_EQ(e.fallo, Fallo::Permiso) << sql << ": " << e.detalle;
    }
    struct Caso {
        std::string sql, codigo;
        Fallo fallo;
    } casos[] = {
        {"SELECT * FROM veliora.mis_intentos($1, 'Ana', 'no es su secreto')", clase.codigo,
         Fallo::Contrasena},
        {"SELECT veliora.unirse($1, 'Intruso', 's')", otra->codigo, Fallo::ClaseDesconocida},
    };
    for (const Caso& c : casos) {
        e.clear();
        EXPECT_FALSE(sesion->Ejecutar(c.sql, {aula::pg::Texto(c.codigo)}, e)) << c.sql;
        EXPECT_EQ(e.fallo, c.fallo) << c.sql << ": " << e.detalle;
    }
    // The class's login cannot act as a teacher: no class created, nothing published.
    e.clear();
    EXPECT_FALSE(aula::AbrirProfesor("postgresql://" + rol + "@" + pg->Direccion() + "/veliora",
                                     clase.codigo, e));
    EXPECT_EQ(e.fallo, Fallo::Permiso) << e.detalle;
}

TEST(ServidorClase, NadaSePierdeNiSeDuplicaSiElServidorCaeAMitad) {
    VELIORA_SERVIDOR_PG(pg);
    auto clase = NuevaClase(*pg);
    constexpr int kAlumnos = 6, kIntentos = 30;
    std::vector<std::unique_ptr<TempHome>> equipos;
    for (int a = 0; a < kAlumnos; ++a) {
        equipos.push_back(std::make_unique<TempHome>());
        aula::Error e;
        ASSERT_TRUE(aula::UnirseAClase(equipos.back()->path(), pg->Direccion(), clase.codigo,
                                       "Alumno " + std::to_string(a), "clave", e))
            << e.detalle;
    }
    // Students keep sending until their outbox is empty, or long after the server is back.
    std::atomic<bool> deVuelta = false;
    std::vector<std::thread> alumnos;
    for (const auto& equipo : equipos)
        alumnos.emplace_back([home = equipo->path(), &deVuelta] {
            aula::Remitente remitente(home);
            aula::Error e;
            for (int k = 0; k < kIntentos; ++k) {
                EXPECT_TRUE(remitente.Anotar(IntentoDePrueba("B1", k % 5 + 1, "erroneo"), e));
                remitente.Enviar(e);
                std::this_thread::sleep_for(5ms);
            }
            while (!deVuelta) std::this_thread::sleep_for(10ms);
            const auto fin = std::chrono::steady_clock::now() + 120s;
            while (remitente.Enviar(e).pendientes > 0 && std::chrono::steady_clock::now() < fin)
                std::this_thread::sleep_for(100ms);
        });
    while (IntentosEnServidor(*pg, clase.codigo).size() < kAlumnos * 5)
        std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(pg->Parar(true));
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(pg->Arrancar());
    deVuelta = true;
    for (auto& t : alumnos) t.join();

    const auto enServidor = IntentosEnServidor(*pg, clase.codigo);
    std::set<std::string> enEquipos;
    for (const auto& equipo : equipos) enEquipos.merge(IntentosEnBuzon(equipo->path()));
    EXPECT_EQ(enServidor.size(), std::size_t(kAlumnos * kIntentos));
    EXPECT_EQ(std::set<std::string>(enServidor.begin(), enServidor.end()), enEquipos);
}

TEST(ServidorClase, UnEnvioMatadoSeReanudaSinRepetir) {
    VELIORA_SERVIDOR_PG(pg);
    auto clase = NuevaClase(*pg);
    TempHome alumno;
    aula::Error e;
    ASSERT_TRUE(aula::UnirseAClase(alumno.path(), pg->Direccion(), clase.codigo, "Ana", "c", e));
    constexpr int kIntentos = 400;
    aula::Remitente remitente(alumno.path());
    for (int k = 0; k < kIntentos; ++k)
        ASSERT_TRUE(remitente.Anotar(IntentoDePrueba("B1", 1, "erroneo"), e)) << e.detalle;

    const pid_t hijo = LanzarEnvio(alumno.path());
    while (IntentosEnServidor(*pg, clase.codigo).empty()) std::this_thread::sleep_for(1ms);
    kill(hijo, SIGKILL);
    waitpid(hijo, nullptr, 0);
    const std::size_t antes = IntentosEnServidor(*pg, clase.codigo).size();
    EXPECT_LT(antes, std::size_t(kIntentos)) << "the sender ended before it was killed";

    std::string salida;
    EXPECT_EQ(RunCli(alumno, "class sync --json", salida), 0);
    EXPECT_NE(salida.find(R"("pending":0})"), std::string::npos) << salida;
    const auto enServidor = IntentosEnServidor(*pg, clase.codigo);
    EXPECT_EQ(enServidor.size(), std::size_t(kIntentos));
    EXPECT_EQ(std::set<std::string>(enServidor.begin(), enServidor.end()),
              IntentosEnBuzon(alumno.path()));
}

// A server that takes the connection and never answers; then one that refuses it.
TEST(ServidorClase, SinServidorElIntentoEsperaEnElBuzon) {
    const int mudo = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in dir{};
    dir.sin_family = AF_INET;
    dir.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t largo = sizeof dir;
    ASSERT_EQ(bind(mudo, reinterpret_cast<sockaddr*>(&dir), sizeof dir), 0);
    ASSERT_EQ(listen(mudo, 4), 0);
    getsockname(mudo, reinterpret_cast<sockaddr*>(&dir), &largo);
    const std::string direccion = "127.0.0.1:" + std::to_string(ntohs(dir.sin_port));

    TempHome alumno;
    aula::Membresia m;
    m.servidor = direccion;
    m.clase = "ABCDEFGH";
    m.alumno = "Ana";
    m.secreto = aula::Secreto(m.clase, m.alumno, "c");
    aula::Error e;
    ASSERT_TRUE(aula::GuardarMembresia(alumno.path(), m, e));
    aula::Remitente remitente(alumno.path());
    ASSERT_TRUE(remitente.Anotar(IntentoDePrueba("B1", 1, "correcto"), e));
    for (int vez = 0; vez < 2; ++vez) {
        e.clear();
        EXPECT_EQ(remitente.Enviar(e).pendientes, 1);
        EXPECT_EQ(e.fallo, Fallo::SinRespuesta) << e.detalle;
        close(mudo);  // the second time nobody listens
    }
}

TEST(ServidorClase, UnArchivoPublicadoQueNoCoincideNoSeGuarda) {
    VELIORA_SERVIDOR_PG(pg);
    auto clase = NuevaClase(*pg);
    auto c = Conectar(pg->Uri());
    aula::Error e;
    ASSERT_TRUE(c && c->Ejecutar("UPDATE veliora.materiales SET bd = bd || '\\x00'::bytea"
                                 " WHERE clase_id = (SELECT id FROM veliora.clases"
                                 " WHERE codigo = $1)",
                                 {aula::pg::Texto(clase.codigo)}, e))
        << e.detalle;
    TempHome alumno;
    EXPECT_FALSE(aula::UnirseAClase(alumno.path(), pg->Direccion(), clase.codigo, "Ana", "c", e));
    EXPECT_EQ(e.fallo, Fallo::HashDistinto);
    EXPECT_FALSE(std::filesystem::exists(alumno / "clases"));
    EXPECT_FALSE(std::filesystem::exists(aula::RutaMembresia(alumno.path())));
}

}  // namespace
}  // namespace veliora::test

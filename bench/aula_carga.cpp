// The class under load and faults, on a local class server that flushes to disk as a real
// one does (started here with scripts/class-server). Prints its figures; exits 1 when an
// attempt is lost or stored twice.
// 1. 60 students, each on their own machine with their own connection, record 50 attempts
//    each at once; in the middle the server is stopped (pg_ctl stop -m immediate) and
//    started again. Every attempt must be on the server exactly once.
// 2. A student's sender is killed (SIGKILL) while sending 2,000 attempts; sending again
//    from the outbox must leave each exactly once.
//
//   bench_aula_carga
#include <signal.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "aula/comun.h"

namespace {

using namespace veliora;
using namespace std::chrono_literals;
using Reloj = std::chrono::steady_clock;

constexpr int kAlumnos = 60, kIntentos = 50, kMatado = 2000;

double Segundos(Reloj::time_point desde) {
    return std::chrono::duration<double>(Reloj::now() - desde).count();
}

struct Comprobacion {
    std::size_t filas = 0, distintos = 0, esperados = 0, ausentes = 0;
    bool Bien() const { return filas == esperados && distintos == esperados && ausentes == 0; }
};

Comprobacion Comprobar(test::ServidorPg& pg, const std::string& codigo,
                       const std::set<std::string>& locales) {
    const auto servidor = test::IntentosEnServidor(pg, codigo);
    const std::set<std::string> distintos(servidor.begin(), servidor.end());
    Comprobacion c{servidor.size(), distintos.size(), locales.size(), 0};
    for (const auto& uuid : locales) c.ausentes += !distintos.count(uuid);
    return c;
}

void Informar(const char* que, const Comprobacion& c) {
    std::printf("%s: %zu expected, %zu rows on the server, %zu distinct, %zu missing -> %s\n", que,
                c.esperados, c.filas, c.distintos, c.ausentes, c.Bien() ? "OK" : "FAILED");
}

std::string NuevaClase(test::ServidorPg& pg, const test::TempHome& profesor) {
    aula::Error e;
    auto almacen = aula::AlmacenProfesor(profesor.path(), pg.Uri(), "", e);
    const auto clase = almacen ? almacen->CrearClase("Carga", e) : std::nullopt;
    if (!clase || !almacen->Publicar(clase->codigo, test::MaterialDePrueba("carga"), e)) {
        std::fprintf(stderr, "bench_aula_carga: %s\n", e.detalle.c_str());
        std::exit(1);
    }
    return clase->codigo;
}

bool Unir(test::ServidorPg& pg, const std::string& codigo, const test::TempHome& equipo,
          const std::string& nombre) {
    aula::Error e;
    if (aula::UnirseAClase(equipo.path(), pg.Direccion(), codigo, nombre, "clave", e))
        return true;
    std::fprintf(stderr, "bench_aula_carga: %s\n", e.detalle.c_str());
    return false;
}

bool CargaConCaida(test::ServidorPg& pg) {
    test::TempHome profesor;
    const std::string codigo = NuevaClase(pg, profesor);
    std::vector<std::unique_ptr<test::TempHome>> equipos;
    for (int a = 0; a < kAlumnos; ++a) {
        equipos.push_back(std::make_unique<test::TempHome>());
        if (!Unir(pg, codigo, *equipos.back(), "Alumno " + std::to_string(a)))
            return false;
    }
    std::atomic<bool> deVuelta = false;
    std::atomic<int> fallidos = 0;
    const auto inicio = Reloj::now();
    std::vector<std::thread> alumnos;
    for (const auto& equipo : equipos)
        alumnos.emplace_back([home = equipo->path(), &deVuelta, &fallidos] {
            aula::Remitente remitente(home);
            aula::Error e;
            for (int k = 0; k < kIntentos; ++k) {
                remitente.Anotar(test::IntentoDePrueba("B1", k % 10 + 1, "erroneo"), e);
                fallidos += remitente.Enviar(e).pendientes > 0;
                std::this_thread::sleep_for(20ms);  // the student reads and types
            }
            while (!deVuelta) std::this_thread::sleep_for(10ms);
            const auto fin = Reloj::now() + 180s;
            while (remitente.Enviar(e).pendientes > 0 && Reloj::now() < fin)
                std::this_thread::sleep_for(200ms);
        });
    std::size_t antes = 0;
    while ((antes = test::IntentosEnServidor(pg, codigo).size()) < kAlumnos * kIntentos / 2)
        std::this_thread::sleep_for(10ms);
    const auto caida = Reloj::now();
    const bool parado = pg.Parar(true);
    std::this_thread::sleep_for(1s);
    const bool arrancado = pg.Arrancar();
    std::printf("server stopped (-m immediate) with %zu attempts in, back after %.1f s (%s)\n",
                antes, Segundos(caida), parado && arrancado ? "ok" : "FAILED");
    deVuelta = true;
    for (auto& t : alumnos) t.join();
    std::printf("%d students x %d attempts in %.1f s; %d sends left attempts waiting\n", kAlumnos,
                kIntentos, Segundos(inicio), fallidos.load());
    std::set<std::string> locales;
    for (const auto& equipo : equipos) locales.merge(test::IntentosEnBuzon(equipo->path()));
    const Comprobacion c = Comprobar(pg, codigo, locales);
    Informar("load with a server stop", c);
    return c.Bien() && parado && arrancado;
}

bool EnvioMatado(test::ServidorPg& pg) {
    test::TempHome profesor, equipo;
    const std::string codigo = NuevaClase(pg, profesor);
    if (!Unir(pg, codigo, equipo, "Ana"))
        return false;
    aula::Remitente remitente(equipo.path());
    aula::Error e;
    for (int k = 0; k < kMatado; ++k)
        remitente.Anotar(test::IntentoDePrueba("B1", 1, "erroneo"), e);
    const pid_t hijo = test::LanzarEnvio(equipo.path());
    std::size_t antes = 0;
    while ((antes = test::IntentosEnServidor(pg, codigo).size()) < kMatado / 4)
        std::this_thread::sleep_for(1ms);
    kill(hijo, SIGKILL);
    waitpid(hijo, nullptr, 0);
    antes = test::IntentosEnServidor(pg, codigo).size();
    const auto inicio = Reloj::now();
    const aula::EstadoEnvio estado = remitente.Enviar(e);
    std::printf("sender killed with %zu of %d sent; the restart sent %d more in %.1f s, %d left\n",
                antes, kMatado, estado.enviados, Segundos(inicio), estado.pendientes);
    const Comprobacion c = Comprobar(pg, codigo, test::IntentosEnBuzon(equipo.path()));
    Informar("killed sender", c);
    return c.Bien() && antes < std::size_t(kMatado);
}

}  // namespace

int main() {
    std::string motivo;
    auto* pg = test::ServidorPg::Compartido(motivo, false);
    if (!pg) {
        std::fprintf(stderr, "bench_aula_carga: %s\n", motivo.c_str());
        return 1;
    }
    const bool carga = CargaConCaida(*pg);
    const bool matado = EnvioMatado(*pg);
    return carga && matado ? 0 : 1;
}

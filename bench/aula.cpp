// The class record's costs on a local PostgreSQL class server that flushes to disk as a real
// one does (started here with scripts/class-server), and on the embedded store:
// - recording one attempt as a student does (kept in the outbox, then sent), and the
//   server's part alone;
// - the teacher's overview of 60 students x 100 questions over 30,000 attempts.
//
//   bench_aula [--benchmark_filter=Seguimiento]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "core/aula/clase.h"
#include "core/aula/postgres.h"
#include "core/engine/database.h"
#include "core/shell/errores.h"
#include "support/fixtures.h"
#include "support/servidor_pg.h"

namespace {

using namespace veliora;

[[noreturn]] void Abortar(const std::string& que) {
    std::fprintf(stderr, "bench_aula: %s\n", que.c_str());
    std::exit(1);
}

test::ServidorPg& Servidor() {
    std::string motivo;
    auto* pg = test::ServidorPg::Compartido(motivo, false);
    if (!pg)
        Abortar(motivo);
    return *pg;
}

aula::Intento Intento(int numero) {
    aula::DatosIntento datos{std::string(64, 'a'), "B1", numero, {}, {}, "select 1", 0};
    Juicio juicio;
    juicio.resultado.veredicto = numero % 3 ? Veredicto::Erroneo : Veredicto::Correcto;
    return aula::NuevoIntento(datos, juicio);
}

// A class with one published version, and on a server a student who joined it on their own
// machine.
struct Clase {
    test::TempHome profesor, alumno;
    std::string servidor, codigo;
    std::unique_ptr<aula::Almacen> almacen;

    Clase(const std::string& servidor_, bool conAlumno) : servidor(servidor_) {
        aula::Error e;
        almacen = aula::AlmacenProfesor(profesor.path(), servidor, "", e);
        const auto clase = almacen ? almacen->CrearClase("Banco", e) : std::nullopt;
        aula::Material material{0, "b.db", std::string("SQLite format 3\0", 16), {}, {}, {}};
        if (!clase || !almacen->Publicar(clase->codigo, material, e))
            Abortar(e.detalle);
        codigo = clase->codigo;
        const std::string lugar = conAlumno ? Servidor().Direccion() : "";
        if (conAlumno && !aula::UnirseAClase(alumno.path(), lugar, codigo, "Alumno", "clave", e))
            Abortar(e.detalle);
    }
};

void RegistrarIntento(benchmark::State& state) {
    Clase clase(Servidor().Uri(), true);
    aula::Remitente remitente(clase.alumno.path());
    int n = 0;
    aula::Error e;
    for (auto _ : state) {
        if (!remitente.Anotar(Intento(++n), e) || remitente.Enviar(e).pendientes != 0)
            Abortar(e.detalle);
    }
}
BENCHMARK(RegistrarIntento)
    ->Name("RegistrarIntento/buzon_y_servidor")
    ->Unit(benchmark::kMillisecond);

void RegistrarEnServidor(benchmark::State& state) {
    Clase clase(Servidor().Uri(), true);
    aula::Error e;
    auto almacen =
        aula::AlmacenAlumno(clase.alumno.path(), Servidor().Direccion(), clase.codigo, e);
    const auto m = aula::LeerMembresia(clase.alumno.path(), e);
    if (!almacen || !m)
        Abortar(e.detalle);
    int n = 0;
    for (auto _ : state)
        if (!almacen->Registrar(m->Credencial(), Intento(++n), e))
            Abortar(e.detalle);
}
BENCHMARK(RegistrarEnServidor)->Name("RegistrarIntento/servidor")->Unit(benchmark::kMillisecond);

constexpr int kAlumnos = 60, kPreguntas = 100, kPorPregunta = 5;

// 60 students, each with 5 attempts at each of 100 questions of 4 bulletins.
void LlenarServidor(const Clase& clase) {
    aula::Error e;
    auto c = aula::pg::Conexion::Abrir(aula::pg::ParametrosConexion(clase.servidor, {}),
                                       std::chrono::seconds(5), e);
    const auto codigo = aula::pg::Texto(clase.codigo);
    if (!c ||
        !c->Ejecutar("INSERT INTO veliora.alumnos (clase_id, nombre, sal, hash)"
                     " SELECT c.id, 'Alumno ' || s, '\\x00', '\\x00' FROM veliora.clases c,"
                     " generate_series(1, 60) s WHERE c.codigo = $1",
                     {codigo}, e) ||
        !c->Ejecutar(
            "INSERT INTO veliora.intentos (uuid, clase_id, alumno_id, hash_bd, modo, boletin,"
            " numero, respuesta, veredicto, comprobada)"
            " SELECT gen_random_uuid(), a.clase_id, a.id, 'h', 'boletin', 'B' || (q % 4 + 1),"
            " q / 4 + 1, 'select 1', (ARRAY['correcto', 'erroneo', 'correcto_solo_aqui',"
            " 'respuesta_invalida'])[1 + (q + r + a.id::int) % 4], now()"
            " FROM veliora.alumnos a JOIN veliora.clases c ON c.id = a.clase_id,"
            " generate_series(0, 99) q, generate_series(1, 5) r WHERE c.codigo = $1",
            {codigo}, e) ||
        !c->Ejecutar("ANALYZE", e))
        Abortar(e.detalle);
}

void LlenarEmbebido(const Clase& clase) {
    engine::Error e;
    auto bd = engine::Database::Open(aula::RutaEmbebido(clase.profesor.path()).string(),
                                     engine::Database::Kind::Auxiliary, e);
    if (!bd || !bd->ExecuteScript(
                   "WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n < 60)"
                   " INSERT INTO alumnos (clase_id, nombre, sal, hash, creado)"
                   " SELECT 1, 'Alumno ' || n, x'00', '', 0 FROM s;"
                   "WITH RECURSIVE q(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM q WHERE n < 99),"
                   " r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 5)"
                   " INSERT INTO intentos (uuid, clase_id, alumno_id, hash_bd, modo, boletin,"
                   " numero, respuesta, veredicto, comprobada, recibido)"
                   " SELECT lower(hex(randomblob(16))), 1, a.id, 'h', 'boletin',"
                   " 'B' || (q.n % 4 + 1), q.n / 4 + 1, 'select 1',"
                   " CASE (q.n + r.n + a.id) % 4 WHEN 0 THEN 'correcto' WHEN 1 THEN 'erroneo'"
                   " WHEN 2 THEN 'correcto_solo_aqui' ELSE 'respuesta_invalida' END, 0, 0"
                   " FROM alumnos a, q, r;"
                   "ANALYZE;",
                   e))
        Abortar(veliora::TextoDeError(e));
}

void Seguimiento(benchmark::State& state, bool servidor) {
    Clase clase(servidor ? Servidor().Uri() : "", false);
    servidor ? LlenarServidor(clase) : LlenarEmbebido(clase);
    aula::Error e;
    for (auto _ : state) {
        const auto s = clase.almacen->Seguir(clase.codigo, "", e);
        if (!s || s->size() != kAlumnos || (*s)[0].preguntas.size() != kPreguntas ||
            (*s)[0].intentos != kPreguntas * kPorPregunta)
            Abortar("wrong overview " + e.detalle);
    }
}
BENCHMARK_CAPTURE(Seguimiento, servidor, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Seguimiento, embebido, false)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

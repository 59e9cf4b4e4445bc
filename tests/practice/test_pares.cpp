// The counterexample search over a set of answer pairs on the sample databases: each pair
// gives the same result on the sample; equivalent ones must never be flagged, and most of
// the others must.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/engine/database.h"
#include "core/practice/juez.h"
#include "core/shell/globales.h"
#include "support/fixtures.h"

namespace veliora {
namespace {

using engine::Database;

enum Clase { Equivalente, SoloAqui };

struct Par {
    const char* bd;
    Clase clase;
    const char* solucion;
    const char* respuesta;
};

// clang-format off
const Par kPares[] = {
    // ---- tienda: equivalent rewrites
    {"tienda.db", Equivalente, "select Nombre from Productos where Precio between 10 and 20",
     "select Nombre from Productos where Precio >= 10 and Precio <= 20"},
    {"tienda.db", Equivalente, "select p.Nombre, c.Nombre from Productos p join Categorias c on p.IdCategoria = c.IdCategoria",
     "select p.Nombre, c.Nombre from Categorias c join Productos p on c.IdCategoria = p.IdCategoria"},
    {"tienda.db", Equivalente, "select Nombre from Clientes where Ciudad = 'Madrid'",
     "select c.Nombre as Cliente from Clientes c where c.Ciudad = 'madrid'"},
    {"tienda.db", Equivalente, "select Nombre from Clientes where IdCliente in (select IdCliente from Pedidos)",
     "select Nombre from Clientes c where exists (select * from Pedidos p where p.IdCliente = c.IdCliente)"},
    {"tienda.db", Equivalente, "select count(*) from Productos where Stock < StockMinimo",
     "select count(IdProducto) from Productos where StockMinimo > Stock"},
    {"tienda.db", Equivalente, "select distinct Ciudad from Clientes", "select Ciudad from Clientes group by Ciudad"},
    {"tienda.db", Equivalente, "select Nombre from Productos where IdCategoria in (1, 2)",
     "select Nombre from Productos where IdCategoria = 1 or IdCategoria = 2"},
    {"tienda.db", Equivalente, "select Nombre from Productos where not (Precio > 50)",
     "select Nombre from Productos where Precio <= 50"},
    {"tienda.db", Equivalente, "select count(distinct IdCliente) from Pedidos",
     "select count(*) from (select distinct IdCliente from Pedidos)"},
    {"tienda.db", Equivalente, "select IdPedido, count(*) from [Lineas Pedido] group by IdPedido",
     "select IdPedido, count(NumLinea) from [Lineas Pedido] group by IdPedido"},
    {"tienda.db", Equivalente, "select p.Nombre from Productos p, Categorias c where p.IdCategoria = c.IdCategoria and c.Nombre = 'Bebidas'",
     "select Nombre from Productos where IdCategoria = (select IdCategoria from Categorias where Nombre = 'Bebidas')"},
    {"tienda.db", Equivalente, "select Nombre from Empleados where Sueldo > 2000 and Comision > 0",
     "select Nombre from Empleados where Comision > 0 and Sueldo > 2000"},
    {"tienda.db", Equivalente, "select IdCliente from Clientes except select IdCliente from Pedidos",
     "select IdCliente from Clientes where IdCliente not in (select IdCliente from Pedidos)"},
    {"tienda.db", Equivalente, "select * from Categorias", "select IdCategoria, Nombre, Descripcion, TipoIva from Categorias"},
    {"tienda.db", Equivalente, "select Nombre, Email from Proveedores where Email is null",
     "select Nombre, Email from Proveedores where not Email is not null"},
    {"tienda.db", Equivalente, "select FormaPago, count(*) from Pedidos group by FormaPago having count(*) > 20",
     "select FormaPago, count(*) from Pedidos group by FormaPago having count(*) >= 21"},
    // ---- escuela: equivalent rewrites
    {"escuela.db", Equivalente, "select Nombre from Alumnos where Beca is not null", "select Nombre from Alumnos where not Beca is null"},
    {"escuela.db", Equivalente, "select a.Nombre from Alumnos a join Grupos g on a.IdGrupo = g.IdGrupo where g.Turno = 'Tarde'",
     "select Nombre from Alumnos where IdGrupo in (select IdGrupo from Grupos where Turno = 'Tarde')"},
    {"escuela.db", Equivalente, "select Nombre from Profesores where HorasSemana >= 18", "select Nombre from Profesores where HorasSemana > 17"},
    {"escuela.db", Equivalente, "select count(*) from Matriculas where NotaFinal >= 5",
     "select count(NotaFinal) from Matriculas where NotaFinal >= 5"},
    {"escuela.db", Equivalente, "select Etapa, count(*) from Grupos group by Etapa having count(*) > 2",
     "select Etapa, n from (select Etapa, count(*) as n from Grupos group by Etapa) where n > 2"},
    {"escuela.db", Equivalente, "select Nombre from Departamentos where Planta = 1 or Planta = 2",
     "select Nombre from Departamentos where Planta in (2, 1)"},
    {"escuela.db", Equivalente, "select a.Nombre from Alumnos a left join [Faltas Asistencia] f on a.IdAlumno = f.IdAlumno where f.IdFalta is null",
     "select Nombre from Alumnos a where not exists (select 1 from [Faltas Asistencia] f where f.IdAlumno = a.IdAlumno)"},
    {"escuela.db", Equivalente, "select IdAlumno from Matriculas where NotaFinal < 5",
     "select IdAlumno from Matriculas where not NotaFinal >= 5"},
    {"escuela.db", Equivalente, "select Nombre from Alumnos where coalesce(Beca, 0) > 0", "select Nombre from Alumnos where Beca > 0"},
    {"escuela.db", Equivalente, "select Nombre from Alumnos where Sexo = 'M'", "select Nombre from Alumnos where substr(Sexo, 1, 1) = 'm'"},
    {"escuela.db", Equivalente, "select Nombre from Asignaturas where Curso = 1 and Optativa = 1",
     "select Nombre from Asignaturas where Optativa = 1 and Curso = 1"},

    // ---- tienda: right on the sample only
    {"tienda.db", SoloAqui, "select distinct Nombre from Productos where IdCategoria = 2",
     "select Nombre from Productos where IdCategoria = 2"},
    {"tienda.db", SoloAqui, "select Nombre from Productos where Precio >= 20", "select Nombre from Productos where Precio > 20"},
    {"tienda.db", SoloAqui, "select Nombre from Productos where Precio > 10 and Precio < 20",
     "select Nombre from Productos where Precio between 10 and 20"},
    {"tienda.db", SoloAqui, "select Nombre from Productos where Precio = (select max(Precio) from Productos)",
     "select Nombre from Productos order by Precio desc limit 1"},
    {"tienda.db", SoloAqui, "select Nombre from Empleados where Comision > 0", "select Nombre from Empleados where Comision <> 0"},
    {"tienda.db", SoloAqui, "select IdPedido from Pedidos where FechaPedido >= '2024-06-12'",
     "select IdPedido from Pedidos where FechaPedido = '2024-06-12'"},
    {"tienda.db", SoloAqui, "select c.Nombre from Clientes c join Pedidos p on p.IdCliente = c.IdCliente group by c.IdCliente, c.Nombre",
     "select Nombre from Clientes where IdCliente in (select IdCliente from Pedidos) group by Nombre"},
    {"tienda.db", SoloAqui, "select Nombre from Categorias where IdCategoria in (select IdCategoria from Productos)",
     "select Nombre from Categorias"},
    {"tienda.db", SoloAqui, "select Nombre from Clientes where Ciudad = 'Madrid'",
     "select Nombre from Clientes where Ciudad glob 'Madrid'"},
    {"tienda.db", SoloAqui, "select count(Peso) from Productos where IdCategoria = 2",
     "select count(*) from Productos where IdCategoria = 2"},
    {"tienda.db", SoloAqui, "select count(Contacto) from Proveedores", "select count(Email) from Proveedores"},
    {"tienda.db", SoloAqui, "select c.Nombre, count(p.IdProducto) from Proveedores c left join Productos p on p.IdProveedor = c.IdProveedor group by c.IdProveedor, c.Nombre",
     "select c.Nombre, count(*) from Proveedores c join Productos p on p.IdProveedor = c.IdProveedor group by c.IdProveedor, c.Nombre"},
    // ---- escuela: right on the sample only
    {"escuela.db", SoloAqui, "select Aula from Grupos g where not exists (select * from Alumnos a where a.IdGrupo = g.IdGrupo and a.Repetidor = 1)",
     "select Aula from Grupos where IdGrupo not in (select IdGrupo from Alumnos where Repetidor = 1)"},
    {"escuela.db", SoloAqui, "select d.Nombre, count(p.IdProfesor) from Departamentos d left join Profesores p on p.IdDepartamento = d.IdDepartamento group by d.IdDepartamento, d.Nombre",
     "select d.Nombre, count(*) from Departamentos d join Profesores p on p.IdDepartamento = d.IdDepartamento group by d.IdDepartamento, d.Nombre"},
    {"escuela.db", SoloAqui, "select distinct Localidad from Alumnos where IdGrupo = '3ESOA'",
     "select Localidad from Alumnos where IdGrupo = '3ESOA'"},
    {"escuela.db", SoloAqui, "select Nombre from Profesores where Sueldo >= 2500", "select Nombre from Profesores where Sueldo > 2500"},
    {"escuela.db", SoloAqui, "select Nombre from Departamentos where Presupuesto = (select max(Presupuesto) from Departamentos)",
     "select Nombre from Departamentos order by Presupuesto desc limit 1"},
    {"escuela.db", SoloAqui, "select count(Email) from Profesores where IdDepartamento = 1",
     "select count(*) from Profesores where IdDepartamento = 1"},
    {"escuela.db", SoloAqui, "select count(*) from Alumnos where Beca > 0", "select count(Beca) from Alumnos"},
    {"escuela.db", SoloAqui, "select Nombre from Profesores where FechaAlta < '2010-01-01'",
     "select Nombre from Profesores where FechaAlta <= '2010-01-01'"},
    {"escuela.db", SoloAqui, "select IdAlumno, avg(Nota) from Evaluaciones where IdAsignatura = 1 group by IdAlumno",
     "select IdAlumno, sum(Nota) / 3 from Evaluaciones where IdAsignatura = 1 group by IdAlumno"},
};
// clang-format on

TEST(ParesDeRespuestas, EquivalentNeverFlaggedMostOthersFlagged) {
    test::TempHome home;
    DesplazamientoIdioma = 0;
    int equivalentes = 0, soloAqui = 0, marcados = 0;
    std::chrono::nanoseconds total{0};
    for (const Par& par : kPares) {
        const auto ruta = test::SamplePath(par.bd);
        const std::string antes = test::ReadBytes(ruta);
        engine::EngineError err;
        auto bd = Database::Open(ruta.string(), Database::Kind::User, err);
        ASSERT_TRUE(bd) << err.description;
        const auto inicio = std::chrono::steady_clock::now();
        // A budget no search reaches here: the figures do not depend on the machine.
        const Juicio j = Juzgar(*bd, par.solucion, par.respuesta,
                                {true, std::chrono::milliseconds(20000), false});
        total += std::chrono::steady_clock::now() - inicio;
        bd->Close();
        EXPECT_EQ(test::ReadBytes(ruta), antes);
        const bool igual = j.resultado.veredicto == Veredicto::Correcto ||
                           j.resultado.veredicto == Veredicto::CorrectoSoloAqui;
        EXPECT_TRUE(igual) << "not the same result on the sample: " << par.respuesta << "\n"
                           << j.resultado.mensaje;
        if (!igual)
            continue;
        const bool marcado = j.resultado.veredicto == Veredicto::CorrectoSoloAqui;
        if (par.clase == Equivalente) {
            ++equivalentes;
            EXPECT_FALSE(marcado) << par.respuesta << "\n" << j.resultado.mensaje;
        } else {
            ++soloAqui;
            marcados += marcado ? 1 : 0;
            if (!marcado)
                std::printf("not flagged: %s\n", par.respuesta);
        }
    }
    std::printf(
        "pairs: %d equivalent, %d right only on the sample, %d of them flagged (%.0f%%); "
        "%.1f ms per pair\n",
        equivalentes, soloAqui, marcados, 100.0 * marcados / soloAqui,
        std::chrono::duration<double, std::milli>(total).count() / (equivalentes + soloAqui));
    EXPECT_GE(equivalentes + soloAqui, 40);
    EXPECT_GE(marcados * 10, soloAqui * 8);
}

}  // namespace
}  // namespace veliora

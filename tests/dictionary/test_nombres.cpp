#include <gtest/gtest.h>

#include "core/dictionary/nombres.h"

namespace veliora {
namespace {

struct Caso {
    const char* nombre;
    const char* singular;
    const char* plural;
    bool masculino;
};

TEST(NombresDeObjeto, ReglasDeTerminacion) {
    const Caso casos[] = {
        {"Alumnos", "Alumno", "Alumnos", true},
        {"ASIGNATURAS", "ASIGNATURA", "ASIGNATURAS", false},
        {"Nota", "Nota", "Notas", false},
        {"Nombre", "Nombre", "Nombres", true},
        {"Dni", "Dni", "Dnis", true},
        {"Ciudad", "Ciudad", "Ciudades", true},
        {"Fecha_alta", "Fecha_alta", "Fecha_altas", false},
        {"Menú", "Menú", "Menúes", true},
        {"s", "", "s", true},
        {"AS", "A", "AS", false},
        {"IdCliente", "IdCliente", "IdClientes", true},
        {"Línea pedido", "Línea pedido", "Línea pedidos", true},
        {"l'alumna", "l'alumna", "l'alumnas", false},
    };
    for (const Caso& c : casos) {
        const NombresPorDefecto n = NombresDeObjeto(c.nombre);
        EXPECT_EQ(n.Singular, c.singular) << c.nombre;
        EXPECT_EQ(n.Plural, c.plural) << c.nombre;
        EXPECT_EQ(n.Masculino, c.masculino) << c.nombre;
    }
}

}  // namespace
}  // namespace veliora

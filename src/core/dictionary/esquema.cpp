#include "core/dictionary/esquema.h"

#include <cctype>

namespace veliora {

bool MismoNombre(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool CargarEstructura(ColTablas& destino, engine::Database& bd, engine::Error& error) {
    destino = ColTablas();
    const auto definiciones = bd.TableDefs(error);
    if (error.failed())
        return false;
    for (const engine::TableDef& def : definiciones) {
        if (def.Attributes != 0)
            continue;
        Tabla tabla;
        tabla.Nombre = def.Name;
        for (const engine::IndexDef& idx : def.Indexes)
            // A foreign-key index may share its name with an ordinary index: keep both.
            tabla.Indices.Add({idx.Name, idx.Unique, idx.Foreign, idx.Fields},
                              tabla.Indices.Posicion(idx.Name) ? std::string() : idx.Name);
        for (const engine::FieldDef& campo : def.Fields)
            tabla.Campos.Add({campo.Name, campo.Type}, campo.Name);
        destino.Add(std::move(tabla), def.Name);
    }
    return true;
}

}  // namespace veliora

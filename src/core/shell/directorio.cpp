#include "core/shell/directorio.h"

#include <unistd.h>

#include <QStandardPaths>
#include <QString>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "core/base/recursos.h"
#include "core/engine/database.h"
#include "core/shell/salidas.h"

namespace veliora {

namespace fs = std::filesystem;

namespace {

std::optional<fs::path>& DirectorioFijado() {
    static std::optional<fs::path> directorio;
    return directorio;
}

fs::path VariableEntorno(const char* nombre) {
    const char* valor = std::getenv(nombre);
    return (valor && *valor) ? fs::path(valor) : fs::path();
}

bool EsDirectorio(const fs::path& ruta) {
    std::error_code ec;
    return !ruta.empty() && fs::is_directory(ruta, ec);
}

fs::path DirectorioPrograma() {
    std::error_code ec;
    fs::path programa = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : programa.parent_path();
}

// Copies through a temporary name in the destination folder (CopiarArchivo), so that an
// interrupted first start never leaves a partial template or page that later starts would
// take as whole; the copy is the user's own and writable, whatever the installed file's
// mode. A destination that exists in any form, a symbolic link included, is left alone.
void CopiarSiFalta(const fs::path& origen, const fs::path& destino) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(destino, ec)) || !fs::is_regular_file(origen, ec))
        return;
    fs::create_directories(destino.parent_path(), ec);
    engine::Error error;
    CopiarArchivo(origen, destino, error, Reemplazo::Propio);
}

// Copies the regular files of `origen` whose extension is one of `extensiones` (all of
// them when the list is empty) into `destino`.
void CopiarArchivos(const fs::path& origen, const fs::path& destino,
                    std::initializer_list<const char*> extensiones) {
    std::error_code ec;
    for (fs::directory_iterator it(origen, ec), fin; !ec && it != fin; it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        bool elegido = extensiones.size() == 0;
        for (const char* extension : extensiones)
            if (it->path().extension() == extension)
                elegido = true;
        if (elegido)
            CopiarSiFalta(it->path(), destino / it->path().filename());
    }
}

// Builds the template from the embedded schema when no built template is installed.
void CrearPlantilla(const fs::path& destino) {
    std::string esquema(EmbeddedResource("bdaux.sql"));
    if (esquema.empty())
        return;
    engine::Error error;
    EscrituraSegura escritura;
    if (!escritura.Abrir(destino, error, Reemplazo::Propio))
        return;
    escritura.CerrarDescriptor();
    bool hecha = false;
    if (auto bd = engine::Database::Create(escritura.Temporal().string(), error); bd)
        hecha = bd->ExecuteScript(esquema, error);
    if (hecha)
        escritura.Confirmar(error);
}

}  // namespace

fs::path DirectorioAplicacion() {
    fs::path directorio;
    if (DirectorioFijado())
        directorio = *DirectorioFijado();
    else
        directorio = VariableEntorno("VELIORA_HOME");
    if (directorio.empty()) {
        QString datos = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        fs::path base = datos.isEmpty() ? VariableEntorno("HOME") / ".local" / "share"
                                        : fs::path(datos.toStdString());
        directorio = base / "veliora";
    }
    // A new application directory is its user's alone: on a machine shared by a class it
    // holds the teacher's bulletins with their answers.
    std::error_code ec;
    if (fs::create_directories(directorio, ec))
        fs::permissions(directorio, fs::perms::owner_all, fs::perm_options::replace, ec);
    return directorio;
}

void FijarDirectorioAplicacion(const fs::path& dir) {
    if (dir.empty())
        DirectorioFijado().reset();
    else
        DirectorioFijado() = dir;
}

fs::path CarpetaConversiones() {
    return DirectorioAplicacion() / "importadas";
}

fs::path DirectorioRecursos() {
    if (fs::path entorno = VariableEntorno("VELIORA_RESOURCES"); !entorno.empty())
        return entorno;
    if (fs::path programa = DirectorioPrograma(); !programa.empty()) {
        fs::path junto = (programa / ".." / "share" / "veliora").lexically_normal();
        if (EsDirectorio(junto))
            return junto;
    }
    if (EsDirectorio(VELIORA_INSTALL_RESOURCE_DIR))
        return VELIORA_INSTALL_RESOURCE_DIR;
    return VELIORA_BUILD_RESOURCE_DIR;
}

fs::path RutaAyudante(const char* nombre) {
    std::vector<fs::path> sitios;
    if (fs::path programa = DirectorioPrograma(); !programa.empty()) {
        sitios.push_back(programa / nombre);
        sitios.push_back(programa / ".." / "lib" / "veliora" / nombre);
    }
    sitios.push_back(fs::path(VELIORA_BUILD_BIN_DIR) / nombre);
    sitios.push_back(fs::path(VELIORA_INSTALL_HELPER_DIR) / nombre);
    std::error_code ec;
    for (const auto& s : sitios)
        if (fs::is_regular_file(s, ec) && ::access(s.c_str(), X_OK) == 0)
            return s;
    return {};
}

void SembrarDirectorioAplicacion() {
    const fs::path aplicacion = DirectorioAplicacion();
    const fs::path recursos = DirectorioRecursos();
    std::error_code ec;
    if (fs::is_regular_file(recursos / "bdaux.db", ec))
        CopiarSiFalta(recursos / "bdaux.db", aplicacion / "bdaux.db");
    else if (!fs::exists(fs::symlink_status(aplicacion / "bdaux.db", ec)))
        CrearPlantilla(aplicacion / "bdaux.db");
    CopiarArchivos(recursos / "AYUDA", aplicacion / "AYUDA", {});
    CopiarArchivos(recursos / "samples", aplicacion, {".db_", ".htm"});
}

bool TieneEstructuraAuxiliar(engine::Database& bd, engine::Error& err) {
    static const char* const kConsultas[] = {
        "Select Nombre, NombreSingular, NombrePlural, MascFeme, PosX, PosY from Tablas where 0",
        "Select NombreTabla, Nombre, NombreSingular, NombrePlural, MascFeme, PermiteSum from "
        "Campos where 0",
        "Select Nombre, Traduccion, Traduccion2, NoConcatenar, NoConcatenar2 from Relaciones "
        "where 0",
        "Select Nombre from CabBoletines where 0",
        "Select NombreBoletin, NumPregunta, Pregunta, Respuesta from LBoletines where 0",
    };
    for (const char* sql : kConsultas)
        if (!bd.Prepare(sql, err))
            return false;
    return true;
}

bool EsBaseAuxiliar(const fs::path& ruta) {
    engine::Error err;
    auto bd = engine::Database::Open(ruta.string(), engine::Database::Kind::User, err);
    return bd && TieneEstructuraAuxiliar(*bd, err);
}

}  // namespace veliora

#include "core/shell/registro.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdio>
#include <mutex>
#include <set>

#include "core/base/textos.h"
#include "core/engine/database.h"
#include "core/shell/directorio.h"
#include "core/shell/salidas.h"

namespace veliora {

namespace {

std::mutex& MutexAvisos() {
    static std::mutex m;
    return m;
}
std::function<void(const std::string&)>& Receptor() {
    static std::function<void(const std::string&)> receptor;
    return receptor;
}
// Values out of bounds already said in this run (name and value).
std::set<std::string>& Dados() {
    static std::set<std::string> dados;
    return dados;
}

QString RutaIni() {
    return QString::fromStdString((DirectorioAplicacion() / "veliora.ini").string());
}

QString NombreRaiz(RaizRegistro raiz) {
    switch (raiz) {
        case RaizRegistro::HKEY_CLASSES_ROOT:
            return QStringLiteral("HKEY_CLASSES_ROOT");
        case RaizRegistro::HKEY_CURRENT_USER:
            return QStringLiteral("HKEY_CURRENT_USER");
        case RaizRegistro::HKEY_LOCAL_MACHINE:
            break;
    }
    return QStringLiteral("HKEY_LOCAL_MACHINE");
}

// Registry paths use backslashes; QSettings nests groups with slashes. The root is the
// first group, so that the three roots keep separate namespaces as in the registry.
QString RutaClave(RaizRegistro raiz, const std::string& clave) {
    QString ruta = NombreRaiz(raiz);
    const QStringList partes =
        QString::fromStdString(clave).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    for (const QString& parte : partes) ruta += QLatin1Char('/') + parte;
    return ruta;
}

// An empty value name is the key's default value: the key path itself holds it.
QString RutaValor(RaizRegistro raiz, const std::string& clave, const std::string& nombreValor) {
    QString ruta = RutaClave(raiz, clave);
    if (!nombreValor.empty())
        ruta += QLatin1Char('/') + QString::fromStdString(nombreValor);
    return ruta;
}

constexpr std::size_t kLineaMaxima = 64 * 1024;
constexpr std::size_t kArchivoMaximo = 4 * 1024 * 1024;

std::mutex& MutexAjustes() {
    static std::mutex m;
    return m;
}

// The text id of why the settings file at `ruta` cannot be read (0 when it can, or when
// there is none). The file is opened only once it is known to be a regular file, so a pipe
// never blocks the program.
int MotivoIniIlegible(const std::string& ruta) {
    struct stat info {};
    if (stat(ruta.c_str(), &info) != 0)
        return errno == ENOENT ? 0 : 2151;
    if (engine::IsSpecialFile(ruta))
        return 2150;
    if (std::size_t(info.st_size) > kArchivoMaximo)
        return 2151;
    const int fd = open(ruta.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return 2151;
    std::string contenido(kArchivoMaximo + 1, '\0');
    std::size_t total = 0;
    for (ssize_t n; total < contenido.size() &&
                    (n = read(fd, contenido.data() + total, contenido.size() - total)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            close(fd);
            return 2151;
        }
        total += std::size_t(n);
    }
    close(fd);
    if (total > kArchivoMaximo)
        return 2151;
    std::size_t inicio = 0;
    for (std::size_t fin; inicio <= total; inicio = fin + 1) {
        fin = contenido.find('\n', inicio);
        if (fin == std::string::npos || fin > total)
            fin = total;
        if (fin - inicio > kLineaMaxima)
            return 2152;
    }
    QSettings ajustes(QString::fromStdString(ruta), QSettings::IniFormat);
    ajustes.allKeys();
    return ajustes.status() == QSettings::NoError ? 0 : 2151;
}

// Whether the settings file may be read and written: checked again whenever it changes
// (its identity, size or time), with one warning per run when it is ignored.
bool IniUtilizable() {
    const std::string ruta = RutaIni().toStdString();
    struct stat info {};
    const bool existe = stat(ruta.c_str(), &info) == 0;
    static struct {
        bool comprobado = false;
        dev_t dispositivo = 0;
        ino_t nodo = 0;
        off_t tamano = 0;
        timespec modificado{};
        std::string ruta;
        int motivo = 0;
    } cache;
    if (!existe)
        return errno == ENOENT;
    int motivo;
    bool nuevo = false;
    {
        std::lock_guard<std::mutex> lock(MutexAjustes());
        if (!cache.comprobado || cache.ruta != ruta || cache.dispositivo != info.st_dev ||
            cache.nodo != info.st_ino || cache.tamano != info.st_size ||
            cache.modificado.tv_sec != info.st_mtim.tv_sec ||
            cache.modificado.tv_nsec != info.st_mtim.tv_nsec) {
            cache = {true,
                     info.st_dev,
                     info.st_ino,
                     info.st_size,
                     info.st_mtim,
                     ruta,
                     MotivoIniIlegible(ruta)};
            nuevo = true;
        }
        motivo = cache.motivo;
    }
    // Said when the file is found so, not at every read.
    if (motivo != 0 && nuevo)
        Avisar(Texto(motivo, ruta));
    return motivo == 0;
}

bool SinPermisoEscritura(const QFileInfo& info) {
    constexpr auto escritura =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return (info.permissions() & escritura) == 0;
}

// Whether the INI file can be written (or created), without changing what it holds. A file
// or folder without any write permission counts as locked even for the superuser: that is
// how an administrator fixes the setting.
bool AlmacenEscribible() {
    const QString ruta = RutaIni();
    engine::Error error;
    // A link or a special file in its place is not written through; a file being ignored
    // is left as it is, for its owner to mend.
    if (!IniUtilizable() || !ComprobarDestino(ruta.toStdString(), error, Reemplazo::Propio))
        return false;
    QFileInfo info(ruta);
    if (info.exists())
        return info.isFile() && info.isWritable() && !SinPermisoEscritura(info);
    if (SinPermisoEscritura(QFileInfo(info.absolutePath())))
        return false;
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly))
        return false;
    archivo.close();
    return true;
}

}  // namespace

bool GetKeyValue(RaizRegistro raiz, const std::string& clave, const std::string& nombreValor,
                 std::string& texto) {
    if (!IniUtilizable()) {
        texto.clear();
        return false;
    }
    QSettings ajustes(RutaIni(), QSettings::IniFormat);
    const QString ruta = RutaValor(raiz, clave, nombreValor);
    if (ajustes.status() == QSettings::AccessError || !ajustes.contains(ruta)) {
        texto.clear();
        return false;
    }
    const QVariant valor = ajustes.value(ruta);
    // A hand-written value with commas comes back as a list: it is still one text.
    if (valor.typeId() == QMetaType::QStringList)
        texto = valor.toStringList().join(QStringLiteral(", ")).toStdString();
    else if (valor.canConvert<QString>())
        texto = valor.toString().toStdString();
    return true;
}

bool CrearClave(RaizRegistro /*raiz*/, const std::string& /*clave*/) {
    // Keys of an INI file exist as soon as a value is written under them; creating one
    // only needs a store that can be written.
    return AlmacenEscribible();
}

bool GuardarValor(RaizRegistro raiz, const std::string& clave, const std::string& nombreValor,
                  const std::string& texto) {
    if (!AlmacenEscribible())
        return false;
    QSettings ajustes(RutaIni(), QSettings::IniFormat);
    ajustes.setValue(RutaValor(raiz, clave, nombreValor), QString::fromStdString(texto));
    ajustes.sync();
    return ajustes.status() == QSettings::NoError;
}

void FijarReceptorAvisos(std::function<void(const std::string&)> receptor) {
    std::lock_guard<std::mutex> lock(MutexAvisos());
    Receptor() = std::move(receptor);
}

void Avisar(const std::string& texto) {
    std::function<void(const std::string&)> receptor;
    {
        std::lock_guard<std::mutex> lock(MutexAvisos());
        receptor = Receptor();
    }
    if (receptor)
        receptor(texto);
    else
        std::fprintf(stderr, "VELIORA: %s\n", texto.c_str());
}

bool ValorEnLimites(const std::string& nombre, const std::string& texto, long long minimo,
                    long long maximo, const std::string& porDefecto, long long& valor) {
    bool numero = false;
    valor = QString::fromStdString(texto).trimmed().toLongLong(&numero);
    if (numero && valor >= minimo && valor <= maximo)
        return true;
    bool primera;
    {
        std::lock_guard<std::mutex> lock(MutexAvisos());
        primera = Dados().insert(nombre + '\n' + texto).second;
    }
    if (primera)
        Avisar(Texto(2153,
                     {nombre, texto, std::to_string(minimo), std::to_string(maximo), porDefecto}));
    return false;
}

long long LeerAjusteNumerico(const AjusteNumerico& ajuste) {
    std::string texto;
    long long valor = 0;
    if (!GetKeyValue(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, ajuste.nombre, texto) ||
        !ValorEnLimites(ajuste.nombre, texto, ajuste.minimo, ajuste.maximo,
                        std::to_string(ajuste.porDefecto), valor))
        return ajuste.porDefecto;
    return valor;
}

std::int32_t LeerIdioma() {
    std::string valor;
    if (!GetKeyValue(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, kValorIdioma, valor)) {
        CrearClave(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion);
        GuardarValor(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, kValorIdioma, "0");
    }
    // The string table holds only Spanish and Valencian: anything else falls back to Spanish.
    return LeerAjusteNumerico(kAjusteIdioma) == 1 ? 10000 : 0;
}

}  // namespace veliora

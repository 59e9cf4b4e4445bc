#include "core/shell/registro.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "core/shell/directorio.h"
#include "core/shell/globales.h"

namespace veliora {

namespace {

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

void LeerIdioma() {
    const std::string espanol = "0";
    std::string valor;
    if (!GetKeyValue(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, kValorIdioma, valor)) {
        CrearClave(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion);
        GuardarValor(RaizRegistro::HKEY_LOCAL_MACHINE, kClaveAplicacion, kValorIdioma, espanol);
    }
    const std::string& leido = valor.empty() ? espanol : valor;
    bool numero = false;
    int idioma = QString::fromStdString(leido).trimmed().toInt(&numero);
    // The string table holds only Spanish and Valencian: anything else falls back to Spanish.
    DesplazamientoIdioma = (numero && idioma == 1) ? 10000 : 0;
}

}  // namespace veliora

#pragma once
// The string table as the windows read it.

#include <QString>

#include "core/base/rutinas.h"
#include "core/base/textos.h"

namespace veliora::ui {

// Text `id` in the interface's language.
inline QString T(int id) {
    return QString::fromStdString(Texto(id));
}

// A name as a message shows it: control characters escaped (TextoVisible).
inline QString Visible(const QString& texto) {
    return QString::fromStdString(TextoVisible(texto.toStdString()));
}
inline QString Visible(const std::string& texto) {
    return QString::fromStdString(TextoVisible(texto));
}

}  // namespace veliora::ui

#pragma once
// The string table as the windows read it.

#include <QString>

#include "core/shell/textos.h"

namespace veliora::ui {

// Text `id` in the interface's language.
inline QString T(int id) {
    return QString::fromStdString(Texto(id));
}

}  // namespace veliora::ui

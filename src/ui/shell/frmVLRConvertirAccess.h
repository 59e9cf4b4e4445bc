#pragma once
// The progress of an Access file's conversion (access::Preparar), run off the window
// thread, with Cancel.

#include <QProgressDialog>
#include <QString>

#include "core/access/conversion.h"
#include "core/engine/database.h"

namespace veliora::ui {

class frmVLRConvertirAccess : public QProgressDialog {
    Q_OBJECT
  public:
    frmVLRConvertirAccess(const QString& ruta, QWidget* parent = nullptr);

    // Converts (or finds the earlier conversion unchanged) while the dialog shows the rows
    // done; returns when the conversion ends, failed or cancelled (access::Cancelada).
    bool Ejecutar(engine::Error& error);
    // What the conversion gave, after Ejecutar.
    const access::Conversion& Resultado() const { return resultado_; }
    // The notes of a conversion worth showing: every note of a new one, and those of one that
    // lost rows each time it is opened. Empty when there is nothing to say.
    static QString Notas(const access::Conversion& conversion);

  private:
    QString ruta_;
    access::Conversion resultado_;
};

}  // namespace veliora::ui

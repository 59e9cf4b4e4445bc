#pragma once
// The progress of an Access file's conversion (access::Preparar), run off the window
// thread, with Cancel.

#include <QProgressDialog>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/access/conversion.h"
#include "core/app/ejecutor.h"
#include "core/engine/database.h"

namespace veliora::ui {

class frmVLRConvertirAccess : public QProgressDialog {
    Q_OBJECT
  public:
    // Run on the window thread when the conversion ends: whether it succeeded, and why not
    // (access::Cancelada when cancelled).
    using AlTerminar = std::function<void(bool ok, const engine::Error& error)>;

    frmVLRConvertirAccess(const QString& ruta, QWidget* parent = nullptr);
    // A conversion still running is cancelled: `alTerminar` never runs.
    ~frmVLRConvertirAccess() override;

    // Starts converting (or finding the earlier conversion unchanged) and returns at once;
    // the dialog shows the rows done, Cancel, Escape or closing it cancel, and `alTerminar`
    // runs once when the conversion ends, failed or cancelled.
    void Ejecutar(AlTerminar alTerminar);
    // What the conversion gave, once it has ended.
    const access::Conversion& Resultado() const { return resultado_; }
    // The notes of a conversion worth showing: every note of a new one, and those of one that
    // lost rows each time it is opened. Empty when there is nothing to say.
    static QString Notas(const access::Conversion& conversion);

  private:
    struct Estado;
    void Vigilar();
    void Terminar();

    QString ruta_;
    access::Conversion resultado_;
    std::shared_ptr<Estado> estado_;  // shared with the job, which a cancel may leave behind
    std::shared_ptr<Ejecutor::Encargo> encargo_;
    AlTerminar alTerminar_;
    QTimer reloj_;
    bool terminada_ = false;
};

}  // namespace veliora::ui

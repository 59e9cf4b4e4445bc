#include "ui/practice/ModeloRecordset.h"

#include <QBrush>
#include <QElapsedTimer>
#include <climits>

#include "ui/shell/texto.h"
#include "ui/shell/trabajo.h"

namespace veliora::ui {

namespace {
// A number, or a text that holds nothing but one (a column declared as text may hold them).
bool PareceNumero(const engine::Value& v) {
    if (v.isNumber())
        return true;
    if (v.type != engine::ValueType::Text || v.text.empty() || v.text.size() > 40)
        return false;
    bool ok = false;
    QString::fromStdString(v.text).trimmed().toDouble(&ok);
    return ok;
}
}  // namespace

bool LanzarConsulta(Trabajo* trabajo, const QString& descripcion,
                    std::shared_ptr<engine::Database> bd, const std::string& sql,
                    EntregaConsulta entregar, std::function<void()> alCancelar, std::size_t filas) {
    return trabajo->Lanzar(
        descripcion, bd,
        [bd, sql, filas, entregar = std::move(entregar)]() -> Trabajo::Entrega {
            QElapsedTimer reloj;
            reloj.start();
            engine::Error error;
            // Shared so the delivery can be copied; the window takes the recordset out whole.
            auto rs =
                std::make_shared<std::unique_ptr<engine::Recordset>>(bd->OpenRecordset(sql, error));
            // The first block is what can take long (a sort, a grouping): fetched here.
            if (*rs)
                (*rs)->FetchUpTo(filas);
            else if (!error.failed())
                error = engine::Failure(engine::Code::Engine);
            const double segundos = double(reloj.elapsed()) / 1000.0;
            return [entregar, rs, error, segundos] { entregar(std::move(*rs), error, segundos); };
        },
        std::move(alCancelar));
}

ModeloRecordset::ModeloRecordset(std::unique_ptr<engine::Recordset> rs,
                                 std::shared_ptr<engine::Database> bd, Trabajo* trabajo,
                                 QObject* parent)
    : QAbstractTableModel(parent),
      rs_(std::move(rs)),
      bd_(std::move(bd)),
      trabajo_(trabajo),
      columnas_(rs_->FieldCount()) {
    Bloque primeras = Leer(*rs_, 0);
    filas_ = std::move(primeras.filas);
    final_ = primeras.final;
    error_ = primeras.error;
    // A block that ended undelivered was cancelled: the interrupted result cannot go on.
    if (trabajo_)
        connect(trabajo_, &Trabajo::terminado, this, [this] {
            if (cargando_) {
                cargando_ = false;
                final_ = true;
            }
        });
}

// A load in flight delivers into this model: it must not outlive it.
ModeloRecordset::~ModeloRecordset() {
    Detener();
}

ModeloRecordset::Bloque ModeloRecordset::Leer(const engine::Recordset& rs, std::size_t desde) {
    Bloque bloque;
    for (std::size_t i = desde; i < rs.RecordCount(); ++i) bloque.filas.push_back(rs.Row(i).data());
    bloque.final = rs.AtEnd();
    bloque.error = rs.Error();
    return bloque;
}

void ModeloRecordset::Detener() {
    if (!cargando_ || !trabajo_)
        return;
    cargando_ = false;
    final_ = true;
    trabajo_->Cancelar(false);
}

int ModeloRecordset::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(filas_.size());
}

int ModeloRecordset::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columnas_;
}

QVariant ModeloRecordset::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnas_)
        return {};
    const engine::Value& v = filas_[std::size_t(index.row())][index.column()];
    if (role == kTextoCopiado)
        return v.isNull() ? QString() : QString::fromStdString(v.toSpanishText());
    if (role == kLiteralSql)
        return v.isNull()     ? QStringLiteral("NULL")
               : v.isNumber() ? QString::fromStdString(v.toPlainText())
                              : QString::fromStdString(engine::QuoteSql(v.toPlainText(), '\''));
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return v.isNull() ? QStringLiteral("NULL") : QString::fromStdString(v.toSpanishText());
    if (role == Qt::ForegroundRole && v.isNull())
        return QBrush(Qt::gray);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (PareceNumero(v) ? Qt::AlignRight : Qt::AlignLeft));
    return {};
}

QVariant ModeloRecordset::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columnas_)
            return {};
        return QString::fromStdString(rs_->FieldName(section));
    }
    return section + 1;
}

Qt::ItemFlags ModeloRecordset::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

bool ModeloRecordset::canFetchMore(const QModelIndex& parent) const {
    // One piece of work at a time per window: none while its strip runs something.
    return !parent.isValid() && !final_ && !cargando_ && trabajo_ && !trabajo_->Ocupado() &&
           filas_.size() < std::size_t(INT_MAX - kFilasPorBloque);
}

void ModeloRecordset::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent))
        return;
    // The recordset goes with the work: a model closed meanwhile leaves it to the worker.
    // `this` is safe in the delivery: a model cancels its load when it goes.
    auto rs = rs_;
    const std::size_t desde = filas_.size();
    cargando_ = trabajo_->Lanzar(T(1154), bd_, [this, rs, desde]() -> Trabajo::Entrega {
        rs->FetchUpTo(desde + kFilasPorBloque);
        return [this, bloque = Leer(*rs, desde)] { Recibir(bloque); };
    });
}

void ModeloRecordset::Recibir(Bloque bloque) {
    // Still loading while the rows go in: the view asks for no more in the meantime.
    if (!bloque.filas.empty()) {
        const int desde = int(filas_.size());
        beginInsertRows({}, desde, desde + int(bloque.filas.size()) - 1);
        filas_.insert(filas_.end(), bloque.filas.begin(), bloque.filas.end());
        endInsertRows();
    }
    cargando_ = false;
    final_ = bloque.final;
    error_ = std::move(bloque.error);
    if (error_.failed() && alFallar_) {
        auto avisar = std::move(alFallar_);
        alFallar_ = nullptr;
        avisar(error_);
    }
}

}  // namespace veliora::ui

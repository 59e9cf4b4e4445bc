#include "ui/practice/ModeloRecordset.h"

#include <QBrush>
#include <QElapsedTimer>
#include <climits>

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

ModeloRecordset::ModeloRecordset(std::unique_ptr<engine::Recordset> rs, QObject* parent)
    : QAbstractTableModel(parent), rs_(std::move(rs)) {
    rs_->FetchUpTo(kFilasPorBloque);
    filas_ = int(rs_->RecordCount());
}

ModeloRecordset::~ModeloRecordset() = default;

int ModeloRecordset::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : filas_;
}

int ModeloRecordset::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rs_->FieldCount();
}

QVariant ModeloRecordset::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= filas_ || index.column() >= rs_->FieldCount())
        return {};
    const engine::Value& v = rs_->Row(std::size_t(index.row()))[std::size_t(index.column())];
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
        if (section < 0 || section >= rs_->FieldCount())
            return {};
        return QString::fromStdString(rs_->FieldName(section));
    }
    return section + 1;
}

Qt::ItemFlags ModeloRecordset::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

bool ModeloRecordset::canFetchMore(const QModelIndex& parent) const {
    return !pausado_ && !parent.isValid() &&
           (!rs_->AtEnd() || std::size_t(filas_) < rs_->RecordCount()) &&
           filas_ < INT_MAX - kFilasPorBloque;
}

void ModeloRecordset::fetchMore(const QModelIndex& parent) {
    if (pausado_ || parent.isValid())
        return;
    rs_->FetchUpTo(std::size_t(filas_) + kFilasPorBloque);
    const int total = int(rs_->RecordCount());
    if (total > filas_) {
        beginInsertRows({}, filas_, total - 1);
        filas_ = total;
        endInsertRows();
    }
    if (rs_->Error().failed() && alFallar_) {
        auto avisar = std::move(alFallar_);
        alFallar_ = nullptr;
        avisar(rs_->Error());
    }
}

}  // namespace veliora::ui

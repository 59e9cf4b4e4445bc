// One draw of each driver, and the subquery generator. The order of the random draws is
// part of the contract: a plan printed by the command-line tool is rebuilt by checkers.
#include "core/base/rutinas.h"
#include "core/generator/motor.h"
#include "core/generator/reglas.h"

namespace veliora::generador {

namespace {

// Redraws `valor` from 1..n while it equals `excluido`. False when that can never end
// (every value of the range is the excluded one) or takes unreasonably long; the caller
// then draws the query again.
bool DistintoDe(int n, int excluido, int& valor) {
    valor = Aleatorio(1, n);
    if (n <= 1 && excluido == 1)
        return false;
    for (int vuelta = 0; valor == excluido; ++vuelta) {
        if (vuelta == 1000)
            return false;
        valor = Aleatorio(1, n);
    }
    return true;
}

// Keeps in the plan the values the SQL builder sampled, for the statement builder.
std::string ConValores(PlanConsulta& p, SqlConValores r) {
    p.Valor1 = std::move(r.Valor1);
    p.Valor2 = std::move(r.Valor2);
    p.ValorHaving = std::move(r.ValorHaving);
    return std::move(r.Sql);
}

}  // namespace

Motor::Paso Motor::DibujoUnaTabla(bool Compleja, Borrador& b) {
    PlanConsulta& p = b.plan;
    p.IndTabla = Aleatorio(1, EstructuraBD.Count());
    const auto n = NumCampos(p.IndTabla);
    if (!n)
        return Paso::Fin;  // no tables
    p.IndCampo = Aleatorio(0, *n);
    p.Agregado = ElegirAgregado(p.IndTabla, p.IndCampo, false);
    const bool unico = CampoConIndiceUnico(p.IndTabla, p.IndCampo);
    p.Distinto = !unico && p.Agregado == Agregados::Ninguno && Aleatorio(0, 1) == 1;
    p.IndCampoCond = Aleatorio(0, *n);
    if (p.IndCampoCond > 0)
        p.Operador = ElegirOperador(p.IndTabla, p.IndCampoCond, false);
    if (Compleja && !GenerarSubquery(p.IndTabla, p))
        return Paso::Fin;
    b.sql = ConValores(p, SqlUnaTabla(p));
    b.texto = TextoUnaTabla(true, p);
    return Paso::Construida;
}

// A random relation, read from either side with equal chance. False when there is none.
bool Motor::ElegirRelacionYSentido(PlanConsulta& p) {
    p.IndRelacion = Aleatorio(0, int(relaciones_.size()) - 1);
    const engine::Relation* rel = RelacionEn(p.IndRelacion);
    if (!rel)
        return false;
    if (Aleatorio(0, 1) == 0) {
        p.IndTabla = IndiceTabla(rel->Table);
        p.IndTabla2 = IndiceTabla(rel->ForeignTable);
    } else {
        p.IndTabla = IndiceTabla(rel->ForeignTable);
        p.IndTabla2 = IndiceTabla(rel->Table);
    }
    return true;
}

Motor::Paso Motor::DibujoDosTablas(bool Compleja, Borrador& b) {
    PlanConsulta& p = b.plan;
    if (!ElegirRelacionYSentido(p))
        return Paso::Fin;
    const auto n = NumCampos(p.IndTabla);
    if (!n)
        return Paso::Fin;
    p.IndCampo = Aleatorio(0, *n);
    p.Agregado = ElegirAgregado(p.IndTabla, p.IndCampo, false);
    const auto n2 = NumCampos(p.IndTabla2);
    if (!n2)
        return Paso::Fin;
    p.IndCampoCond = Aleatorio(1, *n2);
    p.Operador = ElegirOperador(p.IndTabla2, p.IndCampoCond, false);
    if (Compleja && !GenerarSubquery(p.IndTabla2, p))
        return Paso::Fin;
    b.sql = ConValores(p, SqlVariasTablas(p));
    b.texto = TextoVariasTablas(true, p);
    return Paso::Construida;
}

Motor::Paso Motor::DibujoTresTablas(bool Compleja, Borrador& b) {
    PlanConsulta& p = b.plan;
    if (!ElegirRelacionYSentido(p))
        return Paso::Fin;
    p.IndRelacion2 = BuscarSegundaRelacion(p.IndTabla2, p.IndRelacion);
    const engine::Relation* rel2 = RelacionEn(p.IndRelacion2);
    if (!rel2)
        return Paso::Repetir;  // no chain of two from here
    p.IndTabla3 = IndiceTabla(rel2->Table) == p.IndTabla2 ? IndiceTabla(rel2->ForeignTable)
                                                          : IndiceTabla(rel2->Table);
    const auto n = NumCampos(p.IndTabla);
    if (!n)
        return Paso::Fin;
    p.IndCampo = Aleatorio(0, *n);
    p.Agregado = ElegirAgregado(p.IndTabla, p.IndCampo, false);
    const auto n3 = NumCampos(p.IndTabla3);
    if (!n3)
        return Paso::Fin;
    p.IndCampoCond = Aleatorio(1, *n3);
    p.Operador = ElegirOperador(p.IndTabla3, p.IndCampoCond, false);
    if (Compleja && !GenerarSubquery(p.IndTabla3, p))
        return Paso::Fin;
    b.sql = ConValores(p, SqlVariasTablas(p));
    b.texto = TextoVariasTablas(true, p);
    return Paso::Construida;
}

// The draws a grouped query makes on its aggregated table t of n fields, in their order:
// whether the aggregate is shown, its aggregate, the where condition and the having one.
void Motor::DibujarAgregacion(PlanConsulta& p, int t, int n) {
    p.MostrarAgregado = Aleatorio(0, 1) == 1;
    p.Agregado = ElegirAgregadoAgrupado(t, p.IndCampoAgregado);
    p.IndCampoCond = Aleatorio(0, n);
    if (p.IndCampoCond > 0)
        p.Operador = ElegirOperador(t, p.IndCampoCond, false);
    p.AgregadoHaving = ElegirAgregadoAgrupado(t, p.IndCampoAgregado);
    p.OperadorHaving = ElegirOperador(t, p.IndCampoAgregado, true);
}

Motor::Paso Motor::DibujoAgrupada(bool Compleja, Borrador& b) {
    PlanConsulta& p = b.plan;
    if (Aleatorio(1, 2) == 1) {
        p.IndTabla = Aleatorio(1, EstructuraBD.Count());
        const auto n = NumCampos(p.IndTabla);
        if (!n)
            return Paso::Fin;
        p.IndCampoGrupo = Aleatorio(1, *n);
        // A table of one field has nothing to aggregate besides its grouping field.
        if (!DistintoDe(*n, p.IndCampoGrupo, p.IndCampoAgregado))
            return Paso::Repetir;
        DibujarAgregacion(p, p.IndTabla, *n);
        if (Compleja && !GenerarSubquery(p.IndTabla, p))
            return Paso::Fin;
        b.sql = ConValores(p, SqlAgrupadaUnaTabla(p));
        b.texto = TextoAgrupadaUnaTabla(true, p);
        return Paso::Construida;
    }
    // Two tables: grouped on the primary side, aggregated on the foreign side.
    p.IndRelacion = Aleatorio(0, int(relaciones_.size()) - 1);
    const engine::Relation* rel = RelacionEn(p.IndRelacion);
    if (!rel)
        return Paso::Fin;
    p.IndTabla = IndiceTabla(rel->Table);
    p.IndTabla2 = IndiceTabla(rel->ForeignTable);
    const auto n = NumCampos(p.IndTabla);
    if (!n)
        return Paso::Fin;
    p.IndCampoGrupo = Aleatorio(1, *n);
    const auto n2 = NumCampos(p.IndTabla2);
    if (rel->Fields.empty() || !n2)
        return Paso::Fin;
    const int clave = IndiceCampo(rel->ForeignTable, rel->Fields.front().ForeignName);
    // A foreign table with no field besides its key has nothing to aggregate.
    if (!DistintoDe(*n2, clave, p.IndCampoAgregado))
        return Paso::Repetir;
    DibujarAgregacion(p, p.IndTabla2, *n2);
    if (Compleja && !GenerarSubquery(p.IndTabla2, p))
        return Paso::Fin;
    b.sql = ConValores(p, SqlAgrupadaVariasTablas(p));
    b.texto = TextoAgrupadaVariasTablas(true, p);
    return Paso::Construida;
}

bool Motor::GenerarSubquery(int o, PlanConsulta& p) {
    p.TipoSubquery = Aleatorio(1, 3);
    PlanSubconsulta sub;
    if (p.TipoSubquery == Subconsultas::Valor) {
        if (Aleatorio(1, 2) == 1) {
            // A single value computed over o itself.
            const auto n = NumCampos(o);
            if (!n)
                return false;
            sub.Forma = FormasSub::UnaTabla;
            sub.IndTabla = o;
            sub.IndCampo = p.IndCampoSub = Aleatorio(1, *n);
            p.OperadorSub = ElegirOperador(o, p.IndCampoSub, true);
            sub.Agregado = ElegirAgregado(o, p.IndCampoSub, true);
            sub.IndCampoCond = Aleatorio(0, *n);
            p.Conector = Aleatorio(1, 2);
            if (sub.IndCampoCond > 0)
                sub.Operador = ElegirOperador(o, sub.IndCampoCond, false);
        } else {
            // Through a relation: o joined with the table at its other end.
            const int r = RelacionAleatoria(o);
            if (r == -1)
                return true;  // no subquery this time
            const engine::Relation& rel = relaciones_[std::size_t(r)];
            const int x = rel.Table == NombreTabla(o) ? IndiceTabla(rel.ForeignTable)
                                                      : IndiceTabla(rel.Table);
            const auto n = NumCampos(o);
            if (!n)
                return false;
            sub.Forma = FormasSub::VariasTablas;
            sub.IndRelacion = r;
            sub.IndTabla = o;
            sub.IndTabla2 = x;
            sub.IndCampo = p.IndCampoSub = Aleatorio(1, *n);
            p.OperadorSub = ElegirOperador(o, p.IndCampoSub, true);
            sub.Agregado = ElegirAgregado(o, p.IndCampoSub, true);
            const auto nx = NumCampos(x);
            if (!nx)
                return false;
            sub.IndCampoCond = Aleatorio(1, *nx);
            p.Conector = Aleatorio(1, 2);
            sub.Operador = ElegirOperador(x, sub.IndCampoCond, false);
        }
    } else if (p.TipoSubquery == Subconsultas::Lista) {
        const int s = Aleatorio(1, 2);
        const int r = RelacionAleatoria(o);
        if (r == -1)
            return true;
        // The key side of r seen from o: the compared columns are the two ends of the
        // relation's first field pair.
        const engine::Relation& rel = relaciones_[std::size_t(r)];
        if (rel.Fields.empty())
            return false;
        const auto& par = rel.Fields.front();
        int i, fi;
        if (rel.Table == NombreTabla(o)) {
            p.IndCampoSub = IndiceCampo(rel.Table, par.Name);
            i = IndiceTabla(rel.ForeignTable);
            fi = IndiceCampo(rel.ForeignTable, par.ForeignName);
        } else {
            p.IndCampoSub = IndiceCampo(rel.ForeignTable, par.ForeignName);
            i = IndiceTabla(rel.Table);
            fi = IndiceCampo(rel.Table, par.Name);
        }
        sub.IndTabla = i;
        sub.IndCampo = fi;
        sub.Agregado = Agregados::Ninguno;
        if (s == 1) {
            sub.Forma = FormasSub::UnaTabla;
            p.OperadorSub = Aleatorio(1, 2);
            const auto ni = NumCampos(i);
            if (!ni)
                return false;
            sub.IndCampoCond = Aleatorio(0, *ni);
            p.Conector = Aleatorio(1, 2);
            if (sub.IndCampoCond > 0)
                sub.Operador = ElegirOperador(i, sub.IndCampoCond, false);
        } else {
            // It may be r again, which joins back to o's table.
            const int r2 = RelacionAleatoria(i);
            const engine::Relation* rel2 = RelacionEn(r2);
            if (!rel2)
                return false;
            const int x = IndiceTabla(rel2->Table) == i ? IndiceTabla(rel2->ForeignTable)
                                                        : IndiceTabla(rel2->Table);
            sub.Forma = FormasSub::VariasTablas;
            sub.IndRelacion = r2;
            sub.IndTabla2 = x;
            p.OperadorSub = Aleatorio(1, 2);
            const auto nx = NumCampos(x);
            if (!nx)
                return false;
            sub.IndCampoCond = Aleatorio(1, *nx);
            p.Conector = Aleatorio(1, 2);
            sub.Operador = ElegirOperador(x, sub.IndCampoCond, false);
        }
    } else {
        // Not exists over the rows related to the outer row; o must be a primary side.
        const int r = RelacionAleatoriaPrincipal(o);
        if (r == -1)
            return true;
        const engine::Relation& rel = relaciones_[std::size_t(r)];
        if (rel.Fields.empty())
            return false;
        const int i = IndiceTabla(rel.ForeignTable);
        p.IndCampoSub = IndiceCampo(NombreTabla(o), rel.Fields.front().Name);
        p.OperadorSub = 1;
        p.Conector = Conectores::Y;
        sub.Forma = FormasSub::Correlacionada;
        sub.IndRelacion = r;
        sub.IndTabla = i;
        sub.IndTabla2 = o;
        sub.Agregado = Agregados::Ninguno;
        const auto ni = NumCampos(i);
        if (!ni)
            return false;
        sub.IndCampoCond = Aleatorio(0, *ni);
        if (sub.IndCampoCond > 0)
            sub.Operador = ElegirOperador(i, sub.IndCampoCond, false);
    }
    ConstruirSubquery(std::move(sub), p);
    return true;
}

void Motor::ConstruirSubquery(PlanSubconsulta sub, PlanConsulta& p) {
    SqlConValores r = sub.Forma == FormasSub::Correlacionada ? SqlSubqueryCorrelacionada(sub)
                      : sub.Forma == FormasSub::UnaTabla     ? SqlUnaTabla(sub.Consulta())
                                                             : SqlVariasTablas(sub.Consulta());
    sub.Valor1 = std::move(r.Valor1);
    sub.Valor2 = std::move(r.Valor2);
    p.SqlSubquery = std::move(r.Sql);
    p.TextoSubquery = sub.Forma == FormasSub::Correlacionada ? TextoSubqueryCorrelacionada(sub)
                      : sub.Forma == FormasSub::UnaTabla     ? TextoUnaTabla(false, sub.Consulta())
                                                         : TextoVariasTablas(false, sub.Consulta());
    p.Sub = std::move(sub);
}

}  // namespace veliora::generador

// SQL builders. Every blank is part of the shape students are shown: keep them as they are.
#include "core/base/rutinas.h"
#include "core/generator/motor.h"
#include "core/generator/reglas.h"

namespace veliora::generador {

namespace {

bool ConSubquery(int TipoSubquery) {
    return TipoSubquery >= Subconsultas::Valor && TipoSubquery <= Subconsultas::NoExiste;
}

void EncerrarDisyuncion(std::string& s, std::size_t inicioCondicion, const PlanConsulta& p) {
    // "A = B and COND OR SUB" would bind the join only to COND: a cartesian product.
    if (!ConSubquery(p.TipoSubquery) || p.IndCampoCond < 1 || p.Conector != Conectores::O)
        return;
    s.insert(inicioCondicion, "(");
    s += ")";
}

std::string Agregar(int agregado, const std::string& columna) {
    if (agregado == Agregados::Ninguno)
        return columna;
    return NombreAgregado(agregado) + "(" + columna + ")";
}

}  // namespace

PlanConsulta PlanSubconsulta::Consulta() const {
    PlanConsulta p;
    p.IndRelacion = IndRelacion;
    p.IndTabla = IndTabla;
    p.IndTabla2 = IndTabla2;
    p.IndCampo = IndCampo;
    p.Agregado = Agregado;
    p.IndCampoCond = IndCampoCond;
    p.Operador = Operador;
    p.Valor1 = Valor1;
    p.Valor2 = Valor2;
    return p;
}

std::string Motor::Columna(int t, int f) const {
    return Corchetes(NombreTabla(t)) + "." + Corchetes(NombreCampo(t, f));
}

std::string Motor::ParesRelacion(int r) const {
    std::string s;
    if (r < 0 || std::size_t(r) >= relaciones_.size())
        return s;
    const auto& rel = relaciones_[std::size_t(r)];
    for (const auto& par : rel.Fields)
        s += Corchetes(rel.Table) + "." + Corchetes(par.Name) + " = " +
             Corchetes(rel.ForeignTable) + "." + Corchetes(par.ForeignName) + " and ";
    return s;
}

void Motor::Condicion(int t, int f, int op, SqlConValores& r) {
    std::string& s = r.Sql;
    s += Columna(t, f) + NombreOperador(op);
    const std::string tabla = NombreTabla(t), campo = NombreCampo(t, f);
    if (op >= Operadores::Igual && op <= Operadores::Distinto) {
        const engine::Value v = ValorAleatorio(tabla, campo);
        r.Valor1 = v.toSpanishText();
        r.Valor2.clear();
        s += LiteralDeValor(TipoCampo(t, f), v, r.Valor1);
    } else if (op == Operadores::Entre || op == Operadores::En) {
        // Two independent draws; "between" takes the smaller first, or it matches no row.
        engine::Value a = ValorAleatorio(tabla, campo), b = ValorAleatorio(tabla, campo);
        if (op == Operadores::Entre && engine::CompareValues(b, a) < 0)
            std::swap(a, b);
        r.Valor1 = a.toSpanishText();
        r.Valor2 = b.toSpanishText();
        if (op == Operadores::Entre)
            s += LiteralNumero(r.Valor1) + " and " + LiteralNumero(r.Valor2);
        else
            s += "(" + LiteralNumero(r.Valor1) + " , " + LiteralNumero(r.Valor2) + ")";
    }
}

SqlConValores Motor::SqlUnaTabla(const PlanConsulta& p) {
    const std::string T = Corchetes(NombreTabla(p.IndTabla));
    SqlConValores r;
    std::string& s = r.Sql;
    s = "Select ";
    if (p.Agregado != Agregados::Ninguno)
        s += NombreAgregado(p.Agregado) + "(";
    if (p.Distinto)
        s += "Distinct ";
    s += T + ".";
    s += p.IndCampo != 0 ? Corchetes(NombreCampo(p.IndTabla, p.IndCampo)) : "* ";
    if (p.Agregado != Agregados::Ninguno)
        s += ")";
    s += " from " + T;
    if (p.IndCampoCond > 0) {
        s += " where ";
        Condicion(p.IndTabla, p.IndCampoCond, p.Operador, r);
    }
    s += " ";
    AnadirSubquery(s, p, p.IndTabla);
    return r;
}

SqlConValores Motor::SqlVariasTablas(const PlanConsulta& p) {
    SqlConValores r;
    std::string& s = r.Sql;
    s = "Select ";
    if (p.Agregado != Agregados::Ninguno)
        s += NombreAgregado(p.Agregado) + "(";
    // All fields are written without the table name here.
    s += p.IndCampo != 0 ? Columna(p.IndTabla, p.IndCampo) : "* ";
    if (p.Agregado != Agregados::Ninguno)
        s += ")";
    s += " from " + Corchetes(NombreTabla(p.IndTabla)) + "," + Corchetes(NombreTabla(p.IndTabla2));
    if (p.IndTabla3 != 0)
        s += "," + Corchetes(NombreTabla(p.IndTabla3));
    s += " where ";
    std::string pares = ParesRelacion(p.IndRelacion);
    if (p.IndTabla3 != 0)
        pares += ParesRelacion(p.IndRelacion2);
    s += pares;
    const std::size_t inicioCondicion = s.size();
    const int ct = p.IndTabla3 != 0 ? p.IndTabla3 : p.IndTabla2;
    Condicion(ct, p.IndCampoCond, p.Operador, r);
    s += " ";
    AnadirSubquery(s, p, ct);
    if (!pares.empty())
        EncerrarDisyuncion(s, inicioCondicion, p);
    return r;
}

SqlConValores Motor::SqlAgrupadaUnaTabla(const PlanConsulta& p) {
    SqlConValores r;
    std::string& s = r.Sql;
    s = "Select " + Columna(p.IndTabla, p.IndCampoGrupo);
    if (p.MostrarAgregado)
        s += "," + Agregar(p.Agregado, Columna(p.IndTabla, p.IndCampoAgregado));
    s += " from " + Corchetes(NombreTabla(p.IndTabla));
    if (p.IndCampoCond != 0) {
        s += " where ";
        Condicion(p.IndTabla, p.IndCampoCond, p.Operador, r);
    }
    s += " ";
    AnadirSubquery(s, p, p.IndTabla);
    s += " group by " + Columna(p.IndTabla, p.IndCampoGrupo);
    ClausulaHaving(p.IndTabla, p.IndCampoAgregado, p.AgregadoHaving, p.OperadorHaving, r);
    return r;
}

SqlConValores Motor::SqlAgrupadaVariasTablas(const PlanConsulta& p) {
    SqlConValores r;
    std::string& s = r.Sql;
    s = "Select " + Columna(p.IndTabla, p.IndCampoGrupo);
    if (p.MostrarAgregado)
        s += "," + Agregar(p.Agregado, Columna(p.IndTabla2, p.IndCampoAgregado));
    s += " from " + Corchetes(NombreTabla(p.IndTabla)) + "," + Corchetes(NombreTabla(p.IndTabla2));
    const std::string pares = ParesRelacion(p.IndRelacion);
    s += " where " + pares;
    const std::size_t inicioCondicion = s.size();
    if (p.IndCampoCond == 0)
        s.erase(s.size() >= 4 ? s.size() - 4 : 0);  // the "and " of the last " and "
    else
        Condicion(p.IndTabla2, p.IndCampoCond, p.Operador, r);
    s += " ";
    AnadirSubquery(s, p, p.IndTabla2);
    if (!pares.empty())
        EncerrarDisyuncion(s, inicioCondicion, p);
    s += " group by " + Columna(p.IndTabla, p.IndCampoGrupo);
    ClausulaHaving(p.IndTabla2, p.IndCampoAgregado, p.AgregadoHaving, p.OperadorHaving, r);
    return r;
}

void Motor::ClausulaHaving(int t, int f, int AgregadoHaving, int OperadorHaving, SqlConValores& r) {
    if (AgregadoHaving == Agregados::Ninguno)
        return;
    std::string& s = r.Sql;
    s += " having " + NombreAgregado(AgregadoHaving) + "(" + Columna(t, f) + ")" +
         NombreOperador(OperadorHaving);
    if (AgregadoHaving == Agregados::Count) {
        r.ValorHaving = std::to_string(Aleatorio(1, 10));
        s += r.ValorHaving;
    } else if (AgregadoHaving >= Agregados::Max && AgregadoHaving <= Agregados::Avg) {
        const engine::Value v = ValorAleatorio(NombreTabla(t), NombreCampo(t, f));
        r.ValorHaving = v.toSpanishText();
        s += LiteralDeValor(TipoCampo(t, f), v, r.ValorHaving);
    }
}

SqlConValores Motor::SqlSubqueryCorrelacionada(const PlanSubconsulta& sub) {
    // The outer table is not listed: the subquery refers to the outer query's row.
    const int i = sub.IndTabla;
    const std::string I = Corchetes(NombreTabla(i));
    SqlConValores r;
    std::string& s = r.Sql;
    s = "Select ";
    if (sub.Agregado != Agregados::Ninguno)
        s += NombreAgregado(sub.Agregado) + "(";
    s += I + ".";
    s += sub.IndCampo != 0 ? Corchetes(NombreCampo(i, sub.IndCampo)) : "* ";
    if (sub.Agregado != Agregados::Ninguno)
        s += ")";
    s += " from " + I;
    s += " where " + ParesRelacion(sub.IndRelacion);
    if (sub.IndCampoCond == 0)
        s.erase(s.size() >= 4 ? s.size() - 4 : 0);
    else
        Condicion(i, sub.IndCampoCond, sub.Operador, r);
    return r;
}

void Motor::AnadirSubquery(std::string& s, const PlanConsulta& p, int o) const {
    if (!ConSubquery(p.TipoSubquery))
        return;
    if (p.IndCampoCond < 1)
        s += " where ";
    else if (p.Conector == Conectores::Y)
        s += "AND ";
    else if (p.Conector == Conectores::O)
        s += "OR ";
    switch (p.TipoSubquery) {
        case Subconsultas::Valor:
            s += Columna(o, p.IndCampoSub) + NombreOperador(p.OperadorSub) + " " + "(" +
                 p.SqlSubquery + ")";
            break;
        case Subconsultas::Lista:
            s += Columna(o, p.IndCampoSub) + " " +
                 (p.OperadorSub == Pertenencia::En ? "in" : "not in") + " " + "(" + p.SqlSubquery +
                 ")";
            break;
        case Subconsultas::NoExiste:
            s += " not exists (" + p.SqlSubquery + ")";
            break;
    }
}

}  // namespace veliora::generador

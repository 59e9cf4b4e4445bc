// SQL builders. Every blank is part of the shape students are shown: keep them as they are.
#include "core/generator/motor.h"
#include "core/generator/reglas.h"
#include "core/shell/rutinas.h"

namespace veliora::generador {

namespace {

void EncerrarDisyuncion(std::string& s, std::size_t inicioCondicion, int TipoSubquery,
                        int IndCampoCond, int Conector) {
    // "A = B and COND OR SUB" would bind the join only to COND: a cartesian product.
    if (TipoSubquery < 1 || TipoSubquery > 3 || IndCampoCond < 1 || Conector != 2)
        return;
    s.insert(inicioCondicion, "(");
    s += ")";
}

}  // namespace

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

std::string Motor::Condicion(int t, int f, int op, std::string& Valor1, std::string& Valor2) {
    std::string s = Columna(t, f) + NombreOperador(op);
    const std::string tabla = NombreTabla(t), campo = NombreCampo(t, f);
    if (op >= Operadores::Igual && op <= Operadores::Distinto) {
        Valor1 = ValorAleatorio(tabla, campo).toSpanishText();
        Valor2.clear();
        s += LiteralPorTipo(TipoCampo(t, f), Valor1);
    } else if (op == Operadores::Entre || op == Operadores::En) {
        // Two independent draws; "between" takes the smaller first, or it matches no row.
        engine::Value a = ValorAleatorio(tabla, campo), b = ValorAleatorio(tabla, campo);
        if (op == Operadores::Entre && engine::CompareValues(b, a) < 0)
            std::swap(a, b);
        Valor1 = a.toSpanishText();
        Valor2 = b.toSpanishText();
        if (op == Operadores::Entre)
            s += LiteralNumero(Valor1) + " and " + LiteralNumero(Valor2);
        else
            s += "(" + LiteralNumero(Valor1) + " , " + LiteralNumero(Valor2) + ")";
    }
    return s;
}

std::string Motor::SqlUnaTabla(int IndTabla, int IndCampo, bool Distinto, int Agregado,
                               int IndCampoCond, int Operador, std::string& Valor1,
                               std::string& Valor2, int TipoSubquery, int Conector, int IndCampoSub,
                               int OperadorSub, const std::string& SqlSubquery) {
    const std::string T = Corchetes(NombreTabla(IndTabla));
    std::string s = "Select ";
    if (Agregado != Agregados::Ninguno)
        s += NombreAgregado(Agregado) + "(";
    if (Distinto)
        s += "Distinct ";
    s += T + ".";
    s += IndCampo != 0 ? Corchetes(NombreCampo(IndTabla, IndCampo)) : "* ";
    if (Agregado != Agregados::Ninguno)
        s += ")";
    s += " from " + T;
    if (IndCampoCond > 0)
        s += " where " + Condicion(IndTabla, IndCampoCond, Operador, Valor1, Valor2);
    s += " ";
    if (TipoSubquery > 0)
        AnadirSubquery(s, TipoSubquery, IndCampoCond, Conector, IndTabla, IndCampoSub, OperadorSub,
                       SqlSubquery);
    return s;
}

std::string Motor::SqlVariasTablas(int IndRelacion, int IndTabla, int IndTabla2, int IndCampo,
                                   int Agregado, int IndCampoCond, int Operador,
                                   std::string& Valor1, std::string& Valor2, int IndRelacion2,
                                   int IndTabla3, int TipoSubquery, int Conector, int IndCampoSub,
                                   int OperadorSub, const std::string& SqlSubquery) {
    std::string s = "Select ";
    if (Agregado != Agregados::Ninguno)
        s += NombreAgregado(Agregado) + "(";
    // All fields are written without the table name here.
    s += IndCampo != 0 ? Columna(IndTabla, IndCampo) : "* ";
    if (Agregado != Agregados::Ninguno)
        s += ")";
    s += " from " + Corchetes(NombreTabla(IndTabla)) + "," + Corchetes(NombreTabla(IndTabla2));
    if (IndTabla3 != 0)
        s += "," + Corchetes(NombreTabla(IndTabla3));
    s += " where ";
    std::string pares = ParesRelacion(IndRelacion);
    if (IndTabla3 != 0)
        pares += ParesRelacion(IndRelacion2);
    s += pares;
    const std::size_t inicioCondicion = s.size();
    const int ct = IndTabla3 != 0 ? IndTabla3 : IndTabla2;
    s += Condicion(ct, IndCampoCond, Operador, Valor1, Valor2);
    s += " ";
    if (TipoSubquery > 0) {
        AnadirSubquery(s, TipoSubquery, IndCampoCond, Conector, ct, IndCampoSub, OperadorSub,
                       SqlSubquery);
        if (!pares.empty())
            EncerrarDisyuncion(s, inicioCondicion, TipoSubquery, IndCampoCond, Conector);
    }
    return s;
}

namespace {

std::string Agregar(int agregado, const std::string& columna) {
    if (agregado == Agregados::Ninguno)
        return columna;
    return NombreAgregado(agregado) + "(" + columna + ")";
}

}  // namespace

std::string Motor::SqlAgrupadaUnaTabla(int IndTabla, int IndCampoGrupo, int IndCampoAgregado,
                                       bool MostrarAgregado, int Agregado, int IndCampoCond,
                                       int Operador, int AgregadoHaving, int OperadorHaving,
                                       std::string& Valor1, std::string& Valor2,
                                       std::string& ValorHaving, int TipoSubquery, int Conector,
                                       int IndCampoSub, int OperadorSub,
                                       const std::string& SqlSubquery) {
    std::string s = "Select " + Columna(IndTabla, IndCampoGrupo);
    if (MostrarAgregado)
        s += "," + Agregar(Agregado, Columna(IndTabla, IndCampoAgregado));
    s += " from " + Corchetes(NombreTabla(IndTabla));
    if (IndCampoCond != 0)
        s += " where " + Condicion(IndTabla, IndCampoCond, Operador, Valor1, Valor2);
    s += " ";
    if (TipoSubquery > 0)
        AnadirSubquery(s, TipoSubquery, IndCampoCond, Conector, IndTabla, IndCampoSub, OperadorSub,
                       SqlSubquery);
    s += " group by " + Columna(IndTabla, IndCampoGrupo);
    return s +
           ClausulaHaving(IndTabla, IndCampoAgregado, AgregadoHaving, OperadorHaving, ValorHaving);
}

std::string Motor::SqlAgrupadaVariasTablas(int IndRelacion, int IndTabla, int IndTabla2,
                                           int IndCampoGrupo, int IndCampoAgregado,
                                           bool MostrarAgregado, int Agregado, int IndCampoCond,
                                           int Operador, int AgregadoHaving, int OperadorHaving,
                                           std::string& Valor1, std::string& Valor2,
                                           std::string& ValorHaving, int TipoSubquery, int Conector,
                                           int IndCampoSub, int OperadorSub,
                                           const std::string& SqlSubquery) {
    std::string s = "Select " + Columna(IndTabla, IndCampoGrupo);
    if (MostrarAgregado)
        s += "," + Agregar(Agregado, Columna(IndTabla2, IndCampoAgregado));
    s += " from " + Corchetes(NombreTabla(IndTabla)) + "," + Corchetes(NombreTabla(IndTabla2));
    const std::string pares = ParesRelacion(IndRelacion);
    s += " where " + pares;
    const std::size_t inicioCondicion = s.size();
    if (IndCampoCond == 0)
        s.erase(s.size() >= 4 ? s.size() - 4 : 0);  // the "and " of the last " and "
    else
        s += Condicion(IndTabla2, IndCampoCond, Operador, Valor1, Valor2);
    s += " ";
    if (TipoSubquery > 0) {
        AnadirSubquery(s, TipoSubquery, IndCampoCond, Conector, IndTabla2, IndCampoSub, OperadorSub,
                       SqlSubquery);
        if (!pares.empty())
            EncerrarDisyuncion(s, inicioCondicion, TipoSubquery, IndCampoCond, Conector);
    }
    s += " group by " + Columna(IndTabla, IndCampoGrupo);
    return s +
           ClausulaHaving(IndTabla2, IndCampoAgregado, AgregadoHaving, OperadorHaving, ValorHaving);
}

std::string Motor::ClausulaHaving(int t, int f, int AgregadoHaving, int OperadorHaving,
                                  std::string& ValorHaving) {
    if (AgregadoHaving == Agregados::Ninguno)
        return {};
    std::string s = " having " + NombreAgregado(AgregadoHaving) + "(" + Columna(t, f) + ")" +
                    NombreOperador(OperadorHaving);
    if (AgregadoHaving == Agregados::Count) {
        ValorHaving = std::to_string(Aleatorio(1, 10));
        s += ValorHaving;
    } else if (AgregadoHaving >= Agregados::Max && AgregadoHaving <= Agregados::Avg) {
        ValorHaving = ValorAleatorio(NombreTabla(t), NombreCampo(t, f)).toSpanishText();
        s += LiteralPorTipo(TipoCampo(t, f), ValorHaving);
    }
    return s;
}

std::string Motor::SqlSubqueryCorrelacionada(int IndRelacion, int i, int /*o*/, int IndCampo,
                                             int Agregado, int IndCampoCond, int Operador,
                                             std::string& Valor1, std::string& Valor2) {
    // The outer table is not listed: the subquery refers to the outer query's row.
    const std::string I = Corchetes(NombreTabla(i));
    std::string s = "Select ";
    if (Agregado != Agregados::Ninguno)
        s += NombreAgregado(Agregado) + "(";
    s += I + ".";
    s += IndCampo != 0 ? Corchetes(NombreCampo(i, IndCampo)) : "* ";
    if (Agregado != Agregados::Ninguno)
        s += ")";
    s += " from " + I;
    s += " where " + ParesRelacion(IndRelacion);
    if (IndCampoCond == 0)
        s.erase(s.size() >= 4 ? s.size() - 4 : 0);
    else
        s += Condicion(i, IndCampoCond, Operador, Valor1, Valor2);
    return s;
}

void Motor::AnadirSubquery(std::string& s, int TipoSubquery, int IndCampoCond, int Conector, int o,
                           int IndCampoSub, int OperadorSub, const std::string& SqlSubquery) {
    if (TipoSubquery < 1 || TipoSubquery > 3)
        return;
    if (IndCampoCond < 1)
        s += " where ";
    else if (Conector == 1)
        s += "AND ";
    else if (Conector == 2)
        s += "OR ";
    switch (TipoSubquery) {
        case 1:
            s += Columna(o, IndCampoSub) + NombreOperador(OperadorSub) + " " + "(" + SqlSubquery +
                 ")";
            break;
        case 2:
            s += Columna(o, IndCampoSub) + " " + (OperadorSub == 1 ? "in" : "not in") + " " + "(" +
                 SqlSubquery + ")";
            break;
        case 3:
            s += " not exists (" + SqlSubquery + ")";
            break;
    }
}

}  // namespace veliora::generador

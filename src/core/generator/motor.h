#pragma once
// The query generator: drivers of the four kinds, the subquery generator, the SQL builders,
// the dictionary lookups and the statement builders, over one user database and its
// auxiliary database. GeneradorConsultas (generador.h) is the window's thin face of it;
// the command-line tool and the tests use it directly to see the plan of each query.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/dictionary/esquema.h"
#include "core/engine/database.h"
#include "core/generator/calidad.h"
#include "core/generator/redaccion.h"
#include "core/generator/vocabulario.h"

namespace veliora::generador {

// Draws one press may spend before it gives up (restarts of every kind included).
inline constexpr int kMaxIntentos = 200;

struct PlanConsulta;

// What the inner query of a subquery was built from.
struct PlanSubconsulta {
    int Forma = 0;  // FormasSub: the draw s of kinds 1 and 2; Correlacionada for kind 3
    int IndRelacion = 0;
    int IndTabla = 0;
    int IndTabla2 = 0;  // the other table of the join; the outer table when correlated
    int IndCampo = 0;
    int Agregado = 0;
    int IndCampoCond = 0;
    int Operador = 0;
    std::string Valor1;
    std::string Valor2;

    // The inner query of a one- or two-table form as a plan of its own.
    PlanConsulta Consulta() const;
};

// The values that describe one query; unused ones stay 0, empty or false. Codes are those
// of reglas.h (Agregados, Operadores, Subconsultas, Conectores, Pertenencia).
struct PlanConsulta {
    int IndTabla = 0, IndTabla2 = 0, IndTabla3 = 0;
    int IndRelacion = 0, IndRelacion2 = 0;
    int IndCampo = 0;
    bool Distinto = false;
    int Agregado = 0;
    int IndCampoCond = 0;
    int Operador = 0;
    std::string Valor1, Valor2;
    int IndCampoGrupo = 0, IndCampoAgregado = 0;
    bool MostrarAgregado = false;
    int AgregadoHaving = 0, OperadorHaving = 0;
    std::string ValorHaving;
    int TipoSubquery = 0, Conector = 0, IndCampoSub = 0;
    int OperadorSub = 0;  // an operator (kind 1), Pertenencia (kind 2), 1 (kind 3)
    std::string SqlSubquery, TextoSubquery;
    std::optional<PlanSubconsulta> Sub;  // present when a subquery was built
};

// What an SQL builder gives: the statement and the values it sampled for its conditions,
// which the statement builders then show.
struct SqlConValores {
    std::string Sql;
    std::string Valor1, Valor2, ValorHaving;
};

enum class FinPulsacion {
    Pregunta,    // a new question is ready
    SinMarcas,   // no kind ticked
    Limite,      // every draw of the budget was refused
    ErrorMotor,  // an engine error ended the generation (no tables, no relations...)
};

// The last press: what was chosen, how many draws it took and the query as built.
struct Generacion {
    FinPulsacion Fin = FinPulsacion::SinMarcas;
    int Tipo = 0;    // ticked box chosen, 1 to 5
    int Driver = 0;  // driver run, 1 to 4
    bool Compleja = false;
    int Intentos = 0;
    std::string SqlBruto, PreguntaBruta;  // before lower-casing
    std::string Sql, Pregunta;            // as finally stored
    PlanConsulta Plan;
    // The quality gate: rows of the solution (-1 when not measured) and the questions it
    // refused on this press.
    long Filas = -1;
    int Redibujadas = 0;
};

class Motor {
  public:
    Motor(std::shared_ptr<engine::Database> usuario, std::shared_ptr<engine::Database> auxiliar);

    // Word lists, schema model and relation list. False on an engine error.
    bool Cargar(engine::Error& error);

    // The language of the questions (the settings' by default). The SQL and every random
    // draw are the same in both: only the wording changes.
    void FijarIdioma(Idioma idioma);
    Idioma IdiomaPreguntas() const { return idioma_; }

    // One press with the ticked boxes (index 0 = box 1). With the quality gate on, a
    // question with an empty or trivial solution is drawn again while the press's draws
    // last; when they run out, the best refused one is shown.
    bool GenerarPregunta(const std::array<bool, 5>& marcadas);
    OpcionesCalidad Calidad = LeerOpcionesCalidad();
    const Generacion& Ultima() const { return ultima_; }

    ColTablas EstructuraBD;
    std::string SolucionSQL;
    std::string TextoPregunta;

    // ---- drivers: bounded redraws until the engine accepts the query
    bool GenerarQueryUnaTabla(bool Compleja);
    bool GenerarQueryDosTablas(bool Compleja);
    bool GenerarQueryTresTablas(bool Compleja);
    bool GenerarQueryAgrupada(bool Compleja);

    // ---- draw rules and model services
    const std::vector<engine::Relation>& Relaciones() const { return relaciones_; }
    int IndiceTabla(std::string_view nombre) const;
    int IndiceCampo(std::string_view tabla, std::string_view campo) const;
    int BuscarSegundaRelacion(int y, int r) const;
    int RelacionAleatoria(int t) const;
    int RelacionAleatoriaPrincipal(int t) const;
    engine::Value ValorAleatorio(const std::string& tabla, const std::string& campo);
    int ElegirAgregado(int t, int f, bool Obligatorio);
    int ElegirAgregadoAgrupado(int t, int f);
    int ElegirOperador(int t, int f, bool SoloComparaciones);
    bool CampoConIndiceUnico(int t, int f) const;
    // Whether the engine accepts the statement; keeps its bracket-free form when that is
    // accepted too and only drops brackets around plain names.
    bool ValidarQuery(std::string& sql);

    // ---- SQL builders. The subquery clause is p's SqlSubquery as it stands.
    SqlConValores SqlUnaTabla(const PlanConsulta& p);
    SqlConValores SqlVariasTablas(const PlanConsulta& p);  // two tables, or three with IndTabla3
    SqlConValores SqlAgrupadaUnaTabla(const PlanConsulta& p);
    SqlConValores SqlAgrupadaVariasTablas(const PlanConsulta& p);
    // The inner query of a not-exists subquery (form Correlacionada).
    SqlConValores SqlSubqueryCorrelacionada(const PlanSubconsulta& s);

    // ---- dictionary lookups, in the language of the questions (whether a field may be
    // summed is the same in both). An object without a row reads as the dictionary
    // initialisation writes it (names and gender by the ending rules of the language, not
    // summable, relations "de" with both flags off); a stored row keeps its values, empty
    // ones too.
    bool LeerPermiteSum(int t, int f);
    bool LeerMascFemeTabla(int t);
    bool LeerMascFemeCampo(int t, int f);
    std::string LeerNombreCampo(int t, int f, bool singular);
    std::string LeerNombreTabla(int t, bool singular);
    std::string LeerTraduccion(int r, bool& NoConcatenar);
    std::string LeerTraduccion2(int r, bool& NoConcatenar2);

    // ---- statement builders: the values shown are p's Valor1, Valor2 and ValorHaving, the
    // subquery clause p's TextoSubquery. Verbo opens the statement with a verb.
    std::string TextoUnaTabla(bool Verbo, const PlanConsulta& p);
    std::string TextoVariasTablas(bool Verbo, const PlanConsulta& p);
    std::string TextoAgrupadaUnaTabla(bool Verbo, const PlanConsulta& p);
    std::string TextoAgrupadaVariasTablas(bool Verbo, const PlanConsulta& p);
    std::string TextoSubqueryCorrelacionada(const PlanSubconsulta& s);

  private:
    // One draw of a driver: built, to be drawn again, or the press is over.
    enum class Paso { Construida, Repetir, Fin };
    struct Borrador {
        PlanConsulta plan;
        std::string sql, texto;
    };
    template <class Dibujo>
    bool Repetir(Dibujo&& dibujo);

    Paso DibujoUnaTabla(bool Compleja, Borrador& b);
    bool ElegirRelacionYSentido(PlanConsulta& p);
    Paso DibujoDosTablas(bool Compleja, Borrador& b);
    Paso DibujoTresTablas(bool Compleja, Borrador& b);
    Paso DibujoAgrupada(bool Compleja, Borrador& b);
    void DibujarAgregacion(PlanConsulta& p, int t, int n);
    // Draws the subquery of a complex query over the outer table o. False when the model
    // lacks what the draw reached for, which ends the press.
    bool GenerarSubquery(int o, PlanConsulta& p);
    // Builds the inner query of `sub` into p's subquery texts and keeps `sub` in p.
    void ConstruirSubquery(PlanSubconsulta sub, PlanConsulta& p);
    // Forgets what the lookups read, so that the dictionary is read afresh.
    void VaciarDiccionario() { cacheDiccionario_.clear(); }

    // Draw-time access; absent outside the model, which ends the press.
    const Tabla* TablaEn(int t) const;
    const Campo* CampoEn(int t, int f) const;
    std::optional<int> NumCampos(int t) const;
    const engine::Relation* RelacionEn(int r) const;
    // Builder-time access: an index outside the model gives an empty name.
    std::string NombreTabla(int t) const;
    std::string NombreCampo(int t, int f) const;
    int TipoCampo(int t, int f) const;  // 0 when outside the model
    std::string Columna(int t, int f) const;
    std::string ParesRelacion(int r) const;
    // Appends the condition on field f of table t to r.Sql, with the values it samples.
    void Condicion(int t, int f, int op, SqlConValores& r);
    // Appends the " having " clause of a grouped query over field f of table t.
    void ClausulaHaving(int t, int f, int AgregadoHaving, int OperadorHaving, SqlConValores& r);
    // The subquery clause of p after the outer condition, over the outer table o.
    void AnadirSubquery(std::string& s, const PlanConsulta& p, int o) const;
    void AnadirTextoSubquery(Redaccion& s, const PlanConsulta& p, int t);
    void InicioAgrupada(Redaccion& s, bool Verbo, const PlanConsulta& p, int ta);

    // Statement blocks.
    Redaccion NuevaRedaccion() const { return Redaccion(Palabras.Valenciano); }
    const std::string& Articulo(bool masculino) const {
        return Palabras.ArticuloPlural[masculino ? 1 : 0];
    }
    const std::string& ArticuloSingular(bool masculino) const {
        return Palabras.ArticuloSingular[masculino ? 1 : 0];
    }
    void BloqueV(Redaccion& s, bool Verbo);
    void BloqueS(Redaccion& s, int t, int f, int a, bool d);
    void BloqueR(Redaccion& s, int t, int r, int u, bool& nc);
    // The words that bring in field f of table t with connector k (Conectores).
    void IntroducirCampo(Redaccion& s, int t, int f, bool masculino, int k);
    void BloqueC(Redaccion& s, int ct, int cf, int op, const std::string& A, const std::string& B,
                 bool comillas);
    void BloqueG(Redaccion& s, int tg, int g, int ta, int af, int h, int oh, const std::string& vh);

    // Dictionary: the first row of a lookup, cached for one press.
    const std::vector<engine::Value>* Consultar(const char* sql,
                                                const std::vector<std::string>& nombres);

    Idioma idioma_ = LeerIdiomaPreguntas();
    Vocabulario Palabras;
    std::shared_ptr<engine::Database> usuario_;
    std::shared_ptr<engine::Database> auxiliar_;
    std::vector<engine::Relation> relaciones_;
    std::map<std::string, std::optional<std::vector<engine::Value>>> cacheDiccionario_;

    // What a uniform draw of a table's rows needs, read at first use: the range of its row
    // ids, or its row count when it has none (WITHOUT ROWID) or they are too sparse.
    struct Filas {
        bool porRowid = false;
        std::string alias;  // rowid, oid or _rowid_
        std::int64_t minimo = 0, maximo = 0;
        std::int64_t total = -1;  // -1 until counted
    };
    Filas& FilasDe(const std::string& tabla);
    std::string AliasRowid(const std::string& tabla) const;
    static void AnotarExtremos(Filas& f, const engine::Value& minimo, const engine::Value& maximo);
    void LeerExtremos();
    std::int64_t ContarFilas(const std::string& tabla, Filas& f);
    std::unordered_map<std::string, Filas> filas_;

    int intentos_ = 0;
    Generacion ultima_;
    Generacion enCurso_;
};

}  // namespace veliora::generador

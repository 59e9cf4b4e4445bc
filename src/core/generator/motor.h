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
#include "core/generator/vocabulario.h"

namespace veliora::generador {

// Draws one press may spend before it gives up (restarts of every kind included).
inline constexpr int kMaxIntentos = 200;

// What the inner builder of a subquery received.
struct PlanSubconsulta {
    int Forma = 0;  // the draw s of kinds 1 and 2; 0 for kind 3
    int IndRelacion = 0;
    int IndTabla = 0;
    int IndTabla2 = 0;
    int IndCampo = 0;
    int Agregado = 0;
    int IndCampoCond = 0;
    int Operador = 0;
    std::string Valor1;
    std::string Valor2;
};

// The values that describe one query; unused ones stay 0, empty or false.
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
    int TipoSubquery = 0, Conector = 0, IndCampoSub = 0, OperadorSub = 0;
    std::string SqlSubquery, TextoSubquery;
    std::optional<PlanSubconsulta> Sub;  // present when a subquery was built
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
    bool Cargar(engine::EngineError& error);

    // One press with the ticked boxes (index 0 = box 1). With the quality gate on, a
    // question with an empty or trivial solution is drawn again while the press's draws
    // last; when they run out, the best refused one is shown.
    bool GenerarPregunta(const std::array<bool, 5>& marcadas);
    OpcionesCalidad Calidad = LeerOpcionesCalidad();
    const Generacion& Ultima() const { return ultima_; }

    ColTablas EstructuraBD;
    Vocabulario Palabras;
    std::string SolucionSQL;
    std::string TextoPregunta;

    // ---- drivers: bounded redraws until the engine accepts the query
    bool GenerarQueryUnaTabla(bool Compleja);
    bool GenerarQueryDosTablas(bool Compleja);
    bool GenerarQueryTresTablas(bool Compleja);
    bool GenerarQueryAgrupada(bool Compleja);

    // ---- common services
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
    void GenerarSubquery(int o, PlanConsulta& plan);

    // ---- SQL builders
    std::string SqlUnaTabla(int IndTabla, int IndCampo, bool Distinto, int Agregado,
                            int IndCampoCond, int Operador, std::string& Valor1,
                            std::string& Valor2, int TipoSubquery, int Conector, int IndCampoSub,
                            int OperadorSub, const std::string& SqlSubquery);
    std::string SqlVariasTablas(int IndRelacion, int IndTabla, int IndTabla2, int IndCampo,
                                int Agregado, int IndCampoCond, int Operador, std::string& Valor1,
                                std::string& Valor2, int IndRelacion2, int IndTabla3,
                                int TipoSubquery, int Conector, int IndCampoSub, int OperadorSub,
                                const std::string& SqlSubquery);
    std::string SqlAgrupadaUnaTabla(int IndTabla, int IndCampoGrupo, int IndCampoAgregado,
                                    bool MostrarAgregado, int Agregado, int IndCampoCond,
                                    int Operador, int AgregadoHaving, int OperadorHaving,
                                    std::string& Valor1, std::string& Valor2,
                                    std::string& ValorHaving, int TipoSubquery, int Conector,
                                    int IndCampoSub, int OperadorSub,
                                    const std::string& SqlSubquery);
    std::string SqlAgrupadaVariasTablas(int IndRelacion, int IndTabla, int IndTabla2,
                                        int IndCampoGrupo, int IndCampoAgregado,
                                        bool MostrarAgregado, int Agregado, int IndCampoCond,
                                        int Operador, int AgregadoHaving, int OperadorHaving,
                                        std::string& Valor1, std::string& Valor2,
                                        std::string& ValorHaving, int TipoSubquery, int Conector,
                                        int IndCampoSub, int OperadorSub,
                                        const std::string& SqlSubquery);
    std::string SqlSubqueryCorrelacionada(int IndRelacion, int i, int o, int IndCampo, int Agregado,
                                          int IndCampoCond, int Operador, std::string& Valor1,
                                          std::string& Valor2);
    void AnadirSubquery(std::string& s, int TipoSubquery, int IndCampoCond, int Conector, int o,
                        int IndCampoSub, int OperadorSub, const std::string& SqlSubquery);

    // ---- dictionary lookups. An object without a row reads as the dictionary initialisation
    // writes it (names and gender by the ending rules, not summable, relations "de" with
    // both flags off); a stored row keeps its values, empty ones too.
    bool LeerPermiteSum(int t, int f);
    bool LeerMascFemeTabla(int t);
    bool LeerMascFemeCampo(int t, int f);
    std::string LeerNombreCampo(int t, int f, bool singular);
    std::string LeerNombreTabla(int t, bool singular);
    std::string LeerTraduccion(int r, bool& NoConcatenar);
    std::string LeerTraduccion2(int r, bool& NoConcatenar2);
    // Forgets what the lookups read, so that the dictionary is read afresh.
    void VaciarDiccionario() { cacheDiccionario_.clear(); }

    // ---- statement builders
    std::string TextoUnaTabla(bool Verbo, int IndTabla, int IndCampo, bool Distinto, int Agregado,
                              int IndCampoCond, int Operador, const std::string& Valor1,
                              const std::string& Valor2, int TipoSubquery, int Conector,
                              int IndCampoSub, int OperadorSub, const std::string& TextoSubquery);
    std::string TextoVariasTablas(bool Verbo, int IndRelacion, int IndTabla, int IndTabla2,
                                  int IndCampo, int Agregado, int IndCampoCond, int Operador,
                                  const std::string& Valor1, const std::string& Valor2,
                                  int IndRelacion2, int IndTabla3, int TipoSubquery, int Conector,
                                  int IndCampoSub, int OperadorSub,
                                  const std::string& TextoSubquery);
    std::string InicioAgrupada(bool Verbo, int IndTabla, int IndCampoGrupo, int ta,
                               int IndCampoAgregado, bool MostrarAgregado, int Agregado);
    std::string TextoAgrupadaUnaTabla(bool Verbo, int IndTabla, int IndCampoGrupo,
                                      int IndCampoAgregado, bool MostrarAgregado, int Agregado,
                                      int IndCampoCond, int Operador, int AgregadoHaving,
                                      int OperadorHaving, const std::string& Valor1,
                                      const std::string& Valor2, const std::string& ValorHaving,
                                      int TipoSubquery, int Conector, int IndCampoSub,
                                      int OperadorSub, const std::string& TextoSubquery);
    std::string TextoAgrupadaVariasTablas(bool Verbo, int IndRelacion, int IndTabla, int IndTabla2,
                                          int IndCampoGrupo, int IndCampoAgregado,
                                          bool MostrarAgregado, int Agregado, int IndCampoCond,
                                          int Operador, int AgregadoHaving, int OperadorHaving,
                                          const std::string& Valor1, const std::string& Valor2,
                                          const std::string& ValorHaving, int TipoSubquery,
                                          int Conector, int IndCampoSub, int OperadorSub,
                                          const std::string& TextoSubquery);
    std::string TextoSubqueryCorrelacionada(int IndRelacion, int t, int u, int IndCampoCond,
                                            int Operador, const std::string& Valor1,
                                            const std::string& Valor2, int TipoSubquery,
                                            int Conector, int IndCampoSub, int OperadorSub,
                                            const std::string& TextoSubquery);
    void AnadirTextoSubquery(std::string& s, int TipoSubquery, int IndCampoCond, int Conector,
                             int t, int IndCampoSub, int OperadorSub,
                             const std::string& TextoSubquery);

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
    void ElegirRelacionYSentido(PlanConsulta& p);
    Paso DibujoDosTablas(bool Compleja, Borrador& b);
    Paso DibujoTresTablas(bool Compleja, Borrador& b);
    Paso DibujoAgrupada(bool Compleja, Borrador& b);
    void DibujarAgregacion(PlanConsulta& p, int t);

    // Draw-time access: an index outside the model ends the press (FinGeneracion).
    const Tabla& TablaEn(int t) const;
    const Campo& CampoEn(int t, int f) const;
    int NumCampos(int t) const { return TablaEn(t).Campos.Count(); }
    const engine::Relation& RelacionEn(int r) const;
    // Builder-time access: an index outside the model gives an empty name.
    std::string NombreTabla(int t) const;
    std::string NombreCampo(int t, int f) const;
    int TipoCampo(int t, int f) const;  // 0 when outside the model
    std::string Columna(int t, int f) const;
    std::string ParesRelacion(int r) const;
    std::string Condicion(int t, int f, int op, std::string& Valor1, std::string& Valor2);
    // " having " clause of a grouped query over field f of table t; samples ValorHaving.
    std::string ClausulaHaving(int t, int f, int AgregadoHaving, int OperadorHaving,
                               std::string& ValorHaving);

    // Statement blocks.
    void Anadir(std::string& s, const std::string& pieza) const;
    std::string Articulo(bool masculino) const { return masculino ? "los" : "las"; }
    void BloqueV(std::string& s, bool Verbo);
    void BloqueS(std::string& s, int t, int f, int a, bool d);
    void BloqueR(std::string& s, int t, int r, int u, bool& nc);
    void BloqueC(std::string& s, int ct, int cf, int op, const std::string& A, const std::string& B,
                 bool comillas);
    void BloqueG(std::string& s, int tg, int g, int ta, int af, int h, int oh,
                 const std::string& vh);

    // Dictionary: the first row of a lookup, cached for one press.
    const std::vector<engine::Value>* Consultar(const char* sql,
                                                const std::vector<std::string>& nombres);

    std::shared_ptr<engine::Database> usuario_;
    std::shared_ptr<engine::Database> auxiliar_;
    std::vector<engine::Relation> relaciones_;
    std::map<std::string, std::optional<std::vector<engine::Value>>> cacheDiccionario_;

    // Rows of each table for uniform sampling, loaded at first use.
    struct Filas {
        bool porRowid = false;
        std::string alias;  // rowid, oid or _rowid_
        std::vector<std::int64_t> rowids;
        std::int64_t total = 0;
    };
    const Filas& FilasDe(const std::string& tabla);
    std::unordered_map<std::string, Filas> filas_;

    int intentos_ = 0;
    Generacion ultima_;
    Generacion enCurso_;
};

}  // namespace veliora::generador

#pragma once
// The class's overview as a table: its question columns, its cells' texts, and its CSV form
// for a spreadsheet.

#include <string>
#include <vector>

#include "core/aula/almacen.h"

namespace veliora::aula {

// The bulletin questions some student tried plus `ademas` (say, those of the open auxiliary
// database), each once, in bulletin and number order.
std::vector<ClavePregunta> ColumnasSeguimiento(const Seguimiento& seguimiento,
                                               const std::vector<ClavePregunta>& ademas = {});
// "B/N", the key of a question in the JSON overview and the column heading.
std::string NombrePregunta(const ClavePregunta& pregunta);
// The verdict's words in the interface's language ("Correcto", "Correcto solo aquí"...).
std::string TextoMejor(Mejor mejor);
// Heading "Alumno", "Intentos", "Correctos" and one column per question; a cell holds the
// best verdict and, in brackets, the attempts; empty when not tried. RFC 4180 quoting,
// CRLF line ends.
std::string CsvSeguimiento(const Seguimiento& seguimiento,
                           const std::vector<ClavePregunta>& columnas);

}  // namespace veliora::aula

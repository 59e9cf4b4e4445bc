#pragma once
// libpq, loaded on first use: a program that never talks to a class server does not pay, at
// every start, for loading it and the twenty libraries it brings (TLS, Kerberos, LDAP...).
// <libpq-fe.h> gives the types and constants; the functions come through Pq().

#include <libpq-fe.h>

#include "core/aula/error.h"

namespace veliora::aula::pg {

// Every libpq function the class record calls.
// clang-format off
#define VELIORA_LIBPQ_FUNCIONES(X) \
    X(PQclear) X(PQconnectPoll) X(PQconnectStartParams) X(PQconnectionNeedsPassword)    \
    X(PQconnectionUsedPassword) X(PQconninfoFree) X(PQconninfoParse) X(PQconsumeInput)  \
    X(PQencryptPasswordConn) X(PQerrorMessage) X(PQescapeIdentifier) X(PQescapeLiteral) \
    X(PQfinish) X(PQflush) X(PQfreemem) X(PQgetResult) X(PQgetisnull) X(PQgetlength)    \
    X(PQgetvalue) X(PQisBusy) X(PQnfields) X(PQntuples) X(PQresultErrorField)           \
    X(PQresultStatus) X(PQsendQuery) X(PQsendQueryParams) X(PQsetNoticeProcessor)       \
    X(PQsetnonblocking) X(PQsocket) X(PQstatus) X(PQunescapeBytea)
// clang-format on

struct Libpq {
#define VELIORA_LIBPQ_PUNTERO(funcion) decltype(&::funcion) funcion = nullptr;
    VELIORA_LIBPQ_FUNCIONES(VELIORA_LIBPQ_PUNTERO)
#undef VELIORA_LIBPQ_PUNTERO
};

// Loads libpq on the first call (once, whichever thread comes first). False when the library
// or one of its functions cannot be loaded, with the loader's words: SinRespuesta, as no
// class server can be reached without it.
bool CargarLibpq(Error& error);

// The functions, once CargarLibpq has succeeded (any connection or result implies it).
const Libpq& Pq();

}  // namespace veliora::aula::pg

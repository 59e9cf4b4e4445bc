#pragma once
// The schema model: tables with their fields and indexes, loaded from the user database.
// Positions count from 1; keys are names and ignore letter case.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/engine/database.h"

namespace veliora {

// An ordered, keyed collection. Item and Remove take a position (from 1) or a key; an
// unknown key or a position outside 1..Count throws std::out_of_range; adding a key
// already present throws std::invalid_argument.
template <class T>
class Coleccion {
  public:
    using Clave = std::variant<std::int32_t, std::string>;

    T& Add(T item, const std::string& clave = {});
    T& Item(std::int32_t posicion);
    const T& Item(std::int32_t posicion) const;
    T& Item(std::string_view clave);
    const T& Item(std::string_view clave) const;
    std::int32_t Count() const { return std::int32_t(items_.size()); }
    void Remove(std::int32_t posicion);
    void Remove(std::string_view clave);
    // Position (from 1) of the item with that key, 0 when none.
    std::int32_t Posicion(std::string_view clave) const;

    // Walks the items in position order (for-each loops).
    auto begin() { return Iter<typename std::vector<Entrada>::iterator, T>{items_.begin()}; }
    auto end() { return Iter<typename std::vector<Entrada>::iterator, T>{items_.end()}; }
    auto begin() const {
        return Iter<typename std::vector<Entrada>::const_iterator, const T>{items_.begin()};
    }
    auto end() const {
        return Iter<typename std::vector<Entrada>::const_iterator, const T>{items_.end()};
    }

  private:
    struct Entrada {
        std::string clave;  // empty: no key
        std::unique_ptr<T> item;
    };
    template <class It, class V>
    struct Iter {
        It it;
        V& operator*() const { return *it->item; }
        V* operator->() const { return it->item.get(); }
        Iter& operator++() {
            ++it;
            return *this;
        }
        bool operator!=(const Iter& o) const { return it != o.it; }
        bool operator==(const Iter& o) const { return it == o.it; }
    };
    std::size_t Lugar(std::int32_t posicion) const;
    std::size_t Lugar(std::string_view clave) const;
    std::vector<Entrada> items_;
};

struct Campo {
    std::string Nombre;
    std::int32_t Tipo = 0;  // engine type code
};

struct Indice {
    std::string Nombre;
    bool Unico = false;
    bool ClaveAjena = false;
    std::vector<std::string> Campos;  // the index's fields, in key order
};

using ColCampos = Coleccion<Campo>;
using ColIndices = Coleccion<Indice>;

struct Tabla {
    std::string Nombre;
    ColIndices Indices;
    ColCampos Campos;
};

using ColTablas = Coleccion<Tabla>;

// Replaces `destino` with the ordinary tables of the database (those whose Attributes are
// 0), in the engine's order, each with its indexes and fields. False on an engine error.
bool CargarEstructura(ColTablas& destino, engine::Database& bd, engine::Error& error);

// Case-insensitive comparison of names (ASCII letters, as keys ignore letter case).
bool MismoNombre(std::string_view a, std::string_view b);

// ---- implementation of the collection ----

template <class T>
T& Coleccion<T>::Add(T item, const std::string& clave) {
    if (!clave.empty() && Posicion(clave) != 0)
        throw std::invalid_argument("clave duplicada: " + clave);
    items_.push_back({clave, std::make_unique<T>(std::move(item))});
    return *items_.back().item;
}
template <class T>
std::size_t Coleccion<T>::Lugar(std::int32_t posicion) const {
    if (posicion < 1 || posicion > Count())
        throw std::out_of_range("posición fuera de rango: " + std::to_string(posicion));
    return std::size_t(posicion - 1);
}
template <class T>
std::size_t Coleccion<T>::Lugar(std::string_view clave) const {
    std::int32_t p = Posicion(clave);
    if (p == 0)
        throw std::out_of_range("clave desconocida: " + std::string(clave));
    return std::size_t(p - 1);
}
template <class T>
std::int32_t Coleccion<T>::Posicion(std::string_view clave) const {
    if (clave.empty())
        return 0;
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (MismoNombre(items_[i].clave, clave))
            return std::int32_t(i + 1);
    return 0;
}
template <class T>
T& Coleccion<T>::Item(std::int32_t posicion) {
    return *items_[Lugar(posicion)].item;
}
template <class T>
const T& Coleccion<T>::Item(std::int32_t posicion) const {
    return *items_[Lugar(posicion)].item;
}
template <class T>
T& Coleccion<T>::Item(std::string_view clave) {
    return *items_[Lugar(clave)].item;
}
template <class T>
const T& Coleccion<T>::Item(std::string_view clave) const {
    return *items_[Lugar(clave)].item;
}
template <class T>
void Coleccion<T>::Remove(std::int32_t posicion) {
    items_.erase(items_.begin() + std::ptrdiff_t(Lugar(posicion)));
}
template <class T>
void Coleccion<T>::Remove(std::string_view clave) {
    items_.erase(items_.begin() + std::ptrdiff_t(Lugar(clave)));
}

}  // namespace veliora

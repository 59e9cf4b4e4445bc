#include "core/generator/redaccion.h"

#include "core/dictionary/valenciano.h"

namespace veliora::generador {

void Redaccion::Pieza(std::string_view pieza) {
    if (!valenciano_) {
        hecho_ += pieza;
        hecho_ += ' ';
        return;
    }
    std::size_t i = 0;
    while (i < pieza.size()) {
        const std::size_t fin = std::min(pieza.find(' ', i), pieza.size());
        if (fin > i)
            palabras_.emplace_back(pieza.substr(i, fin - i));
        i = fin + 1;
    }
}

void Redaccion::Separar() {
    if (!hecho_.empty() && hecho_.back() != ' ')
        hecho_ += ' ';
}

void Redaccion::Volcar() {
    if (palabras_.empty())
        return;
    const std::string unidas = valenciano::Unir(palabras_);
    palabras_.clear();
    Separar();
    hecho_ += unidas;
}

void Redaccion::Valor(std::string_view valor) {
    if (valenciano_) {
        Volcar();
        if (valor.empty())
            return;
        Separar();
    }
    hecho_ += valor;
}

void Redaccion::Enlace(std::string_view palabra) {
    if (!valenciano_) {
        hecho_ += ' ';
        hecho_ += palabra;
        hecho_ += ' ';
        return;
    }
    Volcar();
    Separar();
    hecho_ += palabra;
}

void Redaccion::Enunciado(std::string_view texto) {
    if (!valenciano_) {
        hecho_ += texto;
        return;
    }
    const std::size_t inicio = texto.find_first_not_of(' ');
    if (inicio == std::string_view::npos)
        return;
    texto.remove_prefix(inicio);
    const std::size_t fin = std::min(texto.find(' '), texto.size());
    Pieza(texto.substr(0, fin));
    Volcar();
    if (fin < texto.size())
        hecho_ += texto.substr(fin);
}

void Redaccion::Hueco() {
    if (!valenciano_)
        hecho_ += ' ';
}

std::string Redaccion::Texto() {
    Volcar();
    while (valenciano_ && !hecho_.empty() && hecho_.back() == ' ') hecho_.pop_back();
    return hecho_;
}

}  // namespace veliora::generador

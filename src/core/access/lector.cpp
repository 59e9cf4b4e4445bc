#include "core/access/lector.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "core/access/conversion.h"
#include "core/shell/directorio.h"

extern char** environ;

namespace veliora::access {

namespace fs = std::filesystem;

namespace {

void Cerrar(int& fd) {
    if (fd >= 0)
        close(fd);
    fd = -1;
}

}  // namespace

fs::path RutaLector() {
    if (const char* env = std::getenv("VELIORA_MDB"); env && *env)
        return env;
    return RutaAyudante("veliora-mdb");
}

bool Lector::Iniciar(const fs::path& programa, const fs::path& archivo) {
    int salida[2], errores[2];
    if (pipe2(salida, O_CLOEXEC) != 0)
        return false;
    if (pipe2(errores, O_CLOEXEC) != 0) {
        close(salida[0]);
        close(salida[1]);
        return false;
    }
    posix_spawn_file_actions_t acciones;
    posix_spawn_file_actions_init(&acciones);
    posix_spawn_file_actions_addopen(&acciones, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&acciones, salida[1], 1);
    posix_spawn_file_actions_adddup2(&acciones, errores[1], 2);
    std::string p = programa.string(), a = archivo.string();
    char* argv[] = {p.data(), a.data(), nullptr};
    int rc = posix_spawn(&pid_, p.c_str(), &acciones, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&acciones);
    close(salida[1]);
    close(errores[1]);
    salida_ = salida[0];
    errores_ = errores[0];
    if (rc != 0) {
        pid_ = -1;
        return false;
    }
    return true;
}

std::optional<std::string> Lector::Linea(const std::function<bool()>& latido) {
    for (;;) {
        if (auto fin = pendiente_.find('\n', inicio_); fin != std::string::npos) {
            std::string linea = pendiente_.substr(inicio_, fin - inicio_);
            inicio_ = fin + 1;
            if (inicio_ > (1 << 16)) {
                pendiente_.erase(0, inicio_);
                inicio_ = 0;
            }
            return linea;
        }
        if (salida_ < 0)
            return std::nullopt;
        if (!Leer() && !latido())
            return std::nullopt;
    }
}

int Lector::Esperar() {
    while (salida_ >= 0 || errores_ >= 0) Leer();
    return Recoger();
}

void Lector::Terminar() {
    if (pid_ > 0)
        kill(pid_, SIGKILL);
    Cerrar(salida_);
    Cerrar(errores_);
    Recoger();
}

int Lector::Recoger() {
    if (pid_ <= 0)
        return estado_;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    estado_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return estado_;
}

// Reads what is there; false when nothing came for a while.
bool Lector::Leer() {
    pollfd fds[2] = {{salida_, POLLIN, 0}, {errores_, POLLIN, 0}};
    const int listos = poll(fds, 2, 200);
    if (listos == 0)
        return false;
    if (listos < 0) {
        if (errno != EINTR) {
            Cerrar(salida_);
            Cerrar(errores_);
        }
        return true;
    }
    char buf[65536];
    if (fds[0].revents) {
        ssize_t n = read(salida_, buf, sizeof buf);
        if (n > 0)
            pendiente_.append(buf, std::size_t(n));
        else if (n == 0 || errno != EINTR)
            Cerrar(salida_);
    }
    if (fds[1].revents) {
        ssize_t n = read(errores_, buf, sizeof buf);
        if (n > 0) {
            if (textoErrores_.size() < (1 << 16))
                textoErrores_.append(buf, std::size_t(n));
        } else if (n == 0 || errno != EINTR) {
            Cerrar(errores_);
        }
    }
    return true;
}

}  // namespace veliora::access

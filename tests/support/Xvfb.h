// Test support for the SDL host under a private X server: an Xvfb on a display it picks
// itself, the X libraries kept loaded for the leak checker, and a PATH lookup so that the
// tests skip where Xvfb or xdotool are missing.
#pragma once

#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace mv::test {

// An Xvfb server on a display it picks itself; killed when this goes away.
class TXvfb {
public:
    TXvfb() {
        int fds[2];
        if (pipe(fds) != 0) return;
        FPid = fork();
        if (FPid == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
                   "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // Xvfb writes the display number once it accepts connections.
        pollfd p{fds[0], POLLIN, 0};
        std::string number;
        while (FPid > 0 && poll(&p, 1, 10000) > 0) {
            char buf[16];
            const ssize_t n = read(fds[0], buf, sizeof buf);
            if (n <= 0) break;
            number.append(buf, static_cast<size_t>(n));
            if (number.find('\n') != std::string::npos) break;
        }
        close(fds[0]);
        while (!number.empty() && (number.back() == '\n' || number.back() == ' '))
            number.pop_back();
        if (!number.empty()) FDisplay = ":" + number;
    }
    ~TXvfb() {
        if (FPid > 0) {
            kill(FPid, SIGTERM);
            waitpid(FPid, nullptr, 0);
        }
    }
    TXvfb(const TXvfb&) = delete;
    TXvfb& operator=(const TXvfb&) = delete;
    // ":N", or empty when the server did not start.
    const std::string& Display() const { return FDisplay; }

private:
    pid_t FPid = -1;
    std::string FDisplay;
};

// SDL unloads the X and GL libraries it loaded when video stops; what they keep for the life
// of the process then looks leaked. Keeping them loaded keeps the leak checker accurate.
inline void PinXLibraries() {
    for (const char* lib :
         {"libX11.so.6", "libXext.so.6", "libXcursor.so.1", "libXi.so.6", "libXrandr.so.2", "libXfixes.so.3",
          "libXss.so.1", "libXinerama.so.1", "libxkbcommon.so.0", "libGL.so.1", "libGLX_mesa.so.0",
          "libd3d12.so", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
        dlopen(lib, RTLD_NOW | RTLD_NODELETE);
}

inline bool OnPath(const char* program) {
    const std::string cmd = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

} // namespace mv::test

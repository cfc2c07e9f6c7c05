#include "DisplayCheck.h"

#ifdef _WIN32

// Windows always has its window system: nothing to probe before the toolkit starts.
std::string MissingDisplayMessage()
{
    return {};
}

void ReleaseDisplayProbe()
{
}

#else

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::vector<std::string> PlatformNames(const std::string& list)
{
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos)
            end = list.size();
        std::string entry = list.substr(start, end - start);
        entry = entry.substr(0, entry.find(':')); // "vnc:size=800x600"
        if (!entry.empty())
            names.push_back(entry);
        start = end + 1;
    }
    return names;
}

xcb_connection_t* HeldConnection = nullptr;

bool XReachable(const std::string& display)
{
    // A server that is resetting (its last client just left) refuses for a
    // moment; a few tries tell that apart from no server at all.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (attempt > 0)
            usleep(100 * 1000);
        xcb_connection_t* connection = xcb_connect(display.empty() ? nullptr : display.c_str(), nullptr);
        if (connection && xcb_connection_has_error(connection) == 0) {
            ReleaseDisplayProbe();
            HeldConnection = connection;
            return true;
        }
        if (connection)
            xcb_disconnect(connection);
    }
    return false;
}

bool WaylandReachable()
{
    const std::string name = Environment("WAYLAND_DISPLAY");
    if (name.empty())
        return false;
    std::string path = name;
    if (name.front() != '/') {
        const std::string runtimeDir = Environment("XDG_RUNTIME_DIR");
        if (runtimeDir.empty())
            return false;
        path = runtimeDir + "/" + name;
    }
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool reachable = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return reachable;
}

std::string NotReachable(const std::string& what)
{
    return "morvask-betrachter: Die Anzeige " + what + " ist nicht erreichbar; das Programm braucht eine grafische Oberfläche.";
}

} // namespace

void ReleaseDisplayProbe()
{
    if (HeldConnection)
        xcb_disconnect(HeldConnection);
    HeldConnection = nullptr;
}

std::string MissingDisplayMessage()
{
    const std::string platform = Environment("QT_QPA_PLATFORM");
    const std::string display = Environment("DISPLAY");

    bool wantsX = platform.empty();
    bool wantsWayland = platform.empty();
    for (const std::string& name : PlatformNames(platform)) {
        if (name == "xcb")
            wantsX = true;
        else if (name.rfind("wayland", 0) == 0)
            wantsWayland = true;
        else
            return ""; // offscreen, vnc, eglfs ...: the toolkit's own business
    }

    if (wantsWayland && WaylandReachable())
        return "";
    if (wantsX && !display.empty() && XReachable(display))
        return "";

    const std::string wayland = Environment("WAYLAND_DISPLAY");
    if (display.empty() && wayland.empty())
        return "morvask-betrachter: Keine grafische Oberfläche gefunden (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt).";
    if (wantsX && !display.empty())
        return NotReachable("\"" + display + "\"");
    if (wantsWayland && !wayland.empty())
        return NotReachable("\"" + wayland + "\"");
    return std::string("morvask-betrachter: Keine grafische Oberfläche gefunden (") + (wantsX ? "DISPLAY" : "WAYLAND_DISPLAY") + " ist nicht gesetzt).";
}

#endif

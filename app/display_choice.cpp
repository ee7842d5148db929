#include "app/display_choice.h"

#include "app/command_line.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// An X server that accepts us: a set DISPLAY alone may name one that has gone, or refuses us.
bool xServerAnswers(const QByteArray& display) {
    if (display.isEmpty())
        return false;
    xcb_connection_t* c = xcb_connect(display.constData(), nullptr);
    const bool answers = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return answers;
}

// A Wayland compositor listening where its clients look: WAYLAND_DISPLAY, or wayland-0, in the
// runtime folder unless the name is a path.
bool waylandAnswers() {
    QByteArray name = qgetenv("WAYLAND_DISPLAY");
    if (name.isEmpty())
        name = "wayland-0";
    if (!name.startsWith('/')) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty())
            return false;
        name = runtime + '/' + name;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (std::size_t(name.size()) >= sizeof(address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), std::size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answers;
}

// Whether a platform of the user's list can show windows here. Only X11's and Wayland's depend on
// a server; any other (offscreen, vnc, a framebuffer) is taken at its word.
bool platformAnswers(const QString& platforms, const QByteArray& display) {
    for (const QString& entry : platforms.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0);
        if (name == QLatin1String("xcb")) {
            if (xServerAnswers(display))
                return true;
        } else if (name.startsWith(QLatin1String("wayland"))) {
            if (waylandAnswers())
                return true;
        } else {
            return true;
        }
    }
    return false;
}

} // namespace

DisplayChoice::DisplayChoice(int argc, char** argv) {
    for (int i = 0; i < argc; ++i)
        m_arguments.emplace_back(argv[i]);

    const std::optional<QString> display = command_line::qtOptionValue(argc, argv, "display");
    const QByteArray xDisplay = display ? display->toLocal8Bit() : qgetenv("DISPLAY");
    std::optional<QString> platform = command_line::qtOptionValue(argc, argv, "platform");
    if (!platform && !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        platform = qEnvironmentVariable("QT_QPA_PLATFORM");

    if (platform) {
        m_found = platformAnswers(*platform, xDisplay);
    } else if (xServerAnswers(xDisplay)) {
        m_arguments.insert(m_arguments.begin() + 1, {QByteArray("-platform"), QByteArray("xcb")});
    } else if (waylandAnswers()) {
        m_arguments.insert(m_arguments.begin() + 1, {QByteArray("-platform"), QByteArray("wayland")});
    } else {
        m_found = false;
    }

    for (QByteArray& argument : m_arguments)
        m_argv.push_back(argument.data());
    m_argc = int(m_arguments.size());
    m_argv.push_back(nullptr);
}

void DisplayChoice::reportNoDisplay() {
    std::fputs("cyfrolia: nie znaleziono ekranu graficznego: nie odpowiada ani serwer X (DISPLAY), "
               "ani Wayland (WAYLAND_DISPLAY).\n"
               "Okna programu otwierają się tylko na pulpicie. Bez ekranu można zapisać oceny wszystkich "
               "klas do pliku CSV:\n"
               "  cyfrolia --export-csv oceny.csv\n"
               "(\"-\" zamiast nazwy pliku: na standardowe wyjście).\n",
               stderr);
}

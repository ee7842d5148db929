#pragma once

#include <QByteArray>

#include <vector>

// Where the program's windows are shown, chosen before Qt starts. Wherever an X server answers, Qt
// runs on its X11 platform: windows are then placed, centred, framed and shaped as on any X11
// desktop, and GNOME's and KDE's Wayland sessions all run one (Xwayland). Wayland alone otherwise.
// A platform the user names (-platform, QT_QPA_PLATFORM) is theirs.
class DisplayChoice {
public:
    DisplayChoice(int argc, char** argv);
    DisplayChoice(const DisplayChoice&) = delete;
    DisplayChoice& operator=(const DisplayChoice&) = delete;

    // False when no display answers: the program can open no window.
    bool found() const { return m_found; }
    // Says so on standard error, in Polish, with what works without a display.
    static void reportNoDisplay();

    // The arguments to start Qt with: the program's own, and the platform where it was chosen here.
    // They live as long as this object.
    int& argc() { return m_argc; }
    char** argv() { return m_argv.data(); }

private:
    std::vector<QByteArray> m_arguments;
    std::vector<char*> m_argv;
    int m_argc = 0;
    bool m_found = true;
};

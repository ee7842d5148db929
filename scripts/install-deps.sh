#!/usr/bin/env bash
# Installs everything Cyfrolia needs to build, run and test on Debian 12 (run as root); with
# "package", what building and checking the Debian package needs: the tools, and the build
# dependencies that debian/control names.
# Idempotent: apt is only asked when a package is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  # build
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-base-private-dev # a test queues input as the window system does
  libqt6gui6 # its image plugins read the JPEG pictures
  qt6-charts-dev libqt6opengl6-dev # the teacher's chart (Qt Charts needs Qt OpenGL's CMake files)
  libxlsxwriter-dev # the teacher's export to a spreadsheet
  qt6-translations-l10n # Qt's own texts in Polish
  libgtest-dev googletest
  clang-format git
  # the sanitised tests and the fuzzers: clang with its sanitizer and libFuzzer runtimes
  clang-14 libclang-rt-14-dev ccache
  # fonts the program maps its typefaces to (all carry the Polish letters)
  fontconfig fonts-dejavu-core fonts-liberation fonts-quicksand fonts-comfortaa
  fonts-lobster fonts-lobstertwo fonts-urw-base35
  fonts-havana fonts-yanone-kaffeesatz # school handwriting (About, the class chooser) and a narrow display face
  # end-to-end tests: a private X server, real input, the accessibility bus, screenshots
  xvfb xauth xdotool x11-utils x11-xserver-utils openbox imagemagick
  dbus dbus-x11 at-spi2-core python3 python3-pyatspi
  python3-openpyxl poppler-utils # the spreadsheet and the printed PDF read back
  locales # the tests run under the Polish locale as well as C
  # asking the window manager for frames and owners; the start-up benchmark watches the screen
  libxcb1-dev libxcb-shape0-dev # and for cutting the menu's outline at the screen's own pixels
  # Debian's hardening flags for every build (dpkg-buildflags); the desktop entries' check
  dpkg-dev desktop-file-utils
  procps # the clean-up finds what each test started
  # the Wayland desktops the program is tried on, each with Xwayland: GNOME's mutter (its remote
  # desktop service takes the tests' input over the bus), KDE's KWin (its service cache tells which
  # program may give input), weston; and Qt's Wayland platform for a desktop without an X server
  mutter python3-dbus kwin-wayland libkf5service-bin weston xwayland qt6-wayland
  mandoc # the manual pages' lint
  # the installed copy's end-to-end test runs as an unprivileged user
  passwd
  # the saving helper's hardening check; saves on an exFAT stick (exfat-fuse on a loop device);
  # the ACLs a pupil sets before an upgrade
  devscripts exfat-fuse exfatprogs acl
)

if [[ "${1:-}" == package ]]; then
  # the source package's build, and the checks of what it builds
  packages=(dpkg-dev debhelper git xz-utils lintian devscripts desktop-file-utils appstream autopkgtest)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi

if [[ "${1:-}" == package ]]; then
  # The build dependencies, as debian/control names them.
  if ! (cd "$here" && dpkg-checkbuilddeps) 2>/dev/null; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get build-dep -y --no-install-recommends "$here"
  fi
  exit 0
fi

# The Polish locale, for the tests that run the program as a Polish user would.
if ! locale -a 2>/dev/null | grep -qix 'pl_PL.utf8'; then
  sed -i 's/^# *\(pl_PL.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^pl_PL.UTF-8 UTF-8' /etc/locale.gen || echo 'pl_PL.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen
fi

#!/usr/bin/env bash
# One entry point for the README's commands: run | test | bench | build.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${CYFROLIA_BUILD_DIR:-$here/build}"

configure_and_build() {
  bash "$here/scripts/install-deps.sh"
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$build"
}

case "${1:-}" in
  build)
    configure_and_build
    ;;
  run)
    configure_and_build
    if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
      exec "$build/cyfrolia"
    fi
    echo "No display attached: starting Cyfrolia on a virtual X server (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$build/cyfrolia"
    ;;
  test)
    configure_and_build
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j 2 --repeat until-pass:2
    ;;
  bench)
    configure_and_build
    cmake --build "$build" --target benchmarks
    for b in "$build"/bench/*/bench_*; do
      [[ -f "$b" && -x "$b" ]] || continue
      echo "== $(basename "$b")"
      "$b"
    done
    ;;
  *)
    echo "usage: $0 run|test|bench|build" >&2
    exit 2
    ;;
esac

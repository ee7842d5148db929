#!/usr/bin/env bash
# One entry point for the README's commands: run | test | bench | build | package.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${CYFROLIA_BUILD_DIR:-$here/build}"
# The sanitised build of the tests and the fuzzers (clang).
sanitized="${CYFROLIA_SANITIZED_BUILD_DIR:-$here/build-asan}"

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi


configure_and_build() {
  bash "$here/scripts/install-deps.sh"
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
  cmake --build "$build"
}

configure_and_build_sanitized() {
  cmake -S "$here" -B "$sanitized" -G Ninja -DCMAKE_BUILD_TYPE=Debug "${launcher[@]}" \
    -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_CXX_FLAGS=-O1 -DCYFROLIA_SANITIZE=ON -DCYFROLIA_FUZZ=ON
  cmake --build "$sanitized"
}

# The tree follows .clang-format; an unformatted file fails the tests.
check_format() {
  local unformatted
  unformatted=$(cd "$here" && git ls-files '*.cpp' '*.h' | while read -r f; do
    clang-format --style=file --dry-run -Werror "$f" >/dev/null 2>&1 || echo "$f"
  done)
  if [[ -n "$unformatted" ]]; then
    echo "Not formatted (run clang-format -i):" >&2
    echo "$unformatted" >&2
    return 1
  fi
}

# run_tests <build folder> <ctest arguments...>: runs the suites with every process they start marked;
# none may outlive them. A process still ending gets a few seconds to go, then the run fails.
run_tests() {
  local dir=$1 mark="cyfrolia-tests-$$-$SRANDOM" rc=0
  shift
  (cd "$dir" && CYFROLIA_TEST_RUN="$mark" ctest "$@") || rc=$?
  local deadline=$((SECONDS + 10)) left
  while left=$(marked_processes "$mark") && [[ -n "$left" ]] && ((SECONDS < deadline)); do sleep 0.1; done
  if [[ -n "$left" ]]; then
    echo "Processes the tests left behind:" >&2
    ps -o pid,ppid,args -p "${left// /,}" >&2 || true
    kill $left 2>/dev/null || true
    return 1
  fi
  return "$rc"
}

# The live processes whose environment carries the mark, on one line.
marked_processes() {
  local environ pid found=()
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    grep -qzx "CYFROLIA_TEST_RUN=$1" "$environ" 2>/dev/null || continue
    [[ $(cut -d ' ' -f 3 "/proc/$pid/stat" 2>/dev/null) =~ ^[ZX]?$ ]] && continue # ended, or gone
    found+=("$pid")
  done
  echo "${found[*]}"
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
    # Every suite runs once, with no second try; any failure fails the command.
    configure_and_build
    check_format
    QT_QPA_PLATFORM=offscreen run_tests "$build" --output-on-failure --timeout 600 -j 2
    # The unit and widget suites once more in Polish, where the system's messages and dates differ.
    LANG=pl_PL.UTF-8 LC_ALL=pl_PL.UTF-8 QT_QPA_PLATFORM=offscreen \
      run_tests "$build" --output-on-failure --timeout 600 -j 2 -LE e2e
    # The unit and widget suites again under ASan and UBSan, and the fuzzers for a bounded run.
    configure_and_build_sanitized
    QT_QPA_PLATFORM=offscreen run_tests "$sanitized" --output-on-failure --timeout 600 -j 2
    ;;
  bench)
    configure_and_build
    cmake --build "$build" --target benchmarks
    # Every benchmark prints "RESULT name | figure | baseline | ratio" lines; one table collects them.
    results=$(mktemp)
    trap 'rm -f "$results"' EXIT
    ordered=(exercise/bench_idle app/bench_startup exercise/bench_pacing shell/bench_window_shape results/bench_results)
    benches=()
    for b in "${ordered[@]}"; do benches+=("$build/bench/$b"); done
    for b in "$build"/bench/*/bench_*; do
      [[ " ${benches[*]} " == *" $b "* ]] || benches+=("$b")
    done
    for b in "${benches[@]}"; do
      [[ -f "$b" && -x "$b" ]] || continue
      echo "== $(basename "$b")"
      "$b" | tee -a "$results"
    done
    echo
    echo "| Benchmark | Cyfrolia | Baseline | Ratio |"
    echo "|---|---|---|---|"
    sed -n 's/^RESULT \(.*\)$/| \1 |/p' "$results"
    ;;
  package)
    # The Debian package for a classroom computer, built as Debian builds it (debian/: debhelper,
    # Debian's build flags) from a copy of the tree in build-deb/, then checked: lintian, the
    # hardening of all three programs, the desktop entries and metainfo, and autopkgtest on the
    # built package; lintian and autopkgtest see the source package too. autopkgtest's null
    # runner tests the package where it runs: it installs it on this computer. Any failure fails
    # the command.
    bash "$here/scripts/install-deps.sh" package
    out="${CYFROLIA_PACKAGE_DIR:-$here/build-deb}"
    bash "$here/scripts/build-deb.sh" "$out"
    version=$(dpkg-parsechangelog -l "$here/debian/changelog" -S Version)
    deb="$out/cyfrolia_${version}_$(dpkg --print-architecture).deb"
    # The source package as an upload carries it, for lintian and autopkgtest: the cleaned tree,
    # and that tree without debian/ as the upstream tarball.
    tree="$out/cyfrolia-${version%-*}"
    (cd "$tree" && debian/rules clean)
    tar -C "$out" --exclude="${tree##*/}/debian" -cJf "$out/cyfrolia_${version%-*}.orig.tar.xz" "${tree##*/}"
    (cd "$out" && dpkg-source -b "${tree##*/}")
    dsc="$out/cyfrolia_$version.dsc"
    lintian --pedantic --fail-on error,warning "${deb%.deb}.changes" "$dsc"
    unpacked=$(mktemp -d)
    trap 'rm -rf "$unpacked"' EXIT
    dpkg-deb -x "$deb" "$unpacked"
    # Control-flow protection aside: Debian 12's C library start files carry no CET marking.
    hardening-check --nocfprotection "$unpacked"/usr/lib/cyfrolia/{cyfrolia,cyfrolia-nauczyciel,cyfrolia-zapis}
    desktop-file-validate "$unpacked"/usr/share/applications/*.desktop
    appstreamcli validate --no-net --pedantic "$unpacked"/usr/share/metainfo/*.xml
    autopkgtest --no-built-binaries "$deb" "$dsc" -- null
    echo "Package: $deb"
    ;;
  *)
    echo "usage: $0 run|test|bench|build|package" >&2
    exit 2
    ;;
esac

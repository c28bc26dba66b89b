# Sourced by the scripts that run Windows programs: `wine` is the Wine loader of the build tree
# (SEVRIK_WINE, from the tree's wine.env or the tests' environment), else the system's own.
# A 64-bit tree names the 64-bit loader, so nothing starts the 32-bit one on a machine that
# cannot run it.
wine() { "${SEVRIK_WINE:-wine}" "$@"; }
# A tree's variables, when the script is given the tree: load_wine_env <Windows build folder>
load_wine_env() {
  if [ -f "$1/wine.env" ]; then . "$1/wine.env"; fi
}
# The Windows tree a script works on: the one given, else build-win32 where this machine runs
# 32-bit programs, else build-win64: windows_tree [folder]
windows_tree() {
  if [ -n "${1:-}" ]; then (cd "$1" && pwd)
  elif scripts/runs-32bit.sh; then echo "$PWD/build-win32"
  else echo "$PWD/build-win64"
  fi
}
# A Wine prefix of its own in a new temporary folder $work, made ready (prefix.sh) and, with
# Wine's server and the virtual display, gone when the script exits: bench_prefix
bench_prefix() {
  work=$(mktemp -d)
  export WINEPREFIX=$work/wineprefix WINEDEBUG=-all
  trap 'wineserver -k 2>/dev/null || true; kill "${XVFB_PID:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
  tests/windows/prefix.sh
}

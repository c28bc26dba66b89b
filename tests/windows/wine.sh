# Sourced by the scripts that run Windows programs: `wine` is the Wine loader of the build tree
# (SEVRIK_WINE, from the tree's wine.env or the tests' environment), else the system's own.
# A 64-bit tree names the 64-bit loader, so nothing starts the 32-bit one on a machine that
# cannot run it.
wine() { "${SEVRIK_WINE:-wine}" "$@"; }
# A tree's variables, when the script is given the tree: load_wine_env <Windows build folder>
load_wine_env() {
  if [ -f "$1/wine.env" ]; then . "$1/wine.env"; fi
}

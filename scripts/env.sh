# Sourced by the scripts: where the build, the Wine prefix and the display live.
KIVO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export KIVO_BUILD=${KIVO_BUILD:-$KIVO_ROOT/build}
# The Wine prefix: the build's (build/wineprefix), or the one the caller names in
# KIVO_WINEPREFIX. A screen of another density than 96 pixels per inch (KIVO_LOG_PIXELS,
# scripts/dpirun), Wine's visual style (KIVO_VISUAL_STYLES=1, scripts/themedrun) and a
# person's run on their own display (KIVO_OWN_DISPLAY=1, scripts/run.sh --interactive)
# each have a prefix of their own beside it (wineprefix-dpi144, wineprefix-themed,
# wineprefix-interactive-dpi120...), so that what is saved in one is never lost to
# another and asking for one never makes another anew (see scripts/wineprefix.sh).
if [ -n "${KIVO_WINEPREFIX:-}" ]; then
  # Absolute, for the scripts that change folder, and without a trailing slash, which
  # would put the other prefixes inside the named one.
  KIVO_WINEPREFIX=$(realpath -m -- "$KIVO_WINEPREFIX")
  export KIVO_WINEPREFIX
fi
kivo_prefix=${KIVO_WINEPREFIX:-$KIVO_BUILD/wineprefix}
[ -z "${KIVO_OWN_DISPLAY:-}" ] || kivo_prefix+=-interactive
[ "${KIVO_VISUAL_STYLES:-0}" != 1 ] || kivo_prefix+=-themed
[ "${KIVO_LOG_PIXELS:-96}" = 96 ] || kivo_prefix+=-dpi$KIVO_LOG_PIXELS
export WINEPREFIX=$kivo_prefix
unset kivo_prefix
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No network installers: mono and gecko are never offered.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 TZ=UTC
if [ -z "${DISPLAY:-}" ] && [ -f "$KIVO_BUILD/display" ]; then
  export DISPLAY=$(cat "$KIVO_BUILD/display")
fi
# Xlib's resource file, which display.sh writes (see there).
if [ -z "${XENVIRONMENT:-}" ] && [ -f "$KIVO_BUILD/xresources" ]; then
  export XENVIRONMENT=$KIVO_BUILD/xresources
fi

# Builds, prepares the Wine prefix and the display, and starts Wine's background
# processes; Wine is stopped when the calling script ends.
kivo_wine_session() {
  "$KIVO_ROOT/scripts/build.sh"
  "$KIVO_ROOT/scripts/wineprefix.sh"
  "$KIVO_ROOT/scripts/display.sh"
  export DISPLAY=$(cat "$KIVO_BUILD/display") XENVIRONMENT=${XENVIRONMENT:-$KIVO_BUILD/xresources}
  "$KIVO_ROOT/scripts/wineup.sh"
  trap 'wineserver -k 2>/dev/null || true' EXIT
}

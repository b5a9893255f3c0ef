# Sourced by the scripts: where the build, the Wine prefix and the display live.
KIVO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export KIVO_BUILD=${KIVO_BUILD:-$KIVO_ROOT/build}
# A screen of another density than 96 pixels per inch (KIVO_LOG_PIXELS, scripts/dpirun)
# has a prefix of its own, and so has a person's run on their own display
# (KIVO_OWN_DISPLAY=1, scripts/run.sh --interactive), one for each density, so that what
# is saved in one is never lost to another.
kivo_prefix=$KIVO_BUILD/wineprefix
[ -z "${KIVO_OWN_DISPLAY:-}" ] || kivo_prefix+=-interactive
[ "${KIVO_LOG_PIXELS:-96}" = 96 ] || kivo_prefix+=-dpi$KIVO_LOG_PIXELS
export WINEPREFIX=${KIVO_WINEPREFIX:-$kivo_prefix}
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

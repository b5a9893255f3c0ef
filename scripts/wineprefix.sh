#!/bin/bash
# Creates the deterministic 32-bit Wine prefix inside the build tree (or where
# KIVO_WINEPREFIX names, see env.sh), once.
#  - no mono/gecko installers (overrides in env.sh);
#  - visual styles off: controls draw the classic way, so the plug-in's themed dialogs
#    use the library's own themes rather than Wine's msstyles artwork;
#  - a Wine virtual desktop: activation and focus are managed by Wine itself, so tests
#    can rely on SetForegroundWindow/SetActiveWindow without an X window manager;
#  - Wine's own fonts (package fonts-wine) in the prefix's font folder: this Wine does not
#    look for them where Debian puts them. Without Marlett the caption buttons showed
#    letters ("r", "0 1 r") instead of their glyphs; without "MS Sans Serif" and Tahoma
#    the dialogs' texts fell back to Liberation Sans, whose drawn letters reach a column
#    beyond the width it measures, so a text drawn in its measured rectangle lost the
#    right edge of its last letter.
# With KIVO_VISUAL_STYLES=1 (scripts/themedrun) the prefix has Wine's light visual style
# switched on instead, and no virtual desktop: its programs draw into memory only and
# must not take the display's focus from the main prefix's windows.
# With KIVO_LOG_PIXELS=N (scripts/dpirun) the screen has N pixels per inch instead of 96
# (the user's "LogPixels"), as a system set to larger texts has.
# A prefix without the stamp of what is asked (a new one, one half made, one of an
# earlier version of this script) is made anew, its folder deleted first; so only a
# folder these scripts made is ever deleted: one of the build tree's own prefixes, or one
# that carries their mark (.kivo-prefix, written into every prefix they make before
# anything else, or an earlier version's stamp). Any other folder that holds files, such
# as a person's own Wine prefix named in KIVO_WINEPREFIX, is left as it is and the script
# ends with an error: it is not used as it is either, since making it the build's kind of
# prefix would change its settings (desktop, style, density, fonts) for its owner.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
themed=${KIVO_VISUAL_STYLES:-0}
dpi=${KIVO_LOG_PIXELS:-96}
if ! [[ $dpi =~ ^[1-9][0-9]*$ ]]; then
  echo "wineprefix: KIVO_LOG_PIXELS must be a number of pixels per inch, such as 144, not \"$dpi\"" >&2
  exit 2
fi
stamp="$WINEPREFIX/.kivo-prefix-v2"
[ "$themed" = 1 ] && stamp="$WINEPREFIX/.kivo-prefix-themed-v2"
[ "$dpi" != 96 ] && stamp="$WINEPREFIX/.kivo-prefix-dpi$dpi-v2"
mark="$WINEPREFIX/.kivo-prefix"
[ -f "$stamp" ] && exit 0

ours() {
  # Nothing there, a link (deleting it deletes nothing it points to) or an empty folder.
  [ -e "$WINEPREFIX" ] && [ ! -L "$WINEPREFIX" ] || return 0
  [ -d "$WINEPREFIX" ] && [ -z "$(ls -A "$WINEPREFIX")" ] && return 0
  [ -d "$WINEPREFIX" ] && compgen -G "$WINEPREFIX/.kivo-prefix*" >/dev/null && return 0
  # The build tree's own: build/wineprefix and those beside it.
  [ "$(realpath -m -- "$(dirname "$WINEPREFIX")")" = "$(realpath -m -- "$KIVO_BUILD")" ] &&
    [[ $(basename "$WINEPREFIX") == wineprefix || $(basename "$WINEPREFIX") == wineprefix-* ]]
}
leave_alone_unless_ours() {
  ours && return 0
  local named=""
  [ "$WINEPREFIX" = "${KIVO_WINEPREFIX:-}" ] ||
    named=" (the prefix for this density or style beside KIVO_WINEPREFIX=$KIVO_WINEPREFIX)"
  cat >&2 <<MESSAGE
wineprefix: $WINEPREFIX$named holds files and was not made by these scripts (it has no
.kivo-prefix mark), so it is left as it is: making the build's prefix there would delete
everything in it. Set KIVO_WINEPREFIX to a folder that does not exist yet or is empty
(the scripts make their prefix there, and those of other densities and styles beside
it), or unset it to use the build's own ($KIVO_BUILD/wineprefix).
MESSAGE
  exit 1
}
leave_alone_unless_ours
make_prefix() {
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  echo "A Wine prefix made by LoadKIVO's scripts/wineprefix.sh, which may delete and make it anew." \
    > "$mark"
  wineboot -i >/dev/null 2>&1
  local fonts=/usr/share/wine/fonts
  [ -f "$fonts/marlett.ttf" ] || { echo "wineprefix: $fonts/marlett.ttf is missing (package fonts-wine)" >&2; exit 1; }
  cp "$fonts"/*.ttf "$fonts"/*.fon "$WINEPREFIX/drive_c/windows/Fonts/"
  reg() { wine reg add "$@" /f >/dev/null 2>&1; }
  if [ "$themed" = 1 ]; then
    reg 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /d 1
  else
    reg 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /d 0
    reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
    reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024
  fi
  [ "$dpi" != 96 ] && reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
  reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N
  reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  wineserver -w
  touch "$stamp"
}
# Two programs may ask for the same new prefix at once: one makes it, the other waits.
# The lock is the folder that holds the prefix, opened for reading: no lock file is made
# beside the prefix, and a file of a person's there (such as "<prefix>.lock") is never
# opened. The programs the making starts do not inherit it (Wine's server outlives the
# script), so the lock ends with the script.
parent=$(dirname "$WINEPREFIX")
mkdir -p "$parent"
exec 9<"$parent"
flock 9
[ -f "$stamp" ] && exit 0
leave_alone_unless_ours
make_prefix 9<&-

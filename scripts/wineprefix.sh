#!/bin/bash
# Creates the deterministic 32-bit Wine prefix inside the build tree, once.
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
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
themed=${KIVO_VISUAL_STYLES:-0}
dpi=${KIVO_LOG_PIXELS:-96}
stamp="$WINEPREFIX/.kivo-prefix-v2"
[ "$themed" = 1 ] && stamp="$WINEPREFIX/.kivo-prefix-themed-v2"
[ "$dpi" != 96 ] && stamp="$WINEPREFIX/.kivo-prefix-dpi$dpi-v2"
[ -f "$stamp" ] && exit 0
# Two programs may ask for the same new prefix at once: one makes it, the other waits.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$stamp" ] && exit 0
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
fonts=/usr/share/wine/fonts
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

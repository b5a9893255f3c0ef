#!/bin/bash
# Where the scripts keep the Wine prefix (scripts/env.sh): the main one, one for each
# other density and for the visual style, and for a person's run on their own display one
# for each density; beside a prefix named in KIVO_WINEPREFIX the same way.
# Fault: a person's interactive run at another density made the interactive prefix anew
# at that density, and the next run at 96 anew again, losing what was saved in it.
# Fault: a density or the style asked for with KIVO_WINEPREFIX set took the named prefix
# itself, which was then made anew for it.
env=$1
build=/nonexistent/kivo-build
expect() {
  local want=$1 got
  shift
  got=$(env -i PATH="$PATH" KIVO_BUILD="$build" "$@" bash -c ". '$env'; echo \"\$WINEPREFIX\"")
  echo "$* -> $got"
  [ "$got" = "$want" ]
}
expect $build/wineprefix &&
  expect $build/wineprefix-dpi144 KIVO_LOG_PIXELS=144 &&
  expect $build/wineprefix-themed KIVO_VISUAL_STYLES=1 &&
  expect $build/wineprefix-interactive KIVO_OWN_DISPLAY=1 &&
  expect $build/wineprefix-interactive-dpi120 KIVO_OWN_DISPLAY=1 KIVO_LOG_PIXELS=120 &&
  expect /nonexistent/mine KIVO_WINEPREFIX=/nonexistent/mine &&
  expect /nonexistent/mine-dpi144 KIVO_WINEPREFIX=/nonexistent/mine/ KIVO_LOG_PIXELS=144 &&
  expect /nonexistent/mine-themed KIVO_WINEPREFIX=/nonexistent/mine KIVO_VISUAL_STYLES=1 &&
  expect /nonexistent/mine-interactive-dpi120 KIVO_WINEPREFIX=/nonexistent/mine KIVO_OWN_DISPLAY=1 KIVO_LOG_PIXELS=120

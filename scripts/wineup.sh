#!/bin/bash
# Starts the prefix's wineserver and Wine's own background processes (services,
# device manager, desktop) detached from our output, so that they never hold the
# pipes of ctest or of the caller open, and every later program reuses them.
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
setsid wineserver -p </dev/null >/dev/null 2>&1
setsid wine cmd /c exit </dev/null >/dev/null 2>&1

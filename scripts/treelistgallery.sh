#!/bin/bash
# Paints the tree list's review gallery on the build's display (TreeListGallery.exe, two
# populated tree lists painted by the control itself) and writes it to
# docs/treelist-gallery.png, or to the file given as the first argument.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$(readlink -f "${1:-$root/docs/treelist-gallery.png}")
. "$root/scripts/env.sh"
kivo_wine_session >/dev/null
cd "$KIVO_BUILD/bin"
wine TreeListGallery.exe "Z:${out//\//\\}"
echo "$out written"

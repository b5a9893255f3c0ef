#!/bin/bash
# A Wine prefix named in KIVO_WINEPREFIX that the scripts did not make (a person's folder
# of files, without their mark) is left byte for byte as it was at 96 and 144 pixels per
# inch and with the visual style; those get prefixes of their own beside it; the
# prefixes the scripts made (the build's, a named one) are still made anew when stale.
# Fault: scripts/wineprefix.sh deleted any prefix without the stamp asked for, so a
# person's own prefix named in KIVO_WINEPREFIX (at any density) was lost.
# A person's file named like the prefix's lock ("<prefix>.lock") is left as it was, and
# no lock file is left beside any prefix; programs asking for one new prefix at once make
# it once, and one asking for another prefix beside it meanwhile gets that one too.
# Fault: the lock was a file "<prefix>.lock" opened for writing, which emptied a person's
# file of that name and left a file beside every prefix.
# Wine is stood in for by programs that record what they were asked: what is tested is
# what the scripts themselves keep, make and delete.
scripts=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/wine"
cat >"$work/wine/wineboot" <<'EOF'
#!/bin/bash
echo "$WINEPREFIX" >>"$BOOTS"
[ -z "${SLOW_BOOT:-}" ] || sleep 1  # a boot that takes a while, for programs asking at once
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts" && echo made >"$WINEPREFIX/system.reg"
EOF
cat >"$work/wine/wine" <<'EOF'
#!/bin/bash
if [ "$1" = reg ]; then echo "$*" >>"$WINEPREFIX/user.reg"; else echo "$WINEPREFIX $*" >>"$RUNS"; fi
EOF
printf '#!/bin/sh\n' >"$work/wine/wineserver"
chmod +x "$work"/wine/*

failed=0
fail() { echo "FAILED: $*"; failed=1; }
# run [VAR=value...] SCRIPT [arguments]: a script in a clean environment, the build tree
# in the scratch folder; its output goes to $work/out.
run() {
  env -i PATH="$work/wine:$PATH" HOME="$work" KIVO_BUILD="$work/build" RUNS="$work/runs" BOOTS="$work/boots" \
    "$@" >"$work/out" 2>&1
}
# Every name, kind, mode, link target and content of a folder.
snapshot() {
  (cd "$1" && find . -printf '%p %y %m %l\n' | sort && find . -type f -exec sha256sum {} + | sort)
}
made() { [ -f "$1/.kivo-prefix" ] && [ -f "$1/$2" ] && [ -f "$1/system.reg" ]; }
ran_in() { grep -qxF "$1 program.exe" "$work/runs" 2>/dev/null; }

own=$work/own
mkdir -p "$own/drive_c/users/me/Documents" "$own/.config"
printf 'REGEDIT4\r\n[Software\\Mine]\r\n"Key"="value"\r\n' >"$own/user.reg"
printf 'thesis \x00\x01\xff\n' >"$own/drive_c/users/me/Documents/thesis.doc"
echo notes >"$own/.config/notes"
chmod 400 "$own/.config/notes"
ln -s drive_c "$own/c"
before=$(snapshot "$own")
intact() { [ "$(snapshot "$own")" = "$before" ] || fail "$own changed after $1"; }

# 96: told and left alone, nothing run in it.
if run KIVO_WINEPREFIX="$own" "$scripts/wineprefix.sh"; then fail "wineprefix.sh took $own"; fi
grep -q "$own holds files and was not made by these scripts" "$work/out" || fail "not told: $(cat "$work/out")"
intact "wineprefix.sh at 96"
# 144 and the visual style: their own prefixes beside it, the program run there.
run KIVO_WINEPREFIX="$own/" "$scripts/dpirun" program.exe || fail "dpirun: $(cat "$work/out")"
intact "dpirun at 144"
made "$own-dpi144" .kivo-prefix-dpi144-v2 && ran_in "$own-dpi144" || fail "no prefix $own-dpi144"
run KIVO_WINEPREFIX="$own" "$scripts/themedrun" program.exe || fail "themedrun: $(cat "$work/out")"
intact "themedrun"
made "$own-themed" .kivo-prefix-themed-v2 && ran_in "$own-themed" || fail "no prefix $own-themed"
# A person's folder where the prefix of another density would go is left alone too.
mkdir "$own-dpi120" && echo mine >"$own-dpi120/file"
if run KIVO_WINEPREFIX="$own" KIVO_LOG_PIXELS=120 "$scripts/dpirun" program.exe; then
  fail "dpirun took $own-dpi120"
fi
[ "$(cat "$own-dpi120/file")" = mine ] && ! ran_in "$own-dpi120" || fail "$own-dpi120 changed or used"

# A named prefix the scripts made, stale (its stamp gone), is made anew.
rm "$own-dpi144/.kivo-prefix-dpi144-v2" && touch "$own-dpi144/left-over"
run KIVO_WINEPREFIX="$own" "$scripts/dpirun" program.exe || fail "dpirun again: $(cat "$work/out")"
made "$own-dpi144" .kivo-prefix-dpi144-v2 && [ ! -e "$own-dpi144/left-over" ] || fail "$own-dpi144 not made anew"
# The build's own: made, then made anew when stale even without the mark (a prefix
# half made by an earlier version).
run "$scripts/wineprefix.sh" || fail "build prefix: $(cat "$work/out")"
made "$work/build/wineprefix" .kivo-prefix-v2 || fail "no build prefix"
rm "$work/build/wineprefix/.kivo-prefix"* && touch "$work/build/wineprefix/left-over"
run "$scripts/wineprefix.sh" || fail "build prefix again: $(cat "$work/out")"
made "$work/build/wineprefix" .kivo-prefix-v2 && [ ! -e "$work/build/wineprefix/left-over" ] ||
  fail "build prefix not made anew"
intact "all"
[ -e "$work/build/wineprefix.lock" ] && fail "a lock file is left beside the build's prefix"

# A person's "<prefix>.lock" beside a new named prefix is left as it was.
people=$work/people
mkdir "$people"
printf 'notes\n' >"$people/p.lock"
beside=$(snapshot "$people")
run KIVO_WINEPREFIX="$people/p" "$scripts/wineprefix.sh" || fail "new named prefix: $(cat "$work/out")"
made "$people/p" .kivo-prefix-v2 || fail "no prefix $people/p"
rm -rf "$people/p"
[ "$(snapshot "$people")" = "$beside" ] || fail "beside $people/p: $(ls -la "$people")"
# Programs asking at once: four for one new prefix make it once; one for the prefix of
# another density beside it is made meanwhile.
: >"$work/boots"
pids=()
for i in 1 2 3 4; do
  (run SLOW_BOOT=1 KIVO_WINEPREFIX="$people/q" "$scripts/wineprefix.sh"; cp "$work/out" "$work/out$i") &
  pids+=($!)
done
(run SLOW_BOOT=1 KIVO_WINEPREFIX="$people/q" KIVO_LOG_PIXELS=144 "$scripts/wineprefix.sh") &
pids+=($!)
for pid in "${pids[@]}"; do wait "$pid" || fail "a program asking at once failed"; done
[ "$(grep -cxF "$people/q" "$work/boots")" = 1 ] || fail "$people/q made $(grep -cxF "$people/q" "$work/boots") times"
made "$people/q" .kivo-prefix-v2 && made "$people/q-dpi144" .kivo-prefix-dpi144-v2 || fail "prefixes asked at once"
[ -z "$(ls "$people" | grep -v '^q$\|^q-dpi144$\|^p.lock$')" ] || fail "left beside the prefixes: $(ls "$people")"
[ $failed = 0 ] && echo "a named prefix not made by the scripts is left alone; theirs are made anew; no lock file"
exit $failed

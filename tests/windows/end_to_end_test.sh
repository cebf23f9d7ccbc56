#!/usr/bin/env bash
# The real Vornisk.exe under Wine, against the stand-in ShockMgr driver.
# Usage: end_to_end_test.sh WINE_RUN PREFIX VORNISK_EXE SHOCKMGR_SYS
set -u
run=$1 prefix=$2 exe=$3 sys=$4
key='HKLM\System\CurrentControlSet\Services\ShockMgr'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

wine() { "$run" "$prefix" "$@"; }

fail() {
  echo "FAIL: $*"
  failed=1
}

set_value() { wine reg add "$key" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null; }

# The driver's settings back to a level notebook, its counters to zero.
reset_driver() {
  local name
  for name in RawX RawY Returned FailCount FailAfter Opens Closes Requests; do
    wine reg delete "$key" /v "$name" /f >/dev/null 2>&1
  done
}

counter() {
  local line
  line=$(wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | grep -w "$1")
  [ -n "$line" ] || { echo 0; return; }
  echo $(( ${line##* } ))
}

# run ARGS...: runs Vornisk.exe, leaving $work/out, $work/err and $status.
run_vornisk() {
  wine "$exe" "$@" >"$work/out" 2>"$work/err"
  status=$?
}

expect_run() {  # NAME STATUS EXPECTED_STDOUT
  if [ "$status" != "$2" ]; then fail "$1: exit status $status, expected $2"; fi
  if ! printf '%b' "$3" | cmp -s - "$work/out"; then
    fail "$1: stdout differs"
    printf 'expected:\n%b\ngot:\n' "$3" | od -c | head -20
    od -c "$work/out" | head -20
  fi
}

expect_err() {  # NAME TEXT
  grep -qF -- "$2" "$work/err" || { fail "$1: stderr lacks '$2'"; cat "$work/err"; }
}

lines() {  # COUNT LINE: LINE with CRLF, COUNT times
  local i text=''
  for ((i = 0; i < $1; i++)); do text+="$2\\r\\n"; done
  printf '%s' "$text"
}

# Install and start the driver straight from the build folder.
sys_path="Z:${sys//\//\\}"
wine sc stop ShockMgr >/dev/null 2>&1
wine sc delete ShockMgr >/dev/null 2>&1
wine sc create ShockMgr type= kernel start= demand error= normal \
  binPath= "$sys_path" >/dev/null || { echo "cannot install the driver"; exit 1; }
wine sc start ShockMgr >/dev/null || { echo "cannot start the driver"; exit 1; }

usage='This software acquires accelerometer datum in your thinkpad.\r\n'
usage+='    The Vornisk authors (see README.md)\r\n\r\n'
usage+='To use the software, type following line;\r\n'
usage+='Vornisk.exe Interval(ms) Repetation(hoe many loop?)\r\n'

reset_driver
run_vornisk
expect_run "no arguments" 255 "$usage"
run_vornisk 100
expect_run "one argument" 255 "$usage"
[ "$(counter Opens)" = 0 ] || fail "the usage text opened the device"

reset_driver
set_value RawX 700
set_value RawY 600
run_vornisk 0 3
expect_run "700 and 600" 0 "$(lines 3 '60, -40')"
[ -s "$work/err" ] && fail "a good run wrote to stderr: $(cat "$work/err")"

set_value RawX 0x8000
run_vornisk 0 1
expect_run "most negative raw value" 0 "$(lines 1 '-33408, -40')"

reset_driver
set_value RawX 700
set_value Returned 6
run_vornisk 0 2
expect_run "short reply" 0 "$(lines 2 '0, 0')"
expect_err "short reply" "Vornisk: Failed to DeviceIoControl: the reply held 6 of 36 bytes"

reset_driver
set_value RawX 700
set_value RawY 600
set_value FailAfter 2
run_vornisk 0 4
expect_run "failed reads after good ones" 0 "$(lines 4 '60, -40')"
expect_err "failed reads after good ones" "Vornisk: Failed to DeviceIoControl: "
expect_err "failed reads after good ones" "(error 1117)"
expect_err "failed reads after good ones" "Vornisk: 2 of 4 reads failed"

reset_driver
run_vornisk 100 0
expect_run "no repetitions" 0 ""
opens=$(counter Opens) closes=$(counter Closes) requests=$(counter Requests)
[ "$opens/$closes/$requests" = 1/1/0 ] ||
  fail "no repetitions: opens/closes/requests $opens/$closes/$requests, expected 1/1/0"

reset_driver
run_vornisk 0 5
requests=$(counter Requests)
[ "$requests" = 5 ] || fail "5 repetitions made $requests read requests"

reset_driver
start=$(date +%s%N)
run_vornisk 50 4
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
expect_run "paced" 0 "$(lines 4 '0, 0')"
[ "$elapsed_ms" -ge 200 ] || fail "interval 50 over 4 samples took $elapsed_ms ms"

wine sc stop ShockMgr >/dev/null
run_vornisk 0 2
expect_run "device absent" 0 "$(lines 2 '0, 0')"
expect_err "device absent" 'Vornisk: Failed to createfile: \\.\ShockMgr: '
expect_err "device absent" "(error 2)"
wine sc delete ShockMgr >/dev/null 2>&1

[ "$failed" = 0 ] && echo "all end-to-end cases passed"
exit "$failed"

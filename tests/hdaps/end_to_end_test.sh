#!/usr/bin/env bash
# The production binary against a faked hdaps sensor: umockdev-run gives the
# command a /sys of the test's own.
# Usage: end_to_end_test.sh VORNISK DEVICE_FILE
set -u
vornisk=$1 device=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
position=/sys/devices/platform/hdaps/position
command -v umockdev-run >/dev/null ||
  { echo "umockdev-run is missing: apt-get install umockdev"; exit 1; }

fail() {
  echo "FAIL: $*"
  failed=1
}

lines() {  # COUNT LINE
  local i
  for ((i = 0; i < $1; i++)); do printf '%s\n' "$2"; done
}

expect() {  # NAME STATUS EXPECTED_STDOUT [STDERR_TEXT]
  [ "$status" = "$2" ] || fail "$1: exit status $status, expected $2"
  if [ "$(cat "$work/out")" != "$3" ]; then
    fail "$1: stdout differs"
    cat "$work/out"
  fi
  if [ -n "${4-}" ] && ! grep -qF -- "$4" "$work/err"; then
    fail "$1: stderr lacks '$4'"
    cat "$work/err"
  fi
}

# The device description with another position.
with_position() {
  sed "s/^A: position=.*/A: position=$1/" "$device" >"$work/device"
  echo "$work/device"
}

umockdev-run --device "$device" -- "$vornisk" 0 3 >"$work/out" 2>"$work/err"
status=$?
expect "position (700,600)" 0 "$(lines 3 '60, -40')"
[ -s "$work/err" ] && fail "a good run wrote to stderr: $(cat "$work/err")"

# The sensor moves while Vornisk samples every 100 ms; the new text has the
# old one's length and is written in place, as sysfs changes.
umockdev-run --device "$device" -- bash -c "
  '$vornisk' 100 12 >'$work/out' 2>'$work/err' &
  sleep 0.5
  printf '(640,640)\n' 1<>'$position'
  wait \$!"
status=$?
first=$(head -n 1 "$work/out") last=$(tail -n 1 "$work/out")
[ "$status" = 0 ] || fail "moving sensor: exit status $status"
[ "$(wc -l <"$work/out")" = 12 ] || fail "moving sensor: $(wc -l <"$work/out") lines"
[ "$first/$last" = "60, -40/0, 0" ] ||
  fail "moving sensor: the lines did not follow it: $first ... $last"
[ "$(uniq "$work/out" | wc -l)" = 2 ] ||
  fail "moving sensor: the lines went back and forth: $(uniq "$work/out")"

umockdev-run --device "$(with_position '(garbage)\\n')" -- "$vornisk" 0 2 \
  >"$work/out" 2>"$work/err"
status=$?
expect "unparsable position" 0 "$(lines 2 '0, 0')" \
  "Vornisk: Failed to DeviceIoControl: the sensor's reading is not a position (error 13)"

umockdev-run -- "$vornisk" 0 2 >"$work/out" 2>"$work/err"
status=$?
expect "no hdaps device" 0 "$(lines 2 '0, 0')" \
  "Vornisk: Failed to createfile: \\\\.\\ShockMgr: no accelerometer found"
grep -qF "modprobe hdaps" "$work/err" || fail "no hdaps device: no hint to load the module"

[ "$failed" = 0 ] && echo "all hdaps cases passed"
exit "$failed"

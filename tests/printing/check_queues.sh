#!/usr/bin/env bash
# The test scheduler's queues as the program relies on them: label commands arrive byte for byte through
# the raw queue, the Letter queue prints Letter unless the job asks for A4, and a job asking for A4 gets A4.
#   check_queues.sh DIR      DIR: the folder of scripts/cupsserver start
set -euo pipefail
dir="$1"
# shellcheck disable=SC1091
set -a; . "$dir/env"; set +a
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Sends a job and prints the file the queue's printer received, waiting for it up to 20 seconds.
print_and_receive() {
  local queue="$1" id
  shift
  id="$(lp -d "$queue" "$@" | sed -n 's/^request id is [^-]*-\([0-9]*\) .*/\1/p')"
  [ -n "$id" ] || { echo "no job id from lp -d $queue" >&2; return 1; }
  local out="$PELORA_CUPS_RECEIVED/$queue-$id"
  for _ in $(seq 1 200); do
    [ -f "$out" ] && { echo "$out"; return 0; }
    sleep 0.1
  done
  echo "job $queue-$id never reached the printer" >&2
  lpstat -l -o "$queue" >&2 || true
  return 1
}

fail=0
expect() { # expect WHAT ACTUAL WANTED
  if [ "$2" != "$3" ]; then echo "FAIL $1: got '$2', wanted '$3'" >&2; fail=1; else echo "ok   $1"; fi
}

printf 'SIZE 50 mm,30 mm\r\nGAP 3 mm,0\r\nCLS\r\nTEXT 10,10,"3",0,1,1,"\xb0\xa1\xb3\xaa"\r\nPRINT 1\r\n' >"$work/label.tspl"
received="$(print_and_receive labels -o raw "$work/label.tspl")"
expect "raw label bytes" "$(cmp -s "$work/label.tspl" "$received" && echo same || echo different)" same

echo "주문서" >"$work/sheet.txt"
received="$(print_and_receive letter "$work/sheet.txt")"
expect "letter queue default paper" "$(pdfinfo "$received" | sed -n 's/^Page size: *//p')" "612 x 792 pts (letter)"
received="$(print_and_receive letter -o media=A4 "$work/sheet.txt")"
expect "A4 job on the letter queue" "$(pdfinfo "$received" | sed -n 's/^Page size: *//p')" "595 x 842 pts (A4)"
received="$(print_and_receive sheet "$work/sheet.txt")"
expect "sheet queue paper" "$(pdfinfo "$received" | sed -n 's/^Page size: *//p')" "595 x 842 pts (A4)"
expect "default printer" "$(lpstat -d)" "system default destination: sheet"
exit $fail

#!/usr/bin/env bash
# pavuto.exe in Wine's console, driven through tmux like a person at the
# keyboard: it starts at 22 x 70 in a folder with titles, the options menu
# opens and closes, Esc and "j" end it with the console as it was; "/blind"
# without a list prints its notice and ends after a key.
# Usage: smoke.sh path/to/pavuto.exe (WINEPREFIX as test-windows.sh sets it)
set -euo pipefail
exe="$(realpath "$1")"
work="$(dirname "$exe")/../smoke"
rm -rf "$work"
mkdir -p "$work/musik/Rock"
: >"$work/musik/a.mp3"
: >"$work/musik/B Lied.mp3"
session="pavuto-smoke-$$"
failures=0
passes=0

screen() { tmux capture-pane -p -t "$session"; }
# Waits up to 60 s for a text on the screen.
await() {
  for _ in $(seq 1 300); do
    screen | grep -qF -- "$1" && return 0
    sleep 0.2
  done
  echo "smoke: never saw '$1' on the screen:"; screen
  return 1
}
check() {  # name, then the command that must succeed
  local name="$1"; shift
  if "$@"; then echo "ok   $name"; passes=$((passes + 1)); else echo "FAIL $name"; failures=$((failures + 1)); fi
}
start() {  # the pavuto.exe arguments; the exit code lands in $work/exit
  rm -f "$work/exit"
  tmux new-session -d -s "$session" -x 100 -y 30 \
    "cd '$work/musik' && clear && wine '$exe' $*; echo \$? >'$work/exit'; sleep 600"
}
ended() {
  for _ in $(seq 1 150); do [ -s "$work/exit" ] && break; sleep 0.2; done
  [ "$(cat "$work/exit" 2>/dev/null)" = "0" ]
}
stop() { tmux kill-session -t "$session" 2>/dev/null || true; }
trap stop EXIT

start
check "the browser shows the titles" await "B Lied.mp3"
# The frame of the menu rows is the window's width: 70 columns.
check "the window is 70 columns wide" bash -c "tmux capture-pane -p -t '$session' | grep -qxE ' *╔═{68}╗ *'"
# Without pavuto.config the start names the home and waits for a key.
if screen | grep -qF "Einrichten"; then tmux send-keys -t "$session" Space; sleep 2; fi
tmux send-keys -t "$session" O
check "the options menu opens" await "Seite  1"
tmux send-keys -t "$session" O
sleep 1
check "the options menu closes" bash -c "sleep 2; ! tmux capture-pane -p -t '$session' | grep -qF 'Seite  1'"
tmux send-keys -t "$session" Escape
check "Esc asks whether to end" await "Programm beenden ? J/N"
sleep 1  # the question discards what was typed before it
tmux send-keys -t "$session" j
check "\"j\" ends the program" ended
# Wine's console shows the screen buffer the program found again: the
# program's screen is gone (what the terminal showed before Wine started is
# not part of that buffer).
check "the console is as it was" bash -c "sleep 1; ! tmux capture-pane -p -t '$session' | grep -qF 'B Lied.mp3'"
stop

start /blind
check "/blind without a list says so" await "Aufruf ohne Listenangabe..."
tmux send-keys -t "$session" Space
check "/blind ends after a key" ended
stop

echo "smoke: $passes passed, $failures failed"
[ "$failures" -eq 0 ]

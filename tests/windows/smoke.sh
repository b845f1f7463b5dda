#!/usr/bin/env bash
# pavuto.exe in Wine's console, driven through tmux like a person at the
# keyboard: it starts at 22 x 70 in a folder with titles, the options menu
# opens and closes, Esc and "j" end it with the console as it was; in a
# folder with a list and a configuration for the internal player, the list
# opens and a title plays through the multimedia commands (its sound goes to
# a file through ALSA's file device); "/blind" without a list prints its
# notice and ends after a key; Ctrl+C ends it with the console given back.
# Usage: smoke.sh path/to/pavuto.exe (WINEPREFIX as test-windows.sh sets it)
set -euo pipefail
exe="$(realpath "$1")"
work="$(dirname "$exe")/../smoke"
rm -rf "$work"
mkdir -p "$work/musik/Rock" "$work/liste" "$work/home"
: >"$work/musik/a.mp3"
: >"$work/musik/B Lied.mp3"

# A list of one title with its list configuration, and a pavuto.config that
# plays internally. The list's directory field is the folder without its
# drive, as the list builder writes it.
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:duration=30" -ac 1 -ar 22050 "$work/liste/Ton eins.wav"
folder="$(winepath -w "$work/liste")"
crlf() { printf '%s\r\n' "$@"; }
crlf " ----- pavuto configuration ------" "ZIELDATEI1=Lieder" "Configuration=Default" "Dateiendung=.wav" \
     "MAXDL=30 " "MAXDLDIR=100 " "NURNAMENSLISTE= 1" " ---- suchPfade ----" "$folder\\" >"$work/liste/Lieder.config"
printf '%-29s%-100s\r\n' "Ton eins" ">${folder#?:\\}<" >"$work/liste/Lieder.pavuto"
crlf "Pavuto configurationsdatei (voreinstellungen)" "" "Erweiterung=.wav" "mci=1" \
     "mehrErweiterungen=.wav" >"$work/liste/pavuto.config"
# Wine's sound goes through ALSA; its default device here writes what is
# played into a file (no sound card is needed).
played="$work/played.raw"
cat >"$work/home/.asoundrc" <<ALSA
pcm.!default {
  type file
  slave.pcm "null"
  file "$played"
  format "raw"
}
ALSA
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
start_in() {  # the folder, then the pavuto.exe arguments; the exit code lands in $work/exit
  local folder="$1"; shift
  rm -f "$work/exit"
  tmux new-session -d -s "$session" -x 100 -y 30 \
    "cd '$work/$folder' && clear && HOME='$work/home' wine '$exe' $* 2>'$work/wine.log'; echo \$? >'$work/exit'; sleep 600"
}
start() { start_in musik "$@"; }
ended() {
  for _ in $(seq 1 150); do [ -s "$work/exit" ] && break; sleep 0.2; done
  [ "$(cat "$work/exit" 2>/dev/null)" = "0" ]
}
stop() { tmux kill-session -t "$session" 2>/dev/null || true; }
trap stop EXIT

start
check "the browser shows the titles" await "B Lied.mp3"
# The frame of the menu rows is the window's width: 70 columns; it closes on
# row 22, the window's last.
check "the window is 70 columns wide" bash -c "tmux capture-pane -p -t '$session' | grep -qxE ' *╔═{68}╗ *'"
check "the window is 22 rows high" bash -c "[[ \"\$(tmux capture-pane -p -t '$session' | sed -n 22p)\" =~ ^╚═{68}╝\ *$ ]] && \
  [ -z \"\$(tmux capture-pane -p -t '$session' | sed -n '23,30p' | tr -d ' ')\" ]"
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

# The list and the internal player. Input that arrives while a screen is
# being drawn is discarded, so every key waits for the screen it is meant for.
start_in liste
check "the folder shows the list" await "Lieder.pavuto"
sleep 1
tmux send-keys -t "$session" Down
sleep 1
tmux send-keys -t "$session" Enter
check "the list opens" await "Gehe zu a-(z)"
sleep 2
tmux send-keys -t "$session" Enter   # marks the title
sleep 2
tmux send-keys -t "$session" a
check "the player plays the title" await "jetzt >>>"
check "the player names the title" bash -c "tmux capture-pane -p -t '$session' | grep -q 'jetzt >>>.*Ton eins'"
check "the player counts down" await "Sec."
# What the multimedia commands played reached the sound device.
check "the title's sound was played" bash -c "sleep 2; [ \"\$(stat -c %s '$played' 2>/dev/null || echo 0)\" -gt 100000 ]"
tmux send-keys -t "$session" Escape
check "Esc stops the player and the list is back" await "Gehe zu a-(z)"
sleep 2
tmux send-keys -t "$session" Escape
await "Programm beenden ? J/N" >/dev/null
sleep 1
tmux send-keys -t "$session" j
check "the program ends after playing" ended
stop

# Ctrl+C ends the program through the console's control handler, which
# gives the console back first.
start
await "B Lied.mp3" >/dev/null
sleep 1
tmux send-keys -t "$session" C-c
check "Ctrl+C ends the program" bash -c "for _ in \$(seq 1 150); do [ -s '$work/exit' ] && exit 0; sleep 0.2; done; exit 1"
check "the console is as it was after Ctrl+C" bash -c "sleep 1; ! tmux capture-pane -p -t '$session' | grep -qF 'B Lied.mp3'"
stop

start /blind
check "/blind without a list says so" await "Aufruf ohne Listenangabe..."
tmux send-keys -t "$session" Space
check "/blind ends after a key" ended
stop

echo "smoke: $passes passed, $failures failed"
[ "$failures" -eq 0 ]

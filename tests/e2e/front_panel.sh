#!/usr/bin/env bash
# The complete front panel in a real window under Xvfb with a window manager,
# against kvx-sim: the toolbar drawn, the Shortcut Keys window opened and
# closed from it with a function key pressed in between, the language changed
# through the menus and back, a channel saved as text twice (the second time
# in the remembered directory), the about box, and a clean quit. Each step is
# checked on the screenshots, the windows on the display, the files written
# or what the instrument received. Shots go to $SHOTS.
set -euo pipefail

build=${1:?usage: front_panel.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_session.sh"
start_display
start_window_manager

main_menu_bar=19
# Toolbar items in client coordinates below the menu bar (buttons 26 px wide,
# laid out from x = 4): the Shortcut Keys and Help buttons.
shortcut_keys_button=357
help_button=380
help_blue=1050C0
keys_title='^Shortcut Keys$'
keys_title_french='^Raccourcis clavier$'
save_title='^Save\.\.\.$'
about_title='^ORNIKELVARINLAB$'
channel_title='^Save Trace \(\.txt\) \.\.\.$'

# A window's client area on the screen: origin wx wy, size ww wh.
window_area() {
  read -r wx wy ww wh < <(xwininfo -id "$1" | awk -F: '/Absolute upper-left X/ { x = $2 }
    /Absolute upper-left Y/ { y = $2 } /Width/ { w = $2 } /Height/ { h = $2 } END { print x, y, w, h }')
}
client_origin() {  # the main window's client area below its menu bar: ox oy
  window_area "$main"
  ox=$wx oy=$((wy + main_menu_bar))
}
click() { xdotool mousemove $((ox + $1)) $((oy + $2)) click 1; }  # client coordinates
count_near() {  # count_near SHOT X Y W H COLOURS...: client coordinates
  /usr/bin/python3 "$here/pixels.py" near "$SHOTS/$1.png" $((ox + $2)) $((oy + $3)) "$4" "$5" "${@:6}"
}
at_least() { [ "$("${@:2}")" -ge "$1" ]; }  # at_least N COMMAND...: COMMAND printed N or more
retry() {  # retry TRIES COMMAND...: up to TRIES half-seconds until COMMAND holds (a loaded machine draws late)
  for _ in $(seq "$1"); do
    "${@:2}" && return 0
    sleep 0.5
  done
  return 1
}
wait_gone() {  # waits up to 10 s until no mapped window matches
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}
# The menu bar from the keyboard: a click opens the first menu, then each key
# of the list is pressed in turn: menu KEYS...
menu() {
  xdotool mousemove $((ox + 15)) $((oy - main_menu_bar / 2)) click 1
  sleep 0.5
  for key in "$@"; do xdotool key "$key"; sleep 0.3; done
}
# Display > Language > the Nth language (English first).
choose_language() {
  local downs=()
  for _ in $(seq $(($1 - 1))); do downs+=(Down); done
  menu Right Down Down Down Right "${downs[@]}" Return
}
# Window $1 is in the window manager's stacking list after (above) window $2.
stacked_above() {
  local list position_above position_below i=0
  list=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
  for id in $list; do
    i=$((i + 1))
    [ $((id)) = $(($1)) ] && position_above=$i
    [ $((id)) = $(($2)) ] && position_below=$i
  done
  [ -n "${position_above:-}" ] && [ -n "${position_below:-}" ] && [ "$position_above" -gt "$position_below" ]
}

app="$work/app"
fresh_app_dir "$app"
mkdir -p "$work/export"
run_on_sim panel
client_origin

echo "== the toolbar drawn, an autoset"
press "$main" F3
toolbar_drawn() { shot toolbar && at_least 150 count_near toolbar "$help_button" 0 26 28 "$help_blue"; }
retry 20 toolbar_drawn ||
  fail "no Help button on the toolbar"

echo "== the Shortcut Keys window from the toolbar, a function key pressed in it"
click "$shortcut_keys_button" 14
keys=$(wait_window "$keys_title") || fail "no Shortcut Keys window"
stacked_above "$keys" "$main" || fail "the Shortcut Keys window is below the main window"
# Its grey face and its text are on the screen, though it sits over the black graph.
window_area "$keys"
keys_pixels() { /usr/bin/python3 "$here/pixels.py" "$1" "$SHOTS/shortcut-keys.png" "$wx" "$wy" "$ww" "$wh" "${@:2}"; }
keys_drawn() {
  shot shortcut-keys && at_least $((ww * wh * 3 / 4)) keys_pixels count C0C0C0 && at_least 500 keys_pixels near 000000
}
retry 20 keys_drawn || fail "the Shortcut Keys window is covered or has no text"
press "$keys" F6
click "$shortcut_keys_button" 14
wait_gone "$keys_title" || fail "the toolbar button did not close the Shortcut Keys window"

echo "== Display > Language > Francais, then back to English"
choose_language 2
sleep 1
menu
shot menu-file-french
xdotool key Escape
click "$shortcut_keys_button" 14
wait_window "$keys_title_french" >/dev/null || fail "no Shortcut Keys window in French after the language change"
shot shortcut-keys-french
click "$shortcut_keys_button" 14
wait_gone "$keys_title_french" || fail "the French Shortcut Keys window stayed open"
choose_language 1
sleep 1
menu
shot menu-file-english
xdotool key Escape
click "$shortcut_keys_button" 14
wait_window "$keys_title" >/dev/null || fail "no English Shortcut Keys window after the language came back"
click "$shortcut_keys_button" 14
wait_gone "$keys_title" || fail "the Shortcut Keys window stayed open"

echo "== File > Save Trace at 100 us/div, twice"
press "$main" F12
sleep 1
# save_trace NAME: the file dialog, NAME typed into it, CH1 in the channel question.
save_trace() {
  local question
  menu Down Return
  wait_window "$save_title" >/dev/null || fail "no Save... dialog"
  sleep 0.5
  shot "save-dialog-$2"
  xdotool type --delay 20 "$1"
  xdotool key Return
  for _ in $(seq 5); do  # a completion list may take the first Return
    question=$(wait_window "$channel_title" 20) && break
    xdotool search --onlyvisible --name "$save_title" >/dev/null 2>&1 && xdotool key Return
  done
  [ -n "${question:-}" ] || fail "no channel question after the file dialog"
  shot "channel-question-$2"
  press "$question" Return
}
saved() {  # waits up to 30 s for a whole export file
  for _ in $(seq 300); do
    [ -f "$1" ] && [ "$(wc -l <"$1")" = 50001 ] && return 0
    sleep 0.1
  done
  return 1
}
save_trace "$work/export/run1.txt" first
saved "$work/export/run1.txt" || fail "no run1.txt written"
save_trace run2.txt second
saved "$work/export/run2.txt" || fail "the second dialog did not open in the directory of the first file"
shot after-save

echo "== About... on the menu bar, closed by a click on its face"
# The bar's last item: Alt puts the menu bar under the keyboard, Left wraps round to it.
press "$main" alt
sleep 0.3
xdotool key Left
sleep 0.3
xdotool key Return
about=$(wait_window "$about_title") || fail "no about box"
window_area "$about"
about_pixels() { /usr/bin/python3 "$here/pixels.py" "$1" "$SHOTS/about.png" $((wx + $2)) $((wy + $3)) "$4" "$5" "${@:6}"; }
# The title in its blue on the white face, and the identity row filled in (the
# instrument's identity draws about 280 pixels; "(no answer)" has less than half its letters).
about_drawn() {
  shot about && at_least 500 about_pixels count 16 70 408 32 003080 &&
    at_least $((ww * wh / 2)) about_pixels count 0 0 "$ww" "$wh" FFFFFF &&
    at_least 180 about_pixels near 120 172 300 18 000000
}
retry 20 about_drawn || fail "the about box shows no title or no identity"
xdotool mousemove $((wx + 220)) $((wy + 162)) click 1
wait_gone "$about_title" || fail "a click on the about box did not close it"

echo "== quit"
signal_and_confirm TERM "$program" "quit after the front panel"
kill -TERM "$sim"
wait "$sim" || true
/usr/bin/python3 "$here/check_export.py" "$work/panel.bin" "$app" "$work/export" "$work/export/run1.txt" \
  "$work/export/run2.txt" || fail "the exports, the key or the kept directory are wrong"
case "$(received_text "$work/panel.bin")" in
  *':MMEM:STOR:TRAC'*':MMEM:STOR:TRAC'*'*IDN?'*) ;;
  *) fail "the about box did not ask the instrument who it is" ;;
esac
echo "6 passed, 0 failed"

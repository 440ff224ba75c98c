#!/usr/bin/env bash
# The real window under Xvfb: start the built program in a fresh folder, click
# "选择图片开始生成 1", type the sample picture's path into the dialog, accept, dismiss the
# completion message and check the package. Exits 77 (skipped) where Xvfb, xdotool or xclip is missing.
set -euo pipefail
program=$1
for tool in Xvfb xdotool xclip unzip; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d /tmp/u830-window.XXXXXX)
display=":$((90 + RANDOM % 100))"
cleanup() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "${clip_pid:-}" ] && kill "$clip_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

cp "$program" "$work/u830logo"
(cd "$work" && QT_QPA_PLATFORM=xcb ./u830logo >"$work/out.log" 2>&1) &
app_pid=$!

wait_for_window() {  # name pattern
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no window named $1" >&2
  return 1
}

main=$(wait_for_window "生成u830第一屏")
[ -f "$work/猛虎.jpg" ] || { echo "the sample picture was not written"; exit 1; }
screenshot=${SCREENSHOT:-}
if [ -n "$screenshot" ] && command -v import >/dev/null; then import -window root "$screenshot"; fi

visible() { xdotool search --onlyvisible --class "u830logo" 2>/dev/null | grep -vx "$main" | tail -1 || true; }

# btnBlank lies at (0, 352) in the client area, 145 × 25. A click or keys that arrive while
# the window or the dialog is still being laid out can be lost on a loaded machine, so each
# step is tried again until it shows its effect.
dialog=""
for _ in 1 2 3; do
  xdotool mousemove --window "$main" 72 364 click 1
  for _ in $(seq 50); do
    dialog=$(visible)
    [ -n "$dialog" ] && break 2
    sleep 0.1
  done
done
[ -n "$dialog" ] || { echo "the open dialog did not appear"; exit 1; }

for _ in 1 2 3; do
  sleep 1
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  xdotool key --clearmodifiers ctrl+a
  # The ASCII part is typed; the name's Chinese characters are pasted, since for a character
  # that is not on the keyboard xdotool remaps a key while typing, and a program on a loaded
  # machine can read that key with the old map.
  xdotool type --delay 30 "$work/"
  [ -n "${clip_pid:-}" ] && kill "$clip_pid" 2>/dev/null
  printf '%s' "猛虎.jpg" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
  clip_pid=$!
  sleep 0.2
  xdotool key --clearmodifiers ctrl+v
  xdotool key Return
  for _ in $(seq 100); do
    xdotool search --onlyvisible --class "u830logo" 2>/dev/null | grep -qx "$dialog" || break 2
    sleep 0.1
  done
done

for _ in $(seq 600); do
  [ -f "$work/MENGHU_128K.supk" ] && break
  sleep 0.1
done
sleep 0.5
xdotool key Return   # the completion message
[ -f "$work/MENGHU_128K.supk" ] || { echo "no package was made"; cat "$work/out.log"; exit 1; }
unzip -tqq "$work/MENGHU_128K.supk"
[ "$(unzip -p "$work/MENGHU_128K.supk" logo_new.img | head -c 4)" = "OGOL" ]
ls "$work/temp" | sort | tr '\n' ' ' | grep -qx "gzip.exe zip.exe " || { echo "working files left: $(ls "$work/temp")"; exit 1; }
kill -0 "$app_pid" || { echo "the program ended early"; exit 1; }
echo "real window: MENGHU_128K.supk made"

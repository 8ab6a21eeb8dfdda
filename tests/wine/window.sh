# Sourced by the wine checks that drive Tornvale.exe, after session.sh: the
# window's place on the screen and its fixed layout for real X input
# (xdotool), and the simulated device on a pseudo-terminal that the prefix
# lists under a COM name. The caller sets work, linux, port and fail().
title="Tornvale Lindqvarn GmbH"

wait_until() {  # seconds, command...
  local limit=$1; shift
  for _ in $(seq $((limit * 5))); do "$@" && return 0; sleep 0.2; done
  return 1
}

# Client coordinates (the window's stored grid, 96 dpi) -> screen.
client_x=0 client_y=0
locate_window() {
  local id geometry
  id=$(xdotool search --name "^$title\$" | head -n 1)
  [ -n "$id" ] || return 1
  geometry=$(xdotool getwindowgeometry --shell "$id")
  eval "$geometry"
  # The client area is 754 pixels high; the menu bar takes the rest.
  client_x=$X client_y=$((Y + HEIGHT - 754))
}
click_at() { xdotool mousemove $((client_x + $1)) $((client_y + $2)) click 1; sleep 0.5; }

# CRC-16/MODBUS of the payload as four upper-case hex digits.
crc16() {
  local s=$1 crc=$((0xFFFF)) i b
  for ((i = 0; i < ${#s}; i++)); do
    printf -v b '%d' "'${s:i:1}"
    crc=$((crc ^ b))
    for _ in 1 2 3 4 5 6 7 8; do
      if ((crc & 1)); then crc=$(((crc >> 1) ^ 0xA001)); else crc=$((crc >> 1)); fi
    done
  done
  printf '%04X' "$crc"
}

# The Linux build's qdtr25-sim on a pseudo-terminal ($pty, process $sim_pid),
# every frame it receives logged to $work/frames.log.
start_device() {
  XDG_RUNTIME_DIR="$work" "$linux/bin/qdtr25-sim" --log "$work/frames.log" >"$work/sim.out" 2>&1 &
  sim_pid=$!
  wait_until 10 grep -q /dev/ "$work/sim.out" 2>/dev/null || fail "qdtr25-sim did not start: $(cat "$work/sim.out")"
  pty=$(grep -o '/dev/[^ ]*' "$work/sim.out" | head -n 1)
}

# Lists $pty as $port: wine makes the link when its server starts again.
list_device_as_port() {
  "$WINE" reg add 'HKLM\Software\Wine\Ports' /v "$port" /t REG_SZ /d "$pty" /f >/dev/null 2>&1
  "$WINESERVER" -k || true
  "$WINESERVER" -w
  "$WINE" wineboot -u >/dev/null 2>&1
}

# Starts Tornvale.exe of $build in its folder; sets app_pid and finds the window.
start_tornvale() {
  cd "$build/bin"
  "$WINE" Tornvale.exe >"$work/app.out" 2>&1 &
  app_pid=$!
  wait_until 60 locate_window || fail "no window '$title'"
  sleep 2  # the window's first paint
}

# Opens the port list and chooses its last entry (the one port wine lists
# beside COM1 sorts after it), as an operator does with the keyboard.
choose_last_port() {
  click_at 320 128
  xdotool key alt+Down; sleep 0.5
  xdotool key End Return
}

# The window's icon as wine hands it to X (_NET_WM_ICON: width, height, then
# 0xAARRGGBB top-down) against the image of that size in the committed icon
# file (a 32-bit bitmap of the same values, bottom-up). Prints the size.
window_icon_matches() {
  local ico=$here/../../packaging/windows/Tornvale.ico id data count i entry offset x y
  id=$(xdotool search --name "^$title\$" | head -n 1)
  data=$(xprop -id "$id" -notype 32c _NET_WM_ICON 2>/dev/null) || return 1
  read -r -a icon <<<"$(echo "${data#*= }" | tr -d ',')"
  ((${#icon[@]} > 2)) || return 1
  local width=${icon[0]} height=${icon[1]}
  count=$(od -An -tu2 -j4 -N2 "$ico" | tr -d ' ')
  for ((i = 0; i < count; i++)); do
    entry=$((6 + 16 * i))
    [ "$(od -An -tu1 -j$entry -N1 "$ico" | tr -d ' ')" = "$width" ] || continue
    offset=$(od -An -tu4 -j$((entry + 12)) -N4 "$ico" | tr -d ' ')
    read -r -a stored <<<"$(od -An -tu4 -v -j$((offset + 40)) -N$((width * height * 4)) "$ico" | tr -s ' \n' ' ')"
    for ((y = 0; y < height; y++)); do
      for ((x = 0; x < width; x++)); do
        [ "${icon[2 + y * width + x]}" = "${stored[(height - 1 - y) * width + x]}" ] || return 1
      done
    done
    echo "${width}x$height"
    return 0
  done
  return 1
}

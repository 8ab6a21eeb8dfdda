# Sourced by the wine checks after session.sh: the simulated device on a
# pseudo-terminal that wine lists under a COM name, and Tornvale.exe's window
# driven by real X input (xdotool) at the places of its fixed layout. Expects
# $linux (the Linux build), $work (a scratch folder) and a fail function.

title="Tornvale Lindqvarn GmbH"  # the window's caption
port=COM12                       # from COM10 up a port opens only with the "\\.\" prefix

# ---- the device -------------------------------------------------------------
# Starts qdtr25-sim logging the frames it receives to $1; sets sim_pid and pty.
start_device() {
  local out="$1.out"
  XDG_RUNTIME_DIR="$work" "$linux/bin/qdtr25-sim" --log "$1" >"$out" 2>&1 &
  sim_pid=$!
  wait_until 10 grep -q /dev/ "$out" || fail "qdtr25-sim did not start: $(cat "$out")"
  pty=$(grep -o '/dev/[^ ]*' "$out" | head -n 1)
}

# Lists $2 (a tty) as COM name $1 in HKLM\HARDWARE\DEVICEMAP\SERIALCOMM: wine
# rebuilds that key from HKLM\Software\Wine\Ports when its server starts.
list_port_in_wine() {
  "$WINE" reg add 'HKLM\Software\Wine\Ports' /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1
  "$WINESERVER" -k || true
  "$WINESERVER" -w
  "$WINE" wineboot -u >/dev/null 2>&1
  "$WINE" reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' 2>/dev/null | tr -d '\r' | grep -q "$1" ||
    fail "wine does not list $1 in SERIALCOMM"
}

# Starts Tornvale.exe of $build in its folder; sets app_pid and finds the window.
start_tornvale() {
  cd "$build/bin"
  "$WINE" Tornvale.exe >"$work/app.out" 2>&1 &
  app_pid=$!
  wait_until 60 locate_window || fail "no window '$title'"
  sleep 2  # the window's first paint
}

# ---- the window: positions from its fixed layout, state from its pixels ------
# Wine 8 answers UI Automation only for the top window (no navigation, no
# bounds), so the captions and the digest are checked on the screen: a
# region's pixels change when its text changes and come back with the text.
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
# The pixels of a client rectangle x y w h, as a digest.
pixels() { import -window root -crop "$3x$4+$((client_x + $1))+$((client_y + $2))" rgb:- | md5sum | cut -c1-32; }
wait_until() {  # seconds, command...
  local limit=$1; shift
  for _ in $(seq $((limit * 5))); do "$@" && return 0; sleep 0.2; done
  return 1
}
differs_from() { [ "$(pixels $2 $3 $4 $5)" != "$1" ]; }
equals() { [ "$(pixels $2 $3 $4 $5)" = "$1" ]; }

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

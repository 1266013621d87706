# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# A private virtual X display for one script, started and stopped by process
# id. Source it, then:
#   private_display_start [WIDTHxHEIGHT]   # exports DISPLAY
#   ...
#   private_display_stop                   # also safe in an EXIT trap
# Xvfb chooses a free display itself and names it once it accepts clients
# (-displayfd), so there is no display number to guess and no sleep to wait.
# The Python form of the same, for the display tests, is Desk._start_x in
# tests/display/desk_session.py.

private_display_pid=""

private_display_start() {
  local screen=${1:-1280x1024} dir number=""
  dir=$(mktemp -d)
  mkfifo "$dir/display"
  Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
  private_display_pid=$!
  # The line comes when the display is ready; end of file if Xvfb fails.
  read -r -t 20 number <"$dir/display" || true
  rm -rf "$dir"
  if [ -z "$number" ]; then
    echo "Xvfb did not report a display" >&2
    private_display_stop
    return 1
  fi
  export DISPLAY=:$number
}

private_display_stop() {
  if [ -n "$private_display_pid" ]; then
    kill "$private_display_pid" 2>/dev/null || true
    wait "$private_display_pid" 2>/dev/null || true
    private_display_pid=""
  fi
}

# Waits up to TIMEOUT seconds (default 20) for a picture on the display that
# has stopped changing: two pictures of the screen in a row alike, and more
# than blank. Copies the last one to FILE when one is named.
#   private_display_wait_until_drawn [FILE [TIMEOUT]]
private_display_wait_until_drawn() {
  local file=${1:-} timeout=${2:-20} dir previous="" current end
  dir=$(mktemp -d)
  end=$((SECONDS + timeout))
  while [ "$SECONDS" -lt "$end" ]; do
    if import -window root "$dir/screen.png" 2>/dev/null; then
      # Number of colours, then a digest of the pixels.
      current=$(identify -format '%k %#' "$dir/screen.png" 2>/dev/null || true)
      if [ -n "$current" ] && [ "${current%% *}" -gt 1 ] && [ "$current" = "$previous" ]; then
        [ -z "$file" ] || cp "$dir/screen.png" "$file"
        rm -rf "$dir"
        return 0
      fi
      previous=$current
    fi
    sleep 0.1
  done
  rm -rf "$dir"
  echo "nothing was drawn on the display within $timeout s" >&2
  return 1
}

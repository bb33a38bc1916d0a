#!/usr/bin/env bash
# Runs a test program on a real X server of the given size with a small window manager,
# so that windows get the frames and placement a desktop gives them:
#   scripts/xfit.sh 1024x768 build/bin/window_test --gtest_filter=...
#   scripts/xfit.sh --needs xdotool 1024x768 build/bin/pointer_test
# Exits with 77 (skipped) when Xvfb, the window manager or a tool named by --needs is not
# installed (scripts/deps.sh installs them).
set -euo pipefail
needs=""
if [ "${1:-}" = "--needs" ]; then
  needs=$2
  shift 2
fi
size=$1
shift
for tool in xvfb-run openbox xprop $needs; do
  command -v "$tool" >/dev/null 2>&1 || { echo "xfit: $tool not installed, skipped"; exit 77; }
done
exec xvfb-run -a -s "-screen 0 ${size}x24" bash -c '
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  # The window manager is up once it has named itself on the root window; on a loaded
  # machine that can take seconds. Without it every window would lack its frame.
  up=""
  for _ in $(seq 400); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && { up=1; break; }
    kill -0 $wm 2>/dev/null || break
    sleep 0.05
  done
  [ -n "$up" ] || { echo "xfit: the window manager did not start on $DISPLAY" >&2; kill $wm 2>/dev/null; exit 1; }
  QT_QPA_PLATFORM=xcb "$@"
  rc=$?
  kill $wm 2>/dev/null || true
  exit $rc' xfit "$@"

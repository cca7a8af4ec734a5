#!/usr/bin/env bash
# The demo: the simulated device on a pseudo-terminal, presented as COM1 in a separate work
# directory, and the application talking to it. The user's own settings are not touched.
set -euo pipefail
cd "$(dirname "$0")/.."
demo=${KORVANE_DEMO_DIR:-/tmp/korvane-demo-$(id -u)}
ports="$demo/config/Kor_Vane/ports"
mkdir -p "$ports"
sim=build/tools/devsim/korvane-sim
app=build/src/app/korvane

"$sim" --link "$ports/COM1" --usb &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$ports/COM1" ] && break; sleep 0.1; done
echo "Simulated Korvane speed monitor on $ports/COM1 (USB mode, address 1)"

if [ -x "$app" ]; then
  build/tools/demo/korvane-demo-settings "$demo/config"
  XDG_CONFIG_HOME="$demo/config" "$app"
else
  echo "The application is not built yet; the simulator keeps running. Press Ctrl+C to stop."
  wait "$sim_pid"
fi

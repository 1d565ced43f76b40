#!/usr/bin/env bash
# Set-up, build, and run the tool against the simulated radio on COM9.
# ./run.sh --real leaves the settings file alone and uses the ports present (a real radio);
# other options go to the simulated radio (./run.sh --noise 0.05, ./run.sh --forget).
set -euo pipefail
cd "$(dirname "$0")"
# Said before anything is built: without a display the window cannot open.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display (DISPLAY and WAYLAND_DISPLAY are empty): run it from a desktop" \
    "session, or under a virtual one: xvfb-run -a ./run.sh" >&2
  exit 1
fi
./scripts/setup
cmake --preset dev >/dev/null
cmake --build --preset dev

tool=build/dev/app/qv4120-settestdata
if [ "${1:-}" = "--real" ]; then
  exec "$tool"
fi

# The simulated radio keeps its memory in build/dev/radiosim.bin from one run to the next.
# One radio for each run.sh, so that two of them never share one: a second run.sh at the same
# time works on a copy of that memory.
image=build/dev/radiosim.bin
exec 9>build/dev/radiosim.lock
if ! flock -n 9; then
  image=build/dev/radiosim-$$.bin
  [ ! -f build/dev/radiosim.bin ] || cp build/dev/radiosim.bin "$image"
  echo "run.sh: another run.sh uses build/dev/radiosim.bin; this radio keeps its memory in $image"
fi
radio=
link_folder=
stop_radio() {
  [ -z "$radio" ] || { kill "$radio" 2>/dev/null; wait "$radio" 2>/dev/null || true; }
  [ -z "$link_folder" ] || rm -rf "$link_folder"
}
trap stop_radio EXIT
# The link that leads the tool to the radio lives where no other user can plant one: the
# session's own runtime folder, else a private folder made for this run.
if [ -n "${XDG_RUNTIME_DIR:-}" ]; then
  radio_link="$XDG_RUNTIME_DIR/qv4120-radio-$$"
else
  link_folder=$(mktemp -d)
  radio_link="$link_folder/radio"
fi
build/dev/tools/qv4120-radiosim/qv4120-radiosim --link "$radio_link" \
  --image "$image" --log build/dev/radiosim.log "$@" >/dev/null &
radio=$!
for _ in $(seq 50); do
  [ -e "$radio_link" ] && break
  kill -0 "$radio" 2>/dev/null || { echo "run.sh: the simulated radio did not start" >&2; exit 1; }
  sleep 0.1
done
[ -e "$radio_link" ] || { echo "run.sh: the simulated radio did not start" >&2; exit 1; }

settings=build/dev/app/mysetup.ini
./scripts/ini-set "$settings" ports COM9 "$radio_link"
./scripts/ini-set "$settings" language comPort 9
echo "run.sh: the simulated radio is COM9 ($radio_link); its frames are logged in build/dev/radiosim.log"
"$tool"

#!/usr/bin/env bash
# Ethernet link figures against the simulator, in a private network namespace (run as root):
# a broadcast scan answered by N simulated gateways (how many listed, how long), and a download
# followed by an upload of a new project. Usage: bench/ethernet/scan_and_transfer.sh BUILD_DIR [N] [RUNS]
set -euo pipefail
build=$(realpath "${1:?build directory}")
gateways=${2:-250}
runs=${3:-3}
if [ "${VELTRANE_BENCH_NETNS:-}" != 1 ]; then
  exec env VELTRANE_BENCH_NETNS=1 unshare -n "$0" "$@"
fi
ip link set lo up
work=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null || true; rm -rf "$work"' EXIT
export VELTRANE_GATEWAY_UDP_PORT=28831 VELTRANE_GATEWAY_TCP_PORT=28832
"$build/src/sim/veltrane-gwsim" --udp-port 28831 --tcp-port 28832 --count "$gateways" > "$work/sim.log" &
sim=$!
for _ in $(seq 1 200); do
  [ "$(grep -c listening "$work/sim.log" || true)" -ge "$gateways" ] && break
  sleep 0.1
done
cli="$build/src/cli/veltrane-cli"
ms() { echo $(( ($2 - $1) / 1000000 )); }
for run in $(seq 1 "$runs"); do
  start=$(date +%s%N); rows=$("$cli" scan --local 127.0.0.1 | wc -l); end=$(date +%s%N)
  echo "scan $run: $rows of $gateways gateways listed in $(ms "$start" "$end") ms"
done
"$cli" new "$work/project.chg" > /dev/null
for run in $(seq 1 "$runs"); do
  start=$(date +%s%N); "$cli" download "$work/project.chg" --to 127.0.0.2 > /dev/null; middle=$(date +%s%N)
  "$cli" upload --to 127.0.0.2 -o "$work/uploaded.chg" > /dev/null; end=$(date +%s%N)
  echo "round trip $run: download $(ms "$start" "$middle") ms, upload $(ms "$middle" "$end") ms (whole processes)"
done

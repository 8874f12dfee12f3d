#!/usr/bin/env bash
# Inside two network namespaces of its own joined by a veth pair, the tool's
# sampling code (sample_probe.exe under Wine, with a wineserver started in the
# first namespace and a prefix of its own) sees the veth interface and its
# counters grow while the test pings across the pair. Needs root.
set -u
probe=$1
top=$(cd "$(dirname "$0")/../.." && pwd)
if [ "$(id -u)" -ne 0 ] || ! command -v ip >/dev/null; then
  echo "netns: needs root and iproute2"
  exit 1
fi

tag=pul$$
nsA=${tag}a
nsB=${tag}b
prefix=$top/build/wine-netns
log=$(mktemp)
cleanup() {
  ip netns exec "$nsA" env WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
  ip netns del "$nsA" 2>/dev/null
  ip netns del "$nsB" 2>/dev/null
  rm -f "$log"
}
trap cleanup EXIT INT TERM

ip netns add "$nsA" && ip netns add "$nsB" || exit 1
ip link add "${tag}v0" type veth peer name "${tag}v1" || exit 1
ip link set "${tag}v0" netns "$nsA"
ip link set "${tag}v1" netns "$nsB"
ip -n "$nsA" addr add 10.213.77.1/30 dev "${tag}v0"
ip -n "$nsB" addr add 10.213.77.2/30 dev "${tag}v1"
ip -n "$nsA" link set lo up
ip -n "$nsA" link set "${tag}v0" up
ip -n "$nsB" link set "${tag}v1" up

# A prefix of its own, copied from the main one (made on first use).
. "$top/scripts/wine-env.sh"
pulsery_wine_prefix
if [ ! -f "$prefix/.pulsery-ready" ]; then
  rm -rf "$prefix"
  cp -a "$WINEPREFIX" "$prefix"
  rm -f "$prefix"/wineserver
fi

# Traffic across the pair while the probe samples, from the far namespace.
( sleep 2; ip netns exec "$nsB" ping -c 20 -i 0.2 -s 1000 -q 10.213.77.1 >/dev/null 2>&1 ) &
pinger=$!
ip netns exec "$nsA" env WINEPREFIX="$prefix" WINEDEBUG=-all DISPLAY= \
  timeout 120 wine "$probe" 16 500 >"$log" 2>&1
status=$?
wait $pinger
if [ $status -ne 0 ]; then echo "netns: probe failed ($status)"; cat "$log"; exit 1; fi

# The veth row's received counter over the snapshots.
counts=$(awk -v n="${tag}v0" '$1 == "row" && $2 == n { print $4 }' "$log")
if [ -z "$counts" ]; then echo "netns: the veth interface was not seen"; cat "$log"; exit 1; fi
first=$(echo "$counts" | head -1)
last=$(echo "$counts" | tail -1)
echo "netns: ${tag}v0 received $first -> $last bytes"
if [ "$last" -le $((first + 10000)) ]; then echo "netns: counters did not grow"; cat "$log"; exit 1; fi
grep -q "10.213.77.1" "$log" || { echo "netns: the veth address is missing"; cat "$log"; exit 1; }
echo "netns: ok"

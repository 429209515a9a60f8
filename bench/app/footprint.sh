#!/usr/bin/env bash
# Measures the whole program as a user runs it all day, all modules on, the settings window
# closed and no network: start to overlay shown (median of several launches), memory after a
# minute idle (resident, and the anonymous part: heap and stacks, where growth would show), idle
# CPU, and wake-ups per second. Two yardsticks run beside it: the bare baseline, a Qt Widgets
# program with one tray icon and one frameless window, and the floor for the job, which also draws
# a line of text, makes one HTTPS request to a local server and reads one Secret Service item.
# Everything runs on a private X display with a tray host and a private keyring holding a token;
# the GitHub API address points at a local port nobody listens on. Run as root, a private Docker
# engine runs too, started the way the engine test starts it (dockerd without a bridge, its socket
# where Docker Desktop's is, a busybox image and one container running), so the Docker module
# idles on the engine's real event stream. Wake-ups are counted by perf. The day's update check is
# recorded as done, so the idle minute is one of the day's and not the minute after start-up when
# the first check goes out. Last, the resident memory again with 20 watched repositories instead of
# one; the memory and wake-ups with the GitLab and CI-feed modules watching something (10 GitLab
# projects on a server nobody answers for, a local feed of 200 projects that answers 304); and the
# wake-ups with the Docker module alone on (the GitHub modules, which retry the unreachable API at
# their own pauses, switched off), watching one engine and then two (the same engine again, over
# SSH through a private sshd).
#   bench/app/footprint.sh [LAUNCHES] [IDLE_SECONDS]
# Builds build/bench (Release) first. Not part of the test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build/bench"
launches=${1:-9}
idle=${2:-60}

if [ "${FOOTPRINT_INSIDE:-}" != 1 ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNLET_BUILD_BENCH=ON \
    -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=0 >/dev/null
  cmake --build "$build" -j2 --target tarnlet-testhooks tarnlet-token tarnlet-map-timer tarnlet-baseline tarnlet-floor
  export FOOTPRINT_INSIDE=1
  exec "$root/tests/support/with-display.sh" --tray "$root/tests/support/with-keyring.sh" "$0" "$@"
fi

program="$build/src/app/tarnlet-testhooks"
baseline="$build/bench/app/tarnlet-baseline"
floor="$build/bench/app/tarnlet-floor"
scratch=$(mktemp -d)
pids=()
engine_pid=""
host_folders_made=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  if [ -n "$engine_pid" ]; then
    docker rm --force tarnlet-footprint >/dev/null 2>&1 || true
    kill "$engine_pid" 2>/dev/null || true
    wait "$engine_pid" 2>/dev/null || true
    for folder in "${host_folders_made[@]}"; do rmdir "$folder" 2>/dev/null || true; done
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
printf '%s' "ghp_footprintBenchToken" | "$build/src/app/tarnlet-token" >/dev/null
export TARNLET_TEST_API_ROOT=https://127.0.0.1:9
mkdir -p "$XDG_CONFIG_HOME/Tarnlet"
# The preferences of each run: no settings window at start, the day's update check done, plus EXTRA.
preferences() { # [EXTRA JSON MEMBERS]
  echo "{\"app.showSettingsOnLaunch\": false, \"updater.lastCheckTime\": \"$(date -u +%Y-%m-%dT%H:%M:%SZ)\"${1:+, $1}}" \
    > "$XDG_CONFIG_HOME/Tarnlet/Tarnlet.json"
}
preferences

# Start to overlay: the first window the X server maps for a fresh process.
times=()
for _ in $(seq 1 "$launches"); do
  times+=("$("$build/bench/app/tarnlet-map-timer" "$program" 2>/dev/null)")
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')

# The floor's HTTPS peer: a local server with a throw-away certificate only the floor trusts.
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 \
  -keyout "$scratch/key.pem" -out "$scratch/cert.pem" 2>/dev/null
python3 -c '
import http.server, ssl, sys
server = http.server.HTTPServer(("127.0.0.1", 0), http.server.SimpleHTTPRequestHandler)
tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
tls.load_cert_chain(sys.argv[1], sys.argv[2])
server.socket = tls.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()' "$scratch/cert.pem" "$scratch/key.pem" >"$scratch/port" 2>/dev/null &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$scratch/port" ] && break; sleep 0.05; done
port=$(cat "$scratch/port")

# The Docker engine, as the engine test starts it; none without root or beside the system's own.
engine_note="no engine (needs root and no /var/run/docker.sock)"
if [ "$(id -u)" = 0 ] && [ ! -e /var/run/docker.sock ] && [ -x /usr/sbin/dockerd ]; then
  socket="$HOME/.docker/run/docker.sock"
  engine="$scratch/docker"
  for folder in /run/containerd/s /run/containerd /run/docker/plugins /run/docker; do
    [ -e "$folder" ] || host_folders_made+=("$folder")
  done
  mkdir -p "$engine/rootfs/bin" "$(dirname "$socket")"
  cp /bin/busybox "$engine/rootfs/bin/"
  echo "{\"deprecated-key-path\": \"$engine/key.json\"}" >"$engine/daemon.json"
  /usr/sbin/dockerd --config-file "$engine/daemon.json" --host "unix://$socket" --data-root "$engine/data" \
    --exec-root "$engine/exec" --pidfile "$engine/dockerd.pid" --storage-driver vfs --iptables=false \
    --ip6tables=false --bridge=none >"$engine/dockerd.log" 2>&1 &
  engine_pid=$!
  export DOCKER_HOST="unix://$socket"
  for _ in $(seq 1 600); do [ -S "$socket" ] && break; sleep 0.1; done
  tar -C "$engine/rootfs" -c . | docker import - tarnlet-footprint:busybox >/dev/null
  docker run --detach --network=none --name tarnlet-footprint tarnlet-footprint:busybox \
    /bin/busybox sleep 100000 >/dev/null
  engine_note="private dockerd, one container running"
fi

# CPU ticks of the whole process (ended threads included), resident memory in KiB.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }
anonymous() { awk '/^Anonymous:/ {print $2}' "/proc/$1/smaps_rollup"; }
# Context switches of every thread of a process over the next SECONDS, threads that start or end
# meanwhile included: /proc only knows the threads alive at the moment it is read.
count_switches() { # PID SECONDS FILE
  perf stat -x, -e context-switches -p "$1" -o "$3" -- sleep "$2" >/dev/null 2>&1 || echo "failed" > "$3"
}
per_second() { # FILE SECONDS; perf says "<not counted>" for a process that never ran meanwhile
  awk -F, -v s="$2" '/context-switches/ {sub(/<not counted>/, "0", $1)}
                     /context-switches/ && $1 ~ /^[0-9]+$/ {printf "%.2f", $1 / s; found = 1}
                     END {if (!found) printf "n/a (perf failed)"}' "$1"
}

"$program" >/dev/null 2>&1 &
tarnlet=$!
"$baseline" >/dev/null 2>&1 &
base=$!
"$floor" "https://127.0.0.1:$port/" "$scratch/cert.pem" 2>"$scratch/floor.err" >/dev/null &
floor_pid=$!
pids=("$tarnlet" "$base" "$floor_pid" "${pids[@]}")
sleep 5 # start-up done, modules in their pauses, the floor's request and secret read done
grep -q "HTTPS ok" "$scratch/floor.err" && grep -q "secret read" "$scratch/floor.err" \
  || { echo "the floor did not finish its request and secret read:" >&2; cat "$scratch/floor.err" >&2; exit 1; }
t0=$(ticks $tarnlet)
count_switches $tarnlet "$idle" "$scratch/tarnlet.perf" &
counters=($!)
count_switches $base "$idle" "$scratch/base.perf" &
counters+=($!)
count_switches $floor_pid "$idle" "$scratch/floor.perf" &
counters+=($!)
streams_before=$( (pgrep -P $tarnlet -f -- '/events' || true) | tr '\n' ' ')
wait "${counters[@]}"
t1=$(ticks $tarnlet)
streams_after=$( (pgrep -P $tarnlet -f -- '/events' || true) | tr '\n' ' ')
rss_tarnlet=$(rss $tarnlet); rss_base=$(rss $base); rss_floor=$(rss $floor_pid)
anon_tarnlet=$(anonymous $tarnlet); anon_base=$(anonymous $base); anon_floor=$(anonymous $floor_pid)
hz=$(getconf CLK_TCK)

echo "Start to overlay shown, median of $launches: $median ms (target under 300 ms; all: ${times[*]})"
awk -v t="$rss_tarnlet" -v b="$rss_base" -v f="$rss_floor" 'BEGIN {
  printf "Resident memory after %s s idle: Tarnlet %.1f MiB; bare baseline %.1f MiB, ratio %.2f (target at most 1.3); floor for the job %.1f MiB, ratio %.2f\n",
         '"$((idle + 5))"', t / 1024, b / 1024, t / b, f / 1024, t / f }'
awk -v t="$anon_tarnlet" -v b="$anon_base" -v f="$anon_floor" 'BEGIN {
  printf "Anonymous memory (heap and stacks) of that: Tarnlet %.1f MiB; bare baseline %.1f MiB, ratio %.2f; floor %.1f MiB, ratio %.2f\n",
         t / 1024, b / 1024, t / b, f / 1024, t / f }'
awk -v d="$((t1 - t0))" -v hz="$hz" -v s="$idle" 'BEGIN {
  printf "Idle CPU over %d s: %.3f %% of one core (target under 0.1 %%)\n", s, 100 * d / hz / s }'
echo "Wake-ups per second while idle: Tarnlet $(per_second "$scratch/tarnlet.perf" "$idle")," \
     "bare baseline $(per_second "$scratch/base.perf" "$idle"), floor $(per_second "$scratch/floor.perf" "$idle")"
echo "Docker: $engine_note; event stream curl (pid) at the idle minute's start: ${streams_before:-none}, at its end: ${streams_after:-none}"

# The same program watching 20 repositories (one Tarnlet per display: the first one ends first).
kill $tarnlet 2>/dev/null || true
wait $tarnlet 2>/dev/null || true
repos=$(seq 1 20 | awk '{printf "%s\"bench/repo%d\"", (NR > 1 ? ", " : ""), $1}')
preferences '"github.repositories": ['"$repos"']'
"$program" >/dev/null 2>&1 &
tarnlet=$!
pids=("$tarnlet" "${pids[@]}")
sleep "$((idle + 5))"
rss_twenty=$(rss $tarnlet)
awk -v one="$rss_tarnlet" -v twenty="$rss_twenty" 'BEGIN {
  printf "Resident memory watching 1 and 20 repositories: %.1f MiB and %.1f MiB, growth %.2f MiB (target at most 1 MiB)\n",
         one / 1024, twenty / 1024, (twenty - one) / 1024 }'

# The GitLab and CI-feed modules watching something, beside the first run, where they watched
# nothing: a cctray feed of 200 projects (10 of them watched) over plain http on loopback, from a
# local server that answers a poll carrying the feed's Last-Modified with 304, and 10 GitLab
# projects with a token in the keyring, on a self-managed server address where nobody listens (the
# program trusts no local certificate, so no local GitLab could answer it: the two GitLab modules
# retry at their back-off pauses, as the GitHub ones do).
kill $tarnlet 2>/dev/null || true
wait $tarnlet 2>/dev/null || true
feed="$scratch/feed"
mkdir -p "$feed"
: >"$scratch/feed.answers"
python3 -c '
import sys
print("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Projects>")
for i in range(200):
    service, job = i // 4, i % 4
    print(f"  <Project name=\"service-{service} :: build :: job-{job}\" activity=\"Sleeping\" "
          f"lastBuildStatus=\"Success\" lastBuildLabel=\"{100 + i}\" lastBuildTime=\"2026-12-07T09:00:00.000+0000\" "
          f"webUrl=\"https://gocd.example.com/go/tab/build/detail/service-{service}/12/build/1/job-{job}\" />")
print("</Projects>")' >"$feed/cctray.xml"
python3 -c '
import functools, http.server, sys
class Feed(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"  # the connection stays open between polls, as a CI server keeps it
    def log_request(self, code="-", size="-"):
        with open(sys.argv[2], "a") as answers:
            print(int(code), file=answers)
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Feed, directory=sys.argv[1]))
print(server.server_address[1], flush=True)
server.serve_forever()' "$feed" "$scratch/feed.answers" >"$scratch/feed.port" 2>/dev/null &
pids=("$!" "${pids[@]}")
for _ in $(seq 1 100); do [ -s "$scratch/feed.port" ] && break; sleep 0.05; done
gitlab_server=https://127.0.0.1:9
printf '%s' "glpat-footprintBenchToken" | "$build/src/app/tarnlet-token" --gitlab --server "$gitlab_server" >/dev/null
projects=$(seq 0 9 | awk '{printf "%s\"bench/project-%d\"", (NR > 1 ? ", " : ""), $1}')
watched=$(seq 0 9 | awk '{printf "%s\"service-%d :: build :: job-0\"", (NR > 1 ? ", " : ""), $1}')
preferences '"gitlab.server": "'"$gitlab_server"'", "gitlab.projects": ['"$projects"'],
  "ciFeeds.feeds": [{"address": "http://127.0.0.1:'"$(cat "$scratch/feed.port")"'/cctray.xml", "secret": false,
                     "watched": ['"$watched"']}]'
"$program" >/dev/null 2>&1 &
tarnlet=$!
pids=("$tarnlet" "${pids[@]}")
sleep 5
t0=$(ticks $tarnlet)
count_switches $tarnlet "$idle" "$scratch/watching.perf"
t1=$(ticks $tarnlet)
rss_watching=$(rss $tarnlet); anon_watching=$(anonymous $tarnlet)
awk -v w="$rss_watching" -v t="$rss_tarnlet" -v aw="$anon_watching" -v at="$anon_tarnlet" 'BEGIN {
  printf "Resident memory with GitLab pipelines, GitLab to-dos and CI-Feeds watching (10 GitLab projects, a feed of 200 projects): %.1f MiB, anonymous %.1f MiB; the first run (those modules watching nothing) %.1f MiB and %.1f MiB, growth %.2f MiB and %.2f MiB\n",
         w / 1024, aw / 1024, t / 1024, at / 1024, (w - t) / 1024, (aw - at) / 1024 }'
awk -v d="$((t1 - t0))" -v hz="$hz" -v s="$idle" 'BEGIN {
  printf "Idle CPU with them watching over %d s: %.3f %% of one core\n", s, 100 * d / hz / s }'
echo "Wake-ups per second with them watching: $(per_second "$scratch/watching.perf" "$idle")" \
     "(first run $(per_second "$scratch/tarnlet.perf" "$idle"), floor $(per_second "$scratch/floor.perf" "$idle"));" \
     "the feed's server answered $(wc -l <"$scratch/feed.answers") polls, $(grep -c '^304$' "$scratch/feed.answers" || true) of them 304"

# The Docker module alone, on the engine's stream: it should cost no more than the floor.
kill $tarnlet 2>/dev/null || true
wait $tarnlet 2>/dev/null || true
preferences '"disabledModuleIDs": ["github.actions", "github.pullRequests"]'
"$program" >/dev/null 2>&1 &
tarnlet=$!
pids=("$tarnlet" "${pids[@]}")
sleep 5
count_switches $tarnlet "$idle" "$scratch/docker.perf"
rss_one_engine=$(rss $tarnlet)
echo "Wake-ups per second with only the Docker module on ($engine_note): $(per_second "$scratch/docker.perf" "$idle")" \
     "(floor $(per_second "$scratch/floor.perf" "$idle"))"

# Two engines watched: the local one and the same engine over SSH, as a context the docker CLI
# made. A private sshd on a loopback port, in a mount namespace where /run/docker.sock is a link to
# the engine's socket; Tarnlet in a mount namespace of its own whose /root is a scratch folder with
# the login key and the host's key known, so the user's own ~/.ssh stays untouched.
[ -n "$engine_pid" ] && [ -x /usr/sbin/sshd ] || exit 0
kill $tarnlet 2>/dev/null || true
wait $tarnlet 2>/dev/null || true
sshd_dir="$scratch/sshd"
ssh_home="$scratch/ssh-home"
mkdir -p "$sshd_dir" "$ssh_home/.ssh"
ssh_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
ssh-keygen -q -t ed25519 -N '' -f "$sshd_dir/host_key"
ssh-keygen -q -t ed25519 -N '' -f "$ssh_home/.ssh/id_ed25519"
cp "$ssh_home/.ssh/id_ed25519.pub" "$sshd_dir/authorized_keys"
echo "[127.0.0.1]:$ssh_port $(cut -d' ' -f1,2 "$sshd_dir/host_key.pub")" >"$ssh_home/.ssh/known_hosts"
printf '%s\n' "ListenAddress 127.0.0.1:$ssh_port" "HostKey $sshd_dir/host_key" \
  "AuthorizedKeysFile $sshd_dir/authorized_keys" 'PermitRootLogin prohibit-password' 'StrictModes no' \
  'UsePAM no' 'PidFile none' >"$sshd_dir/sshd_config"
unshare --mount sh -c "mount -t tmpfs tarnlet-run /run && mkdir /run/sshd && ln -s $socket /run/docker.sock &&
  exec /usr/sbin/sshd -D -f $sshd_dir/sshd_config" &
pids=("$!" "${pids[@]}")
export DOCKER_CONFIG="$scratch/docker-cli"
docker context create ssh-box --docker "host=ssh://root@127.0.0.1:$ssh_port" >/dev/null 2>&1
preferences '"disabledModuleIDs": ["github.actions", "github.pullRequests"], "docker.engines": ["ssh-box"]'
unshare --mount sh -c "mount --bind $ssh_home /root && exec $program" >/dev/null 2>&1 &
tarnlet=$!
pids=("$tarnlet" "${pids[@]}")
sleep 5
forward_before=$( (pgrep -P $tarnlet -x ssh || true) | tr '\n' ' ')
count_switches $tarnlet "$idle" "$scratch/two.perf"
forward_after=$( (pgrep -P $tarnlet -x ssh || true) | tr '\n' ' ')
# Tarnlet ended by a signal leaves its ssh behind: it is ended by its pid like the rest.
for pid in $forward_after; do pids=("$pid" "${pids[@]}"); done
rss_two_engines=$(rss $tarnlet)
awk -v one="$rss_one_engine" -v two="$rss_two_engines" 'BEGIN {
  printf "Resident memory with the Docker module alone, watching 1 and 2 engines: %.1f MiB and %.1f MiB, growth %.2f MiB\n",
         one / 1024, two / 1024, (two - one) / 1024 }'
echo "Wake-ups per second watching 2 engines (the second over SSH): $(per_second "$scratch/two.perf" "$idle")" \
     "(floor $(per_second "$scratch/floor.perf" "$idle")); ssh forward (pid) at the idle minute's start:" \
     "${forward_before:-none}, at its end: ${forward_after:-none}"

#!/usr/bin/env bash
# Builds the program and measures it at work, without a person, against the
# tools that move the same bytes, in one run:
#
#   scripts/run-bench.sh [--quick] [--memory] [--only=cases] [folder]
#
#   folder    where the data is written (default /tmp); removed at the end.
#             The full run needs about 5 GiB free there, --quick about 1 GiB.
#   --quick   smaller sizes (1,000 files, 256 MiB), about two minutes.
#   --memory  also the peak memory of the file procedures on a 4 GiB file
#             (about ten minutes more).
#   --only=start,many,aes,age,des,procs,load   only the cases named (age:
#             veilor agee/aged beside the real age -p/age -d).
#   VEILOR_BENCH_CAP=seconds   longest wait for one batch (default 240, quick
#             60); a batch still running then is stopped and its time
#             extrapolated from the files it finished.
#   VEILOR_BENCH_FILES=n   the number of small files (default 10000, quick 1000).
#
# Every case runs the real program (build/native/veilor/7_app/veilor) under a
# private X server, with a private HOME whose settings hold a stored default
# password for encryption and decryption, so that no prompt appears. Each
# table is printed in the form the README shows.
#
# How the batch's end is taken: with the report hidden, the program ends when
# the batch ends, so the time is the process's wall time. With the report
# shown, the finished report waits for the user. The script watches the files:
# once the last file of the batch (by name, the order the batch takes) has its
# output and, when sources go, its source is gone, it waits for the report to
# become modal, which it does only once the batch has finished: the toolkit
# then announces the modal state to the window manager with a _NET_WM_STATE
# message on the root window, seen here by `xev`. That moment is the batch's
# end; the script then presses Return on the report and also prints the time
# to the process's end. If no such message comes (the report works some other
# way), the process's end is taken, which includes closing the report, and the
# table says so.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

quick=0
memory=0
folder=/tmp
only=start,many,aes,age,des,procs,load
for arg in "$@"; do
  case "$arg" in
    --quick) quick=1 ;;
    --memory) memory=1 ;;
    --only=*) only=${arg#--only=} ;;
    -h | --help)
      sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'
      exit 0
      ;;
    -*)
      echo "unknown option: $arg" >&2
      exit 2
      ;;
    *) folder=$arg ;;
  esac
done

scripts/setup-deps.sh --tests openssl time x11-utils xdotool xvfb coreutils strace age
if [ "$quick" = 1 ]; then
  many=${VEILOR_BENCH_FILES:-1000} aesMiB=256 desMiB=128 partMiB=16 startRuns=10 procMiB=64
  cap=${VEILOR_BENCH_CAP:-60}
else
  many=${VEILOR_BENCH_FILES:-10000} aesMiB=1024 desMiB=1024 partMiB=128 startRuns=20 procMiB=1024
  cap=${VEILOR_BENCH_CAP:-240}
fi

# ---------------------------------------------------------------- build
echo "Building..."
cmake --preset native >/dev/null
targets=(veilor veilor_file_bench veilor_bench_settings)
# The loading bench (large settings and scripts) plugs in here when bench/ has it.
haveLoadBench=0
if grep -q 'veilor_load_bench' bench/CMakeLists.txt; then
  targets+=(veilor_load_bench)
  haveLoadBench=1
fi
if ! cmake --build --preset native --target "${targets[@]}" >/tmp/veilor-bench-build.log 2>&1; then
  tail -30 /tmp/veilor-bench-build.log
  exit 1
fi
veilor=$root/build/native/veilor/7_app/veilor
fileBench=$root/build/native/bench/veilor_file_bench
writeSettings=$root/build/native/bench/veilor_bench_settings
loadBench=$root/build/native/bench/veilor_load_bench

# ---------------------------------------------------------------- set-up
work=$(mktemp -d "$folder/veilor-bench.XXXXXX")
xevPid=
xvfbPid=
cleanup() {
  [ -n "$xevPid" ] && kill "$xevPid" 2>/dev/null
  [ -n "$xvfbPid" ] && kill "$xvfbPid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The report needs a display: a private X server of its own, so that no window
# reaches the user's desktop and no window manager interferes. It writes its
# display number once it is ready.
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfbPid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "the X server did not start" >&2; exit 1; }
display=$(head -1 "$work/display")
export DISPLAY=:$display

export HOME=$work/home
unset XDG_CONFIG_HOME
mkdir -p "$HOME"
# A sleep without a process: `read` on a pipe that never gets data times out.
exec {idle}<> <(:)
pause() { read -r -t "$1" -u "$idle" _ || true; }
usec() { echo "${EPOCHREALTIME/./}"; }
# seconds with two decimals from microseconds
sec() { awk -v u="$1" 'BEGIN { printf "%.2f", u / 1e6 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "-" }'; }
lowest() { sort -n | awk 'NR == 1'; }
highest() { sort -n | awk 'END { print }'; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f MiB", k / 1024 }'; }
# "met" when value <= limit (or >= limit with "at-least")
verdict() {
  awk -v v="$1" -v l="$2" -v w="${3:-at-most}" \
    'BEGIN { ok = (w == "at-least") ? v >= l : v <= l; print ok ? "met" : "missed" }'
}
settings() { "$writeSettings" "$1" "$2"; }
wanted() { [[ ",$only," == *",$1,"* ]]; }

# The report's state messages, seen on the root window (microseconds, one a line).
xevLog=$work/xev.log
: >"$xevLog"
(exec stdbuf -oL xev -root -event substructure) > >(
  while IFS= read -r line; do
    case "$line" in *"(_NET_WM_STATE)"*) echo "${EPOCHREALTIME/./}" ;; esac
  done >>"$xevLog"
) 2>/dev/null &
xevPid=$!

openTheWindows() {
  local window
  for window in $(xdotool search --onlyvisible --name . 2>/dev/null); do
    xdotool windowfocus "$window" key Return 2>/dev/null || true
  done
}

# measure <command...>: sets mWall and mCpu (microseconds).
measure() {
  sync
  local t0
  t0=$(usec)
  /usr/bin/time -f '%U %S %M' -o "$work/usage" "$@"
  mWall=$(($(usec) - t0))
  mCpu=$(awk 'END { printf "%.0f", ($1 + $2) * 1e6 }' "$work/usage")
}

# Stops a run: the program (the child of GNU time), then GNU time.
stopRun() {
  local child
  child=$(cat "/proc/$1/task/$1/children" 2>/dev/null || true)
  [ -n "$child" ] && kill -KILL $child 2>/dev/null
  kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

# Runs one batch: drive <present> <absent|-> <command...>. <present> exists and
# <absent> does not once the last file of the batch is done. Sets runStart,
# runWork (last file done), runFinished (the batch's end, see the top),
# runExit, runRule ("report" or "process end"), runCapped, and runCpu (user +
# system, microseconds) and runRss (peak, KiB) of the program. A batch still at
# work after runCap seconds (default: the many-files cap) is stopped.
drive() {
  local present=$1 absent=$2 pid stateAfter limit=${runCap:-$cap}
  shift 2
  runCapped=0
  sync
  runStart=$(usec)
  # GNU time adds its CPU time and peak memory; it runs the command as its child.
  /usr/bin/time -f '%U %S %M' -o "$work/usage" "$@" &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    if [ -e "$present" ] && { [ "$absent" = - ] || [ ! -e "$absent" ]; }; then break; fi
    if (($(usec) - runStart > limit * 1000000)); then
      runCapped=1
      break
    fi
    pause 0.01
  done
  runWork=$(usec)
  if [ "$runCapped" = 1 ]; then
    stopRun "$pid"
    runCpu=0 runRss=0
    runExit=$(usec)
    runFinished=$runExit
    runRule="stopped"
    return
  fi
  # Give the report up to 5 s to announce its finished state.
  stateAfter=$((runWork - 500000))
  local waitUntil=$(($(usec) + 5000000))
  while kill -0 "$pid" 2>/dev/null && (($(usec) < waitUntil)); do
    awk -v t="$stateAfter" '$1 > t { found = 1 } END { exit !found }' "$xevLog" && break
    pause 0.01
  done
  # Closes the finished report (and any message box) until the program ends.
  while kill -0 "$pid" 2>/dev/null; do
    openTheWindows
    if (($(usec) - runStart > (limit + 60) * 1000000)); then
      stopRun "$pid"
      runCapped=1
    fi
    pause 0.1
  done
  wait "$pid" || echo "  (the program ended with status $?)"
  runExit=$(usec)
  runCpu=$(awk 'END { printf "%.0f", ($1 + $2) * 1e6 }' "$work/usage")
  runRss=$(awk 'END { print $3 }' "$work/usage")
  runFinished=$(awk -v t="$stateAfter" -v e="$runExit" '$1 > t && $1 <= e { print $1; exit }' "$xevLog")
  if [ -n "$runFinished" ]; then
    runRule="report"
  else
    runFinished=$runExit
    runRule="process end"
  fi
}

startRss=0
big=$work/big.bin
# The key and IVs of the openssl runs (any will do: only the time counts).
key=70696E6E656402020202020202020202
iv=000102030405060708090A0B0C0D0E0F
desIv=0001020304050607

# ---------------------------------------------------------------- machine
fsInfo=$(findmnt -n -o FSTYPE,SOURCE -T "$work" 2>/dev/null || df -T "$work" | awk 'NR == 2 { print $2, $1 }')
echo
echo "### Machine"
echo
echo "- $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)," \
  "$(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo) memory," \
  "$(uname -sr)"
echo "- data folder $folder: ${fsInfo}"
echo "- load average at the start: $(cut -d' ' -f1-3 /proc/loadavg) (other work on the machine disturbs wall times)"
echo "- $(date -u '+%Y-%m-%d %H:%M UTC'), commit $(git rev-parse --short HEAD)$(git diff --quiet HEAD -- veilor bench || echo ' with changes')"

# ------------------------------------------------ start-up (empty file)
if wanted start; then
# First: it also gives the program's memory before any file work.
echo
echo "### Start-up: \`veilor aese\` on one empty file, report hidden, default password"
echo
settings hide remove
mkdir -p "$work/start"
empty=$work/start/empty
times=()
for ((i = 0; i < startRuns; i++)); do
  rm -f "$empty.aes"
  : >"$empty"
  sync
  t0=$(usec)
  timeout 60 "$veilor" aese "$empty"
  times+=($(($(usec) - t0)))
done
startMedian=$(printf '%s\n' "${times[@]}" | median)
startMin=$(printf '%s\n' "${times[@]}" | lowest)
startMax=$(printf '%s\n' "${times[@]}" | highest)
versionTimes=()
for ((i = 0; i < 10; i++)); do
  t0=$(usec)
  "$veilor" --version >/dev/null
  versionTimes+=($(($(usec) - t0)))
done
versionMedian=$(printf '%s\n' "${versionTimes[@]}" | median)
rm -f "$empty.aes"
: >"$empty"
/usr/bin/time -f '%M' -o "$work/start.rss" "$veilor" aese "$empty"
startRss=$(tail -1 "$work/start.rss")
echo "| | ms | |"
echo "|---|---|---|"
echo "| \`veilor aese\` empty file, median of $startRuns | $((startMedian / 1000)) | min $((startMin / 1000)), max $((startMax / 1000)); goal at most 150: $(verdict "$startMedian" 150000) |"
echo "| \`veilor --version\` (loading the libraries, no toolkit, no self-test), median of 10 | $((versionMedian / 1000)) | |"
echo "| peak memory of the empty run | $(mib "$startRss") | |"
if ((startMedian > 150000)); then
  # Where it goes: one run under strace, timestamps of the files it opens. The
  # trace adds a little to every traced call; the phases are what matter.
  rm -f "$empty.aes"
  : >"$empty"
  strace -f -ttt -o "$work/start.trace" -e trace=openat,connect,execve,exit_group \
    "$veilor" aese "$empty" 2>/dev/null || true
  awk -v empty="$empty" '
    function ms(t) { return sprintf("%.0f", (t - start) * 1000) }
    { t = $2 }
    NR == 1 { start = t }
    /veilor\.ini\.lock/ && !settings { settings = t }
    /X11-unix/ && !display { display = t }
    /swrast_dri|libGLX_mesa/ && !gl { gl = t }
    /dbus-launch/ && !dbus { dbus = t }
    /fonts\.conf/ && !fonts { fonts = t }
    index($0, "\"" empty "\"") && !work { work = t }
    /exit_group/ { stop = t }
    END {
      print ""
      print "Where the start-up goes (one run under `strace -f -ttt -e trace=openat,connect,execve`, ms since exec):"
      print ""
      print "| moment | ms |"
      print "|---|---|"
      print "| settings file opened (libraries loaded, crypto self-test done) | " ms(settings) " |"
      print "| display connected (toolkit start) | " ms(display) " |"
      if (gl) print "| OpenGL (Mesa) loaded by the toolkit | " ms(gl) " |"
      if (dbus) print "| accessibility bus looked for (dbus-launch) | " ms(dbus) " |"
      if (fonts) print "| fonts configured | " ms(fonts) " |"
      print "| the file opened (report window and pictures made) | " ms(work) " |"
      print "| exit | " ms(stop) " |"
    }' "$work/start.trace"
  echo
  echo "Longest gaps between traced calls (the call that ended each gap):"
  echo
  awk '{ if (NR > 1) printf "%.0f ms before %s\n", ($2 - last) * 1000, substr($0, index($0, $3), 90); last = $2 }' \
    "$work/start.trace" | sort -rn | awk 'NR <= 6 { print "    " $0 }'
fi
fi

# ------------------------------------------------ many small files
if wanted many; then
echo
echo "### Many files: $many files of 4 KiB, \`aese\` then \`aesd\` on the folder"
echo
src=$work/many-src
mkdir -p "$src"
(cd "$src" && head -c $((many * 4096)) /dev/urandom | split -b 4096 -a 5 -d - f)
last=$(printf 'f%05d' $((many - 1)))
cpTimes=()
for i in 1 2 3; do
  rm -rf "$work/many-copy"
  sync
  t0=$(usec)
  cp -r "$src" "$work/many-copy"
  sync
  cpTimes+=($(($(usec) - t0)))
done
cpMedian=$(printf '%s\n' "${cpTimes[@]}" | median)
rm -rf "$work/many-copy"

batchDir=$work/many
encReserve=$work/many-enc
# batch <label> <verb> <show|hide>: one batch on $batchDir, sources removed.
batch() {
  local label=$1 verb=$2 mode=$3 present absent finished total time note=""
  settings "$mode" remove
  if [ "$verb" = aese ]; then
    present=$batchDir/$last.aes absent=$batchDir/$last
  else
    present=$batchDir/$last absent=$batchDir/$last.aes
  fi
  drive "$present" "$absent" "$veilor" "$verb" "$batchDir"
  total=$(find "$batchDir" -type f | wc -l)
  if [ "$verb" = aese ]; then
    finished=$(find "$batchDir" -type f -name '*.aes' | wc -l)
  else
    finished=$(find "$batchDir" -type f ! -name '*.aes' | wc -l)
  fi
  time=$((runFinished - runStart))
  if [ "$runCapped" = 1 ]; then
    # Extrapolated from the files done when it was stopped.
    note="stopped after $(sec "$time") s with $finished of $many files done; time extrapolated"
    ((finished > 0)) && time=$((time * many / finished))
    label="$label (~)"
  elif [ "$finished" != "$many" ] || [ "$total" != "$many" ]; then
    note="only $finished of $many files done, $total files in the folder"
  elif [ "$mode" = show ]; then
    note="end taken at: $runRule; process end $(sec $((runExit - runStart))) s; last file on disk $(sec $((runWork - runStart))) s"
  fi
  local limit=2
  [ "$mode" = show ] && limit=3
  local r
  r=$(ratio "$time" "$cpMedian")
  local cpu="–"
  [ "$runCapped" = 1 ] || cpu=$(sec "$runCpu")
  echo "| $label | $(sec "$time") | $cpu | $r | at most ${limit}×: $(verdict "$r" "$limit") | $note |"
}
# restore <plain|encrypted>: puts the folder back after a stopped batch.
restore() {
  rm -rf "$batchDir"
  if [ "$1" = plain ]; then cp -r "$src" "$batchDir"; else cp -r "$encReserve" "$batchDir"; fi
}

echo "| $many files of 4 KiB | s | CPU s | × cp -r + sync | goal | |"
echo "|---|---|---|---|---|---|"
echo "| \`cp -r\` + one \`sync\`, median of 3 | $(sec "$cpMedian") | | 1.00 | | $(sec "$(printf '%s\n' "${cpTimes[@]}" | lowest)")–$(sec "$(printf '%s\n' "${cpTimes[@]}" | highest)") s |"
restore plain
batch "\`aese\`, report hidden, sources removed" aese hide
[ "$runCapped" = 1 ] && restore plain && settings hide remove && "$veilor" aese "$batchDir"
cp -r "$batchDir" "$encReserve"
batch "\`aesd\`, report hidden, sources removed" aesd hide
[ "$runCapped" = 1 ] && restore plain
batch "\`aese\`, report shown, sources removed (the defaults)" aese show
[ "$runCapped" = 1 ] && restore encrypted
batch "\`aesd\`, report shown, sources removed (the defaults)" aesd show
rm -rf "$src" "$batchDir" "$encReserve"
fi

# ------------------------------------------------ one large AES file
if wanted aes; then
echo
echo "### One large file: AES, $aesMiB MiB, report hidden, sources kept"
echo
# Single runs of large files are never stopped early.
runCap=7200
head -c $((aesMiB * 1048576)) /dev/urandom >"$big"
cat "$big" >/dev/null
settings hide keep
ddTimes=() ddCpus=() sslTimes=() sslCpus=() aesTimes=() aesCpus=() aesRss=0
for i in 1 2 3; do
  rm -f "$work/big.dd" "$work/big.ssl" "$big.aes"
  measure dd if="$big" of="$work/big.dd" bs=1M status=none
  ddTimes+=("$mWall") ddCpus+=("$mCpu")
  rm -f "$work/big.dd"
  measure openssl enc -aes-128-ctr -K $key -iv $iv -in "$big" -out "$work/big.ssl"
  sslTimes+=("$mWall") sslCpus+=("$mCpu")
  rm -f "$work/big.ssl"
  drive "$big.aes" - "$veilor" aese "$big"
  aesTimes+=($((runExit - runStart))) aesCpus+=("$runCpu")
  ((runRss > aesRss)) && aesRss=$runRss
  [ "$(stat -c %s "$big.aes" 2>/dev/null || echo 0)" -gt $((aesMiB * 1048576)) ] ||
    echo "  (the program's output is missing or short)"
done
rm -f "$big.aes"
ddMedian=$(printf '%s\n' "${ddTimes[@]}" | median)
sslMedian=$(printf '%s\n' "${sslTimes[@]}" | median)
aesMedian=$(printf '%s\n' "${aesTimes[@]}" | median)
echo "Medians of 3 runs, interleaved; no flush on any side (the program flushes only"
echo "before it removes a source, and sources are kept here); \`sync\`, not timed, before every run."
echo "CPU seconds (user + system, median) are not disturbed by other work on the machine."
echo
echo "| $aesMiB MiB | s | CPU s | × dd | × openssl | peak memory | |"
echo "|---|---|---|---|---|---|---|"
echo "| \`dd bs=1M\` | $(sec "$ddMedian") | $(sec "$(printf '%s\n' "${ddCpus[@]}" | median)") | 1.00 | | | |"
echo "| \`openssl enc -aes-128-ctr\` | $(sec "$sslMedian") | $(sec "$(printf '%s\n' "${sslCpus[@]}" | median)") | $(ratio "$sslMedian" "$ddMedian") | 1.00 | | |"
r=$(ratio "$aesMedian" "$ddMedian")
echo "| \`veilor aese\` | $(sec "$aesMedian") | $(sec "$(printf '%s\n' "${aesCpus[@]}" | median)") | $r | $(ratio "$aesMedian" "$sslMedian") | $(mib "$aesRss") | goal at most 1.1× dd: $(verdict "$r" 1.1); $( ((startRss > 0)) && echo "memory over the empty run: $(mib $((aesRss - startRss)))") |"
fi

# ------------------------------------------------ age beside the real age
if wanted age; then
echo
echo "### age: \`veilor agee\`/\`aged\` beside \`age -p\`/\`age -d\`, work factor 18 (age's), report hidden, sources kept"
echo
# age reads a password only from a terminal: it is typed at its prompts
# through a pseudo-terminal, as a user would.
agePty=$root/veilor/1_age/tests/age_pty.py
export AGE_TEST_PASSPHRASE=bench
runCap=7200
settings hide keep
mkdir -p "$work/age"
ageEmpty=$work/age/empty
: >"$ageEmpty"
# One empty file: one key derivation and the start, on each side.
ourEmpty=() theirEmpty=() aeseEmpty=() ageRss=0
for i in 1 2 3 4 5; do
  rm -f "$ageEmpty.age" "$ageEmpty.ref.age"
  measure "$veilor" agee "$ageEmpty"
  ourEmpty+=("$mWall")
  m=$(awk 'END { print $3 }' "$work/usage"); ((m > ageRss)) && ageRss=$m
  measure python3 "$agePty" age -p -o "$ageEmpty.ref.age" "$ageEmpty" 2>/dev/null
  theirEmpty+=("$mWall")
  rm -f "$ageEmpty.aes"
  measure "$veilor" aese "$ageEmpty"
  aeseEmpty+=("$mWall")
done
ourEmptyMedian=$(printf '%s\n' "${ourEmpty[@]}" | median)
theirEmptyMedian=$(printf '%s\n' "${theirEmpty[@]}" | median)
# One derivation: the empty age run less the empty AES run (the same start).
derivation=$(($(printf '%s\n' "${aeseEmpty[@]}" | median) < ourEmptyMedian ? ourEmptyMedian - $(printf '%s\n' "${aeseEmpty[@]}" | median) : ourEmptyMedian))

# One large file, both ways; the payload's time is the run less the empty run.
ageBig=$work/age/big
head -c $((aesMiB * 1048576)) /dev/urandom >"$ageBig"
ourEnc=() theirEnc=() ourDec=() theirDec=()
mkdir -p "$work/age/out"
for i in 1 2 3 4 5; do
  rm -f "$ageBig.age" "$ageBig.ref.age" "$work/age/out/"*
  measure "$veilor" agee "$ageBig"
  ourEnc+=("$mWall")
  m=$(awk 'END { print $3 }' "$work/usage"); ((m > ageRss)) && ageRss=$m
  measure python3 "$agePty" age -p -o "$ageBig.ref.age" "$ageBig" 2>/dev/null
  theirEnc+=("$mWall")
  # Decrypted where no output stands yet: the sealed file alone in a folder.
  mv "$ageBig.age" "$work/age/out/big.age"
  measure "$veilor" aged "$work/age/out/big.age"
  ourDec+=("$mWall")
  m=$(awk 'END { print $3 }' "$work/usage"); ((m > ageRss)) && ageRss=$m
  cmp -s "$work/age/out/big" "$ageBig" || echo "  (veilor's round trip differs from the source)"
  measure python3 "$agePty" age -d -o "$work/age/out/big.ref" "$ageBig.ref.age" 2>/dev/null
  theirDec+=("$mWall")
done
payload() { # median run, median empty run
  echo $(($1 > $2 ? $1 - $2 : 0))
}
ourEncP=$(payload "$(printf '%s\n' "${ourEnc[@]}" | median)" "$ourEmptyMedian")
theirEncP=$(payload "$(printf '%s\n' "${theirEnc[@]}" | median)" "$theirEmptyMedian")
ourDecP=$(payload "$(printf '%s\n' "${ourDec[@]}" | median)" "$ourEmptyMedian")
theirDecP=$(payload "$(printf '%s\n' "${theirDec[@]}" | median)" "$theirEmptyMedian")
rm -rf "$ageBig" "$ageBig.ref.age" "$work/age/out"

# Many small files: one derivation each, as the format asks (a new salt per file).
mkdir -p "$work/age/small"
for i in $(seq 100); do head -c 4096 /dev/urandom >"$work/age/small/f$i"; done
measure "$veilor" agee "$work/age/small"
smallTime=$mWall
m=$(awk 'END { print $3 }' "$work/usage"); ((m > ageRss)) && ageRss=$m
[ "$(find "$work/age/small" -name '*.age' | wc -l)" = 100 ] || echo "  (not every small file was sealed)"
rm -rf "$work/age/small"
cores=$(nproc)
memoryGoal=$((cores * 256 * 1024 + 100 * 1024))

echo "Medians of 5 runs, interleaved; \`sync\`, not timed, before every run. A payload's time is"
echo "the run less the empty file's run on the same side (the start and one key derivation);"
echo "veilor's also holds the flush of its output to the disk before it is placed, which age does not do."
echo
echo "| | veilor | age | veilor ÷ age | goal |"
echo "|---|---|---|---|---|"
r=$(ratio "$ourEmptyMedian" "$theirEmptyMedian")
echo "| empty file, whole run | $(sec "$ourEmptyMedian") s | $(sec "$theirEmptyMedian") s | $r | at most 1.00: $(verdict "$r" 1.0) |"
r=$(ratio "$ourEncP" "$theirEncP")
echo "| encrypt $aesMiB MiB, payload | $(sec "$ourEncP") s | $(sec "$theirEncP") s | $r | at most 0.67: $(verdict "$r" 0.67) |"
r=$(ratio "$ourDecP" "$theirDecP")
echo "| decrypt $aesMiB MiB, payload | $(sec "$ourDecP") s | $(sec "$theirDecP") s | $r | at most 0.67: $(verdict "$r" 0.67) |"
r=$(ratio "$smallTime" $((100 * derivation)))
echo "| 100 files of 4 KiB, \`agee\` on the folder | $(sec "$smallTime") s | | $r × 100 derivations of $(sec "$derivation") s | at most 0.60: $(verdict "$r" 0.6) |"
echo "| peak memory of every run above | $(mib "$ageRss") | | | at most $cores × 256 MiB + 100 MiB = $(mib "$memoryGoal"): $(verdict "$ageRss" "$memoryGoal") |"
unset AGE_TEST_PASSPHRASE
fi

# ------------------------------------------------ Triple-DES
if wanted des; then
echo
echo "### Triple-DES: one $desMiB MiB file, and 8 files of $partMiB MiB"
echo
des=$work/des/plain.bin
mkdir -p "$work/des" "$work/desd" "$work/des8"
runCap=7200
[ -e "$big" ] || head -c $((8 * partMiB * 1048576)) /dev/urandom >"$big"
head -c $((desMiB * 1048576)) "$big" >"$des"
[ "$(stat -c %s "$des")" -lt $((desMiB * 1048576)) ] && head -c $((desMiB * 1048576)) /dev/urandom >"$des"
(cd "$work/des8" && head -c $((8 * partMiB * 1048576)) "$big" | split -b $((partMiB * 1048576)) -d -a 1 - part)
rm -f "$big"
settings hide keep
drive "$des.des3" - "$veilor" des3e "$des"
desEnc=$((runExit - runStart)) desEncCpu=$runCpu
measure openssl enc -des-ede-cbc -K $key -iv $desIv -in "$des" -out "$work/des/ssl"
sslDesEnc=$mWall sslDesEncCpu=$mCpu
measure openssl enc -d -des-ede-cbc -K $key -iv $desIv -in "$work/des/ssl" -out "$work/des/ssl.out"
sslDesDec=$mWall sslDesDecCpu=$mCpu
rm -f "$work/des/ssl" "$work/des/ssl.out"
desDec=0 desDecCpu=0
if [ -e "$des.des3" ]; then
  mv "$des.des3" "$work/desd/plain.bin.des3"
  drive "$work/desd/plain.bin" - "$veilor" des3d "$work/desd/plain.bin.des3"
  desDec=$((runExit - runStart)) desDecCpu=$runCpu
  cmp -s "$des" "$work/desd/plain.bin" || echo "  (the decrypted file differs from the plain one)"
else
  echo "  (the program wrote no .des3 file; decryption not measured)"
fi
rm -rf "$work/des" "$work/desd"
drive "$work/des8/part7.des3" - "$veilor" des3e "$work/des8"
desTwo=$((runExit - runStart)) desTwoCpu=$runCpu
rm -f "$work"/des8/*.des3
drive "$work/des8/part7.des3" - taskset -c 0 "$veilor" des3e "$work/des8"
desOne=$((runExit - runStart)) desOneCpu=$runCpu
[ "$(find "$work/des8" -name '*.des3' | wc -l)" = 8 ] || echo "  (not every part was encrypted)"
rm -rf "$work/des8"
echo "One run each; report hidden, sources kept; \`sync\`, not timed, before every run."
echo "The speed-ups are wall-time ratios: other work on the machine lowers them."
echo
echo "| Triple-DES | s | CPU s | | goal |"
echo "|---|---|---|---|---|"
echo "| \`openssl enc -des-ede-cbc\`, $desMiB MiB | $(sec "$sslDesEnc") | $(sec "$sslDesEncCpu") | | |"
echo "| \`veilor des3e\`, $desMiB MiB (one file: one core) | $(sec "$desEnc") | $(sec "$desEncCpu") | $(ratio "$sslDesEnc" "$desEnc")× openssl's speed | |"
echo "| \`openssl enc -d -des-ede-cbc\`, $desMiB MiB | $(sec "$sslDesDec") | $(sec "$sslDesDecCpu") | | |"
r=$(ratio "$sslDesDec" "$desDec")
echo "| \`veilor des3d\`, $desMiB MiB | $(sec "$desDec") | $(sec "$desDecCpu") | ${r}× openssl's speed | at least 1.8×: $(verdict "$r" 1.8 at-least) |"
echo "| \`veilor des3e\`, 8 files of $partMiB MiB, one core (\`taskset -c 0\`) | $(sec "$desOne") | $(sec "$desOneCpu") | | |"
r=$(ratio "$desOne" "$desTwo")
echo "| \`veilor des3e\`, 8 files of $partMiB MiB, all cores | $(sec "$desTwo") | $(sec "$desTwoCpu") | ${r}× one core's speed | at least 1.8×: $(verdict "$r" 1.8 at-least) |"
fi

# ------------------------------------------------ the file procedures alone
if wanted procs; then
echo
echo "### The file procedures alone (bench/FileCipherBench.cpp), $procMiB MiB, one run"
echo
"$fileBench" "$procMiB" "$work" 1 | sed 's/^/    /'
if [ "$memory" = 1 ]; then
  echo
  echo "Memory, 4 GiB, one run:"
  "$fileBench" 4096 "$work" 1 | sed 's/^/    /'
fi
fi

# ------------------------------------------------ loading settings and scripts
if [ "$haveLoadBench" = 1 ]; then
  echo
  echo "## Loading large settings and scripts (bench/LoadBench.cpp)"
  echo
  mkdir -p "$work/load"
  if [ "$quick" = 1 ]; then
    "$loadBench" "$work/load" 10000 -- 1000 | sed 's/^/    /'
  else
    "$loadBench" "$work/load" | sed 's/^/    /'
  fi
fi

echo
echo "Load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"

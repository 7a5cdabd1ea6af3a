#!/usr/bin/env bash
# Start-up and open times of the editor against TeXstudio and Texmaker, each measured as a
# whole process under Xvfb with a window manager: from the start of the process to its
# main window being visible (start-up), and to the main window showing a 1 MB CP866
# document named on the command line (open). Median of several runs, the programs taking
# turns so that a busy machine slows them alike. Run by hand, not by ctest:
#
#   bench/bench_startup.sh [BUILD_FOLDER] [RUNS]        (defaults: build, 7)
#
# A window counts when it is mapped with its title: the editor names the document in its
# caption once the text is in the control; TeXstudio does so before it shows the text, so
# its open time is taken early, in its favour.
#
# TeXstudio and Texmaker are installed for this benchmark if missing (Debian packages
# texstudio and texmaker, through scripts/setup.sh); nothing else needs them. Targets:
# start-up at most 0.5x TeXstudio and 0.8x Texmaker, open at most 0.3x TeXstudio.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
runs=${2:-7}
[ -x "$build/kolbax" ] || { echo "no $build/kolbax: build first (scripts/build.sh)" >&2; exit 1; }

scripts/setup.sh texstudio texmaker >/dev/null

work=$(mktemp -d /tmp/kolbax-bench.XXXXXX)
xvfb_pid=""
wm_pid=""
program_pid=""
cleanup() {
  set +e
  for pid in $program_pid $wm_pid $xvfb_pid; do kill -9 "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The editor as a portable copy: the program and its data files in a folder of their own,
# so the build folder's settings stay untouched.
mkdir -p "$work/kolbax" "$work/docs"
cp "$build/kolbax" data/* "$work/kolbax/"

# The document: Russian prose with TeX markup, CR LF lines, CP866, just under 1 MB (the
# editor holds at most 1000000 characters, a line break counting two). The status file
# beside it spares the editor's file-parameters question.
python3 - "$work/docs/big.tex" <<'EOF'
import sys
words = ("Пусть функция непрерывна на отрезке и дифференцируема внутри него тогда "
         "найдётся точка в которой производная равна отношению приращений").split()
head = "\\documentclass{article}\r\n\\usepackage[russian]{babel}\r\n\\begin{document}\r\n"
tail = "\\end{document}\r\n"
lines, size, i = [head], len(head) + len(tail), 0
while True:
    if i % 5 == 0:
        line = "\\section{Раздел %d}\r\n" % i
    elif i % 5 == 3:
        line = "Формула $f(x_%d)=\\frac{a+b}{2}$ и %s.\r\n" % (i, " ".join(words[i % 7:i % 7 + 6]))
    else:
        line = " ".join(words[(i + j) % len(words)] for j in range(9)) + ".\r\n"
    if size + len(line) > 1_000_000:
        break
    lines.append(line)
    size += len(line)
    i += 1
lines.append(tail)
open(sys.argv[1], "wb").write("".join(lines).encode("cp866"))
EOF
printf '*\r\n1\r\n0\r\n' >"$work/docs/big.sts"

# A fresh home for each program, with settings that skip what a first start or a restored
# session would add: no update check, no session, and TeXstudio reading CP866 as the user
# of this editor would set it up.
for name in kolbax texstudio texmaker; do mkdir -p "$work/home-$name/.config"; done
mkdir -p "$work/home-texstudio/.config/texstudio" "$work/home-texmaker/.config/xm1"
cat >"$work/home-texstudio/.config/texstudio/texstudio.ini" <<'EOF'
[General]
IniMode=true

[texmaker]
Files\RestoreSession=false
Files\New%20File%20Encoding=IBM 866
Files\AutoDetectEncodingFromChars=false
Files\AutoDetectEncodingFromLatex=false
Update\AutoCheck=false
EOF
cat >"$work/home-texmaker/.config/xm1/texmaker.ini" <<'EOF'
[General]
IniMode=true

[texmaker]
Files\Input%20Encoding=IBM 866
EOF

for n in $(seq 150 250); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
export DISPLAY=":$n"
unset WAYLAND_DISPLAY
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 200); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
sleep 1

# measure HOME_NAME TITLE_REGEX PROGRAM [ARGUMENTS]: sets result to the milliseconds from
# the start of the process to a visible window of that process whose title matches (or to
# what went wrong), and cpu to the processor time the process used until then: on a busy
# machine the wall time stretches, the processor time much less.
ticks=$(getconf CLK_TCK)
usec() { local t=${1/[.,]/}; echo $((10#$t)); }
measure() {
  local home="$work/home-$1" title=$2
  shift 2
  local start now found=""
  start=$(usec "$EPOCHREALTIME")
  (cd "$work/docs" && HOME="$home" XDG_RUNTIME_DIR="$home" XDG_CONFIG_HOME="$home/.config" \
     LANG=C.UTF-8 QT_QPA_PLATFORM=xcb exec "$@" >/dev/null 2>&1) &
  program_pid=$!
  result=timeout
  while :; do
    found=$(xdotool search --all --onlyvisible --pid "$program_pid" --name "$title" 2>/dev/null || true)
    now=$(usec "$EPOCHREALTIME")
    if [ -n "$found" ]; then
      result=$(((now - start) / 1000))
      cpu=$(awk -v t="$ticks" '{print int(($14 + $15) * 1000 / t)}' "/proc/$program_pid/stat")
      break
    fi
    if ! kill -0 "$program_pid" 2>/dev/null; then result=ended; break; fi
    ((now - start < 120000000)) || break
    sleep 0.01
  done
  # Ended the hard way: a normal exit would write settings that change the next start.
  kill -9 "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
  sleep 0.5
}

cases=(start_kolbax start_texstudio start_texmaker open_kolbax open_texstudio)
run_case() {
  local doc="$work/docs/big.tex"
  case $1 in
    start_kolbax) measure kolbax '^KolBAX \(ver\.0\.3beta\)$' "$work/kolbax/kolbax" ;;
    start_texstudio) measure texstudio 'TeXstudio' texstudio ;;
    start_texmaker) measure texmaker 'Texmaker' texmaker ;;
    open_kolbax) measure kolbax '^KolBAX \(ver\.0\.3beta\): big$' "$work/kolbax/kolbax" "$doc" ;;
    open_texstudio) measure texstudio 'big\.tex - TeXstudio' texstudio "$doc" ;;
  esac
}

declare -A times cpus
echo "bench: $runs runs after one warm-up, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
for run in $(seq 0 "$runs"); do
  for c in "${cases[@]}"; do
    run_case "$c"
    [ "$run" -eq 0 ] && continue # warm-up: disk caches and the settings files
    case $result in
      '' | *[!0-9]*) echo "bench: $c: $result" >&2; exit 1 ;;
    esac
    times[$c]+="$result "
    cpus[$c]+="$cpu "
  done
done

median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
declare -A med
for c in "${cases[@]}"; do
  med[$c]=$(median "${times[$c]}")
  printf '%-16s median %6d ms (processor %5d ms)   runs: %s\n' "$c" "${med[$c]}" \
    "$(median "${cpus[$c]}")" "${times[$c]}"
done
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
echo "start-up: $(ratio "${med[start_kolbax]}" "${med[start_texstudio]}")x TeXstudio (target <= 0.5)," \
     "$(ratio "${med[start_kolbax]}" "${med[start_texmaker]}")x Texmaker (target <= 0.8)"
echo "open 1 MB CP866: $(ratio "${med[open_kolbax]}" "${med[open_texstudio]}")x TeXstudio (target <= 0.3)"
echo "load now $(cut -d' ' -f1-3 /proc/loadavg)"

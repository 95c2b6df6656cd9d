#!/bin/sh
# Runs every benchmark of the project and prints one table (Markdown).
#   bench/run_all.sh [PROGRAM_DIR]      (default build/bin; needs xvfb-run for the CPU rows)
set -eu
bin=$(cd "${1:-build/bin}" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy

"$bin/pelasim_bench" --benchmark_format=console --benchmark_color=false > "$tmp/bench.txt" 2>/dev/null
"$bin/pelasim_library_bench" --benchmark_format=console --benchmark_color=false >> "$tmp/bench.txt" 2>/dev/null
"$bin/pelasim_viewer_tool" time 18000 5 > "$tmp/viewer.txt" 2>/dev/null
"$bin/pelasim_debrief_tool" "$tmp" > "$tmp/debrief.txt" 2>/dev/null
"$bin/pelasim_typing_probe" 0 2000 > "$tmp/typing0.txt" 2>/dev/null
"$bin/pelasim_typing_probe" 100 2000 > "$tmp/typing100.txt" 2>/dev/null

# Peak memory of the standalone viewer showing a five-hour record.
(cd "$tmp" && "$bin/pelasim_viewer_tool" write OrvanePelaSimData.csv 18000 >/dev/null 2>&1
 "$bin/OrvanePelaSimViewer" >/dev/null 2>&1 & pid=$!
 sleep 4
 awk '/VmHWM/ {printf "%.0f\n", $2 / 1024}' "/proc/$pid/status" > "$tmp/viewer_rss.txt"
 kill "$pid")

# Processor time of the running simulator in a real X display.
for s in "idle 60" "dive 60" "burst 14" "flush 6"; do
  env -u QT_QPA_PLATFORM xvfb-run -a "$bin/pelasim_cpu_probe" $s 2>/dev/null | grep wall >> "$tmp/cpu.txt" || true
done

ms() { awk -v n="$1" '$1 == n {printf "%s %s", $2, $3}' "$tmp/bench.txt"; }
counter() { awk -v n="$1" -v c="$2" '$1 == n {for (i = 1; i <= NF; i++) if (index($i, c "=") == 1) print substr($i, length(c) + 2)}' "$tmp/bench.txt"; }
viewer() { awk -F: -v k="$1" 'index($0, k) {gsub(/^ +| +$/, "", $2); print $2}' "$tmp/viewer.txt"; }
cpu() { awk -v s="$1" '$1 == s {print $8 " % of one core (" $5 " s CPU in " $2 " s)"}' "$tmp/cpu.txt"; }

echo "| Measure | Figure | Target |"
echo "|---|---|---|"
echo "| Idle five-hour dive on virtual time (18000 s, every start task) | $(ms BM_IdleFiveHourDive) | < 200 ms |"
echo "| Five-hour dive after the disclaimer, without / with a lesson of 10 triggers and 10 objectives | $(ms BM_FiveHourDiveWithoutLesson) / $(ms BM_FiveHourDiveWithLesson) | lesson adds < 10 % |"
echo "| The golden dive (checklist to exit, 12 min on virtual time) | $(ms BM_GoldenDive) | |"
echo "| Five-hour soak with random failures every 4 min | $(ms BM_SoakFiveHoursWithFailures/iterations:1), all finite: $(counter BM_SoakFiveHoursWithFailures/iterations:1 all_finite), rows: $(counter BM_SoakFiveHoursWithFailures/iterations:1 rows) | no NaN, 18000 rows |"
echo "| Write the 18000-row data file (format and atomic write) | $(ms BM_WriteFiveHourDataFile) | < 20 ms |"
echo "| Read the 18000-row data file | $(ms BM_ReadFiveHourDataFile) | |"
echo "| Viewer: read and chart 18000 rows | $(viewer 'loadFile') | < 150 ms |"
echo "| Viewer: load and first paint | $(viewer 'load + paint') | |"
debrief() { awk -F: -v k="$1" 'index($0, k) {sub(/ *\(target.*/, "", $2); gsub(/^ +| +$/, "", $2); print $2}' "$tmp/debrief.txt"; }
echo "| Debrief: summary and chart of a five-hour dive, 2,000 events (wall / CPU) | $(debrief 'lanes and chart') | < 150 ms |"
echo "| Debrief: PDF report of that dive (wall / CPU) | $(debrief 'PDF report') | < 1 s |"
echo "| Standalone viewer peak memory on 18000 rows | $(cat "$tmp/viewer_rss.txt") MB | < 120 MB |"
echo "| Dive library: one second's commit (sample and message, disk flushed), median | $(ms BM_PerSecondCommit_median) | < 1 ms |"
echo "| Dive library: size of a five-hour dive | $(counter BM_FiveHourDiveSize/iterations:1 library_MB) MB | < 3 MB |"
echo "| Dive library: list 1,000 dives | $(ms BM_ListThousandDives) | < 100 ms |"
echo "| Data file of one 62.9-million-comma line: read and parse | $(ms BM_OverlongLine/iterations:3), peak $(counter BM_OverlongLine/iterations:3 peak_MB) MB | < 2 s, < 200 MB |"
typing() { awk -F': ' -v k="$2" 'index($0, k) == 1 {print $2}' "$tmp/$1"; }
echo "| Bug report: one keystroke into an empty text / into 100 kB | $(typing typing0.txt 'per keystroke') / $(typing typing100.txt 'per keystroke') | the same |"
echo "| Simulator CPU, idle | $(cpu idle) | |"
echo "| Simulator CPU, diver breathing with the ADV working | $(cpu dive) | < 1 % |"
echo "| Simulator CPU, during a 15 s controller burst | $(cpu burst) | |"
echo "| Simulator CPU, the 6 s of a bag flush from air | $(cpu flush) | < 1 % |"

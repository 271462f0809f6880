#!/usr/bin/env bash
# Runs tovrek_bench (the first argument) once over the model baselines, the
# smallest mesh and two objects: it must exit 0, skip none of them, and
# print the driver's ratio against each model baseline.
set -euo pipefail
bench=$1
output=$(mktemp)
trap 'rm -f "$output"' EXIT
filter='Model_Frames|Mesh_Frames/triangles:1000/strip:16/|Model_Objects/objects:2/'
"$bench" --benchmark_filter="$filter" --benchmark_min_time=0.01 >"$output" 2>&1 || {
  cat "$output"; echo "smoke: tovrek_bench failed" >&2; exit 1; }
# The console reporter colours its lines whatever the options say.
sed -i 's/\x1b\[[0-9;]*m//g' "$output"
cat "$output"
failed=0
if grep -q "ERROR OCCURRED" "$output"; then
  echo "smoke: a benchmark was skipped" >&2
  failed=1
fi
for name in Driver_Mesh_Frames/triangles:1000/strip:16 Direct_Gl_Mesh_Frames/triangles:1000/strip:16 \
    Ideal_Gl_Mesh_Frames/triangles:1000/strip:16 Driver_Model_Objects/objects:2 Direct_Gl_Model_Objects/objects:2; do
  grep -q "^$name/real_time " "$output" || { echo "smoke: $name did not run" >&2; failed=1; }
done
for baseline in Direct_Gl_Model_Frames Direct_Gl_Model_Frames_Glthread Ideal_Gl_Model_Frames \
    Software_Model_Frames Driver_Model_Frames_Synchronous; do
  grep -Eq "^  Driver_Model_Frames/real_time +/ $baseline/real_time += [0-9.]+$" "$output" || {
    echo "smoke: no ratio against $baseline" >&2; failed=1; }
done
exit $failed

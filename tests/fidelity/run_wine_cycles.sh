#!/bin/sh
# Whole effect cycles: brenlow-trace prints the calls of every family at
# 640x480 and 1920x1080, gdi_replay draws them with Wine's GDI, and
# fidelity_compare fails unless each case agrees on at least 99.9 % of its
# pixels (text is left out on both sides).
#   run_wine_cycles.sh FIDELITY_COMPARE BRENLOW_TRACE GDI_REPLAY_EXE WORK_DIR
set -eu
compare=$1
trace=$2
replay=$3
work=$4
. "$(dirname "$0")/wine_env.sh"
cases=$work/cycles.txt
: >"$cases"
for shape in Cerchi Ellissi Ovali Quadrati Triangoli Casuali; do
  for size in 640x480 1920x1080; do
    for seed in 1 2; do
      {
        echo "case $shape/$size/seed$seed"
        echo "size ${size%x*} ${size#*x}"
        "$trace" --size "$size" --shape "$shape" --seed "$seed" --cycles 3
      } >>"$cases"
    done
  done
done
rm -f "$work/cycles.gdi"
"$wine" "$replay" "$cases" "$work/cycles.gdi"
"$compare" compare "$cases" "$work/cycles.gdi" --min 99.9

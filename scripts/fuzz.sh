#!/usr/bin/env bash
# Builds the fuzzers with clang (libFuzzer, ASan, UBSan) and runs each one for a fixed time from
# a seed corpus of the game's real files: level files, the level and solution codes of the
# shipped levels, the level table, a profile list, a player's progress files, and the shipped
# pictures (PNG and JPEG), sounds and fonts. Any crash, sanitizer report or broken property fails the run; the
# input that caused it is kept in <work>/findings.
#
#   scripts/fuzz.sh GAME_FOLDER WORK_FOLDER [SECONDS_EACH]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
game=${1:?usage: fuzz.sh GAME_FOLDER WORK_FOLDER [SECONDS_EACH]}
work=${2:?usage: fuzz.sh GAME_FOLDER WORK_FOLDER [SECONDS_EACH]}
seconds=${3:-45}

cmake -S "$root/fuzz" -B "$work/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$work/build" -j"$(nproc)" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }

# Seeds: the shipped files as built, and a player's files exactly as the game writes them.
seeds=$work/seeds
rm -rf "$seeds" "$work/corpus"
mkdir -p "$seeds"/{level_file,level_code,solution_code,level_table,profile_list,progress_files,picture_png,picture_jpeg,sound,font} \
  "$work/findings"
levels=$(find "$game" -maxdepth 1 -iname levels -type d | head -n 1)
if [ -n "$levels" ]; then
  find "$levels" -maxdepth 1 -name 'level.[0-9]*' -exec cp {} "$seeds/level_file/" \;
  find "$levels" -maxdepth 1 -name 'level_info.all' -exec cp {} "$seeds/level_table/" \;
  find "$levels" -maxdepth 1 -name 'level.[0-9]*' -print0 |
    xargs -0 -r "$work/build/make_code_seeds" "$seeds/level_code" "$seeds/solution_code"
fi
# The content harnesses take files up to 64 KiB: every shipped picture and font, and every sound
# but the two tunes. A font's seed is its metrics file followed by its glyph strip.
content_max_len=65536
content_folder() { find "$game" -maxdepth 1 -iname "$1" -type d | head -n 1; }
images=$(content_folder images)
sounds=$(content_folder sounds)
fonts=$(content_folder font)
if [ -n "$images" ]; then
  find "$images" -maxdepth 1 -iname '*.png' -size -64k -exec cp {} "$seeds/picture_png/" \;
  find "$images" -maxdepth 1 -iname '*.jpg' -size -64k -exec cp {} "$seeds/picture_jpeg/" \;
fi
if [ -n "$sounds" ]; then
  find "$sounds" -maxdepth 1 \( -iname '*.ogg' -o -iname '*.wav' \) -size -64k \
    -exec cp {} "$seeds/sound/" \;
fi
if [ -n "$fonts" ]; then
  for metrics in "$fonts"/*.dat; do
    strip=${metrics%.dat}.png
    if [ -f "$strip" ]; then
      cat "$metrics" "$strip" >"$seeds/font/$(basename "${metrics%.dat}")"
    fi
  done
fi
printf '\x00' >"$seeds/profile_list/empty"
printf '\x02\x03Ann\x03Bob' >"$seeds/profile_list/ann_and_bob"
{ printf '\x01'; head -c 19 /dev/zero; } >"$seeds/progress_files/pack_access.all"
for _ in $(seq 120); do printf '\xff\xff\xff\xff\x00\x00\x00\x00'; done \
  >"$seeds/progress_files/level_score.all"
head -c 480 /dev/zero >"$seeds/progress_files/solution.all"

status=0
for harness in level_file level_code solution_code profile_list progress_files level_table \
    picture_png picture_jpeg sound font; do
  max_len=4096
  case $harness in picture_*|sound|font) max_len=$content_max_len ;; esac
  corpus=$work/corpus/$harness
  mkdir -p "$corpus"
  log=$work/$harness.log
  seed_count=$(find "$seeds/$harness" -type f | wc -l)
  if "$work/build/fuzz_$harness" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$work/findings/$harness-" -max_len="$max_len" \
      "$corpus" "$seeds/$harness" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $harness: $runs inputs in ${seconds} s from $seed_count seeds, $(find "$corpus" -type f | wc -l) in the corpus, no finding"
  else
    echo "fuzz $harness: FINDING (log $log, input in $work/findings)"
    grep -E 'ERROR|SUMMARY|fuzz property|runtime error' "$log" | head -n 20
    status=1
  fi
done
exit $status

#!/usr/bin/env bash
# Sets Tromel up and runs every test headless: the main build, the core and C library tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the core under ThreadSanitizer (the audio thread against the
# user-interface thread), and bounded fuzzing runs of the file reader, the clipboard's note reader, the
# MIDI reader with its import and the C library.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
export SDL_AUDIODRIVER=dummy
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d /tmp/tromel-runtime.XXXXXX)}"
chmod 700 "$XDG_RUNTIME_DIR"

# Each stage is announced with the seconds since the start, so a slow stage shows in the log.
stage() { echo "== $1 (at ${SECONDS} s)"; }

# Runs a test binary as two shards side by side, one a core: most tests keep to one thread, and each
# test has a temporary folder of its own. Both shards' output is shown; either failing fails the run.
sharded() {
  local logs pids=() failed=0
  logs=$(mktemp -d /tmp/tromel-shards.XXXXXX)
  for shard in 0 1; do
    GTEST_TOTAL_SHARDS=2 GTEST_SHARD_INDEX=$shard timeout 900 "$@" >"$logs/$shard" 2>&1 &
    pids+=($!)
  done
  for shard in 0 1; do
    wait "${pids[$shard]}" || failed=1
    cat "$logs/$shard"
  done
  rm -rf "$logs"
  return "$failed"
}

stage "Tests"
# The core binary runs below, three times over.
ctest --test-dir build --output-on-failure -E '^core$' -j2

stage "Core tests three times in one process, shuffled: every test makes its own files"
sharded build/bin/tromel_core_tests --gtest_repeat=3 --gtest_shuffle --gtest_brief=1

stage "Install into a temporary prefix"
tests/install_check.sh build

stage "Core and C library tests under AddressSanitizer and UndefinedBehaviorSanitizer"
# One clang build makes these tests and the fuzzers below. The editor's widgets are left to the plain build and
# the end-to-end scripts: building Qt's side a second time with the sanitizers would take a third of the run.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTROMEL_CORE_ONLY=ON -DTROMEL_SANITIZE=ON -DTROMEL_FUZZ=ON \
  >/dev/null
cmake --build build-asan --target tromel_core_tests tromel_capi_tests org_fuzz_seeds org_reader_fuzz note_clip_fuzz \
  midi_reader_fuzz capi_fuzz
export UBSAN_OPTIONS=print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1
sharded build-asan/bin/tromel_core_tests --gtest_brief=1
# Whether the bank inside the library is the generated one is a question of data, which the plain build answers.
timeout 600 build-asan/bin/tromel_capi_tests --gtest_brief=1 --gtest_filter=-Api.TheBankInsideIsTheGeneratedFiles
unset UBSAN_OPTIONS ASAN_OPTIONS

stage "Core tests under ThreadSanitizer"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTROMEL_CORE_ONLY=ON -DTROMEL_TSAN=ON >/dev/null
cmake --build build-tsan --target tromel_core_tests
# Three rounds, shuffled, as in the plain build. The tests that only weigh a rendered signal (formats, loudness,
# stems, loop points, levels) run one thread and take most of the time under the sanitizer: the plain and
# AddressSanitizer runs cover them.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" sharded build-tsan/bin/tromel_core_tests \
  --gtest_repeat=3 --gtest_shuffle --gtest_brief=1 \
  --gtest_filter='-Export.EveryFormatReadsBackWithItsFramesRateAndLevel:Export.StemsAddUpToTheMix:Export.NormalisedLoudnessAndTruePeakHoldByASecondMeter:Export.LoopPointsMarkTheLastPassSampleForSample:Export.WithoutOptionsA16BitWavKeepsItsBytes:Export.FadesAndRingingEnds:SoundQuality.DenseSongsStayLinearBelowTheCeilingWithoutOffset:SoundQuality.LoudMixesAreLimitedJustBelowTheCeiling:SoundQuality.SawHasNoAudibleAliasesUpToTheTopKeys:SoundQuality.ARetriggerSplashesNoMoreThanACleanStart:SoundQuality.BrightnessChangesLittleFromKeyToKey:SoundQuality.DenseSongsStayBelowTheCeilingAtEveryRate:SoundQuality.KeysKeepTheirPitchAtEveryRate'

# A bounded libFuzzer run: the fuzzer, its seeds folder, its dictionary and its seconds; the corpus it grows
# lives beside its log. A crash shows the log's end and fails the run.
fuzz() {
  local name=$1 seeds=$2 dict=$3 seconds=$4
  mkdir -p "build-asan/$name-corpus"
  "build-asan/bin/$name" "build-asan/$name-corpus" "$seeds" -dict="$dict" -max_total_time="$seconds" \
    -print_final_stats=1 2>"build-asan/$name.log" || { tail -n 60 "build-asan/$name.log"; exit 1; }
  grep -E 'stat::number_of_executed_units|Done' "build-asan/$name.log" | tail -n 2
}

mkdir -p build-asan/seeds/midi build-asan/seeds/clip
build-asan/bin/org_fuzz_seeds build-asan/seeds
stage "Fuzzing the file reader for ${FUZZ_SECONDS:-30} s"
fuzz org_reader_fuzz build-asan/seeds fuzz/org.dict "${FUZZ_SECONDS:-30}"
stage "Fuzzing the clipboard's note reader for ${CLIP_FUZZ_SECONDS:-10} s"
fuzz note_clip_fuzz build-asan/seeds/clip fuzz/note_clip.dict "${CLIP_FUZZ_SECONDS:-10}"
stage "Fuzzing the MIDI reader and import for ${MIDI_FUZZ_SECONDS:-10} s"
fuzz midi_reader_fuzz build-asan/seeds/midi fuzz/midi.dict "${MIDI_FUZZ_SECONDS:-10}"
stage "Fuzzing the C library (load and a second of play) for ${CAPI_FUZZ_SECONDS:-10} s"
fuzz capi_fuzz build-asan/seeds fuzz/org.dict "${CAPI_FUZZ_SECONDS:-10}"

stage "All tests passed"

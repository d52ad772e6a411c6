# Sourced by fuzz.sh and fuzz-campaign.sh: the libFuzzer targets, their
# seeds and their largest input.
#
# Largest inputs: a table walk sees at most the 64 KiB buffer the library
# reads into; an entry-point scan the 64 KiB BIOS window; a firmware block
# may be larger than 64 KiB (the buffer is then grown to it), so twice that;
# a memory picture is the window and what lies beyond it; a settings file is
# refused above 1 MiB.
fuzz_targets=(TableWalk EntryPoint FirmwareBlock HardwareFirmware HardwareMemory ReadConfig SettingsFiles IniWalk BundleReader RedactTable)

# The build that holds the targets: the fuzz preset's alone, or the asan
# preset's, which builds the suite beside them (QUARN_FUZZ_PRESET=asan).
fuzz_preset=${QUARN_FUZZ_PRESET:-fuzz}
fuzz_bin=build/$fuzz_preset/bin

fuzz_shared=../shared/testdata/smbios
[ -d "$fuzz_shared" ] || fuzz_shared=""

# fuzz_max_len TARGET
fuzz_max_len() {
  case $1 in
    TableWalk | EntryPoint | RedactTable) echo 65536 ;;
    FirmwareBlock | HardwareFirmware | HardwareMemory) echo 131072 ;;
    ReadConfig | SettingsFiles) echo 1048576 ;;
    IniWalk) echo 4096 ;;  # the INI reader alone, its oracle, costs the square of a section's name
    BundleReader) echo 131072 ;;  # a bundle with the BIOS window of a machine without the service
  esac
}

# Limits per input: a slow or memory-hungry input is a finding like a
# crash. The slowest honest input (a settings file of 1 MiB, sanitized) takes
# well under a second; the largest holds a million list items.
fuzz_limits=(-timeout=10 -report_slow_units=3 -rss_limit_mb=1024 -malloc_limit_mb=512)

# fuzz_seeds TARGET: the seed folders, one per line.
fuzz_seeds() {
  case $1 in
    ReadConfig) printf '%s\n' fuzz/seeds/ini scripts/sample build/fuzz/shapes ;;
    SettingsFiles) printf '%s\n' fuzz/seeds/settings fuzz/seeds/ini build/fuzz/shapes ;;
    IniWalk) printf '%s\n' fuzz/seeds/ini fuzz/seeds/settings ;;
    BundleReader) printf '%s\n' fuzz/seeds/bundle ;;
    *) printf '%s\n' fuzz/seeds/table ${fuzz_shared:+"$fuzz_shared"} ;;
  esac
}

# fuzz_shapes: the worst-case settings shapes (tests/support/WorstCaseShapes)
# at 128 KiB, as seeds in build/fuzz/shapes.
fuzz_shapes() {
  mkdir -p build/fuzz/shapes
  "$fuzz_bin"/fuzz_shapes build/fuzz/shapes 131072
}

# fuzz_run TARGET LOG LIBFUZZER-OPTIONS...: runs one target on its corpus
# (build/fuzz/corpus/TARGET) and seeds with the limits above; what it finds
# is kept (fuzz_keep). Each target writes its findings into a folder of its
# own, so that targets running side by side cannot take each other's.
fuzz_run() {
  local target=$1 log=$2
  shift 2
  local corpus=build/fuzz/corpus/$target artifacts=build/fuzz/artifacts/$target
  mkdir -p "$corpus" "$artifacts"
  local seeds
  mapfile -t seeds < <(fuzz_seeds "$target")
  "$fuzz_bin"/fuzz_$target -max_len="$(fuzz_max_len "$target")" "${fuzz_limits[@]}" \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$@" "$corpus" "${seeds[@]}" >"$log" 2>&1
  local rc=$?
  fuzz_keep "$target" || rc=1
  return $rc
}

# fuzz_keep TARGET: moves what the last run of TARGET found (crash-, leak-,
# timeout-, oom- and slow-unit- inputs) to build/fuzz/findings/TARGET and
# names each; false when there was any. A kept input belongs, once
# understood, in tests/fuzz-regressions/TARGET, which fuzz.sh replays first.
fuzz_keep() {
  local found=0 input
  for input in build/fuzz/artifacts/$1/{crash,leak,timeout,oom,slow-unit}-*; do
    [ -e "$input" ] || continue
    mkdir -p "build/fuzz/findings/$1"
    mv "$input" "build/fuzz/findings/$1/"
    echo "fuzz $1: kept build/fuzz/findings/$1/${input##*/}"
    found=1
  done
  [ $found -eq 0 ]
}

# fuzz_executions LOG
fuzz_executions() { sed -n 's/^stat::number_of_executed_units: *//p' "$1"; }

# Sourced by fuzz.sh and fuzz-campaign.sh: the libFuzzer targets, their
# seeds and their largest input.
#
# Largest inputs: a table walk sees at most the 64 KiB buffer the library
# reads into; an entry-point scan the 64 KiB BIOS window; a firmware block
# may be larger than 64 KiB (the buffer is then grown to it), so twice that;
# a memory picture is the window and what lies beyond it; a settings file is
# refused above 1 MiB.
fuzz_targets=(TableWalk EntryPoint FirmwareBlock HardwareFirmware HardwareMemory ReadConfig SettingsFiles)

fuzz_shared=../shared/testdata/smbios
[ -d "$fuzz_shared" ] || fuzz_shared=""

# fuzz_max_len TARGET
fuzz_max_len() {
  case $1 in
    TableWalk | EntryPoint) echo 65536 ;;
    FirmwareBlock | HardwareFirmware | HardwareMemory) echo 131072 ;;
    ReadConfig | SettingsFiles) echo 1048576 ;;
  esac
}

# fuzz_seeds TARGET: the seed folders, one per line.
fuzz_seeds() {
  case $1 in
    ReadConfig) printf '%s\n' fuzz/seeds/ini scripts/sample ;;
    SettingsFiles) printf '%s\n' fuzz/seeds/settings fuzz/seeds/ini ;;
    *) printf '%s\n' fuzz/seeds/table ${fuzz_shared:+"$fuzz_shared"} ;;
  esac
}

# fuzz_run TARGET LOG LIBFUZZER-OPTIONS...: runs one target on its corpus
# (build/fuzz/corpus/TARGET) and seeds; new crash inputs go to build/fuzz/.
fuzz_run() {
  local target=$1 log=$2
  shift 2
  local corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  local seeds
  mapfile -t seeds < <(fuzz_seeds "$target")
  build/fuzz/bin/fuzz_$target -max_len="$(fuzz_max_len "$target")" -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 -artifact_prefix=build/fuzz/ "$@" "$corpus" "${seeds[@]}" >"$log" 2>&1
}

# fuzz_executions LOG
fuzz_executions() { sed -n 's/^stat::number_of_executed_units: *//p' "$1"; }

#!/usr/bin/env bash
# The fault tests in one Wine session:
#   fault_suite.sh FAULT_TESTS_EXE CONFIG_FILE_TESTS_EXE CODEPAGE_TESTS_EXE
# 1. the fault cases of Korvalen.exe that need nothing special;
# 2. the same driver under code page 1252 (LC_ALL=en_US.UTF-8, same prefix);
# 3. the disk-full cases (Korvalen's and the config routines' own), with the
#    client's configuration folder on a 64 KiB tmpfs mounted here.
# Runs inside tools/wine-env (WINEPREFIX and DISPLAY set). The runs share one
# warm wineserver, which saves the boot of Wine's services (half a minute
# under qemu) for every run but the first; after a failed run the server is
# restarted, so nothing a failure left behind reaches the next run.
# Mounting needs root; where it is refused the suite fails, nothing is skipped.
set -uo pipefail

[[ $# -eq 3 ]] || {
  echo "usage: $0 FAULT_TESTS_EXE CONFIG_FILE_TESTS_EXE CODEPAGE_TESTS_EXE" >&2
  exit 2
}
fault_tests=$1
config_file_tests=$2
codepage_tests=$3

fail() {
  echo "fault_suite: $*" >&2
  exit 1
}
[[ -n "${WINEPREFIX:-}" && -n "${DISPLAY:-}" ]] ||
  fail "no Wine test environment: run through tools/wine-env"

# Wine names the profile folder after the user; %APPDATA% is its
# AppData\Roaming. The disk-full case checks from the Windows side that the
# folder it finds through the shell really lies on the small disk.
appdata=
for user in "${USER:-}" "$(id -un)"; do
  if [[ -n "$user" && -d "$WINEPREFIX/drive_c/users/$user/AppData/Roaming" ]]; then
    appdata="$WINEPREFIX/drive_c/users/$user/AppData/Roaming"
    break
  fi
done
[[ -n "$appdata" ]] || fail "no AppData/Roaming below $WINEPREFIX/drive_c/users"
folder="$appdata/duowan/yy/business/yymusicconfig/4_5/101/65"

stop_wine() {
  timeout 60 wineserver -k 2>/dev/null
  timeout 60 wineserver -w 2>/dev/null
}

created=()
cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  stop_wine  # nothing of Wine's may keep the small disk busy
  if mountpoint -q "$folder"; then
    umount "$folder" || { echo "fault_suite: cannot unmount $folder" >&2; rc=1; }
  fi
  local i
  for ((i = ${#created[@]} - 1; i >= 0; i--)); do
    rmdir "${created[i]}" 2>/dev/null
  done
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Runs one gtest binary, bounded, with the given environment, and judges it by
# what GoogleTest printed: at least one test passed, none failed or skipped.
# (Under qemu a Wine process may crash on its way out after its results are
# out, so its exit status says little.) The output goes to a file so that a
# process left behind cannot hold a pipe open.
#   run_gtest NAME SECONDS [VAR=VALUE...] -- EXE [ARGS...]
failed=0
run_gtest() {
  local name=$1 seconds=$2
  shift 2
  local vars=()
  while [[ $1 != -- ]]; do
    vars+=("$1")
    shift
  done
  shift
  # Each run writes its own XML report where make test collects them.
  if [[ -n "${KORVALEN_GTEST_XML_DIR:-}" ]]; then
    vars+=("GTEST_OUTPUT=xml:Z:${KORVALEN_GTEST_XML_DIR//\//\\}\\$name-$$-$RANDOM.xml")
  fi
  local log
  log=$(mktemp)
  echo "== $name"
  local began=$SECONDS
  env ${vars[@]+"${vars[@]}"} timeout "$seconds" wine "$@" >"$log" 2>&1
  local rc=$?
  cat "$log"
  echo "== $name: $((SECONDS - began)) s"
  local ok=1
  [[ $rc -eq 124 ]] && { echo "fault_suite: $name timed out after $seconds s" >&2; ok=0; }
  if ! grep -q '\[  PASSED  \] [1-9]' "$log" || grep -qE '\[  (FAILED|SKIPPED) \]' "$log"; then
    ok=0
  fi
  rm -f "$log"
  if [[ $ok -eq 0 ]]; then
    echo "fault_suite: $name failed" >&2
    failed=1
    stop_wine
  fi
}

run_gtest korvalen_fault_tests 420 -- "$fault_tests"
run_gtest korvalen_codepage_tests 150 LC_ALL=en_US.UTF-8 -- "$codepage_tests"

# A run killed before its cleanup left the disk mounted: start afresh.
if mountpoint -q "$folder"; then
  umount "$folder" || fail "$folder is mounted from an earlier run and cannot be unmounted"
fi
path=$appdata
for part in duowan yy business yymusicconfig 4_5 101 65; do
  path="$path/$part"
  if [[ ! -d "$path" ]]; then
    mkdir "$path" || fail "cannot create $path"
    created+=("$path")
  fi
done
if mount -t tmpfs -o size=64k,mode=0755 tmpfs "$folder"; then
  # The config routines' own disk-full cases take the folder as a Windows path.
  run_gtest disk_full_config_file_tests 120 "KORVALEN_SMALL_DISK=Z:${folder//\//\\}" -- \
    "$config_file_tests" --gtest_also_run_disabled_tests --gtest_filter='*DiskFull*'
  # Whatever a failed run left on the small disk would take its room.
  find "$folder" -mindepth 1 -delete
  run_gtest disk_full_korvalen_fault_tests 180 -- \
    "$fault_tests" --gtest_also_run_disabled_tests --gtest_filter='*DiskFull*'
else
  echo "fault_suite: cannot mount a 64 KiB tmpfs at $folder (needs root):" \
    "the disk-full tests cannot run here" >&2
  failed=1
fi

[[ $failed -eq 0 ]] && echo "fault_suite: all fault tests passed"
exit $failed

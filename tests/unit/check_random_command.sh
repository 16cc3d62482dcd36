#!/bin/sh
# The program's --random: the same system for the same seed, a file the program itself loads
# and solves with a whole solution, exit status 64
# for a bad order or seed, 4 when the output cannot be written; and a class's hand-ins of such
# exercises checked in one run, each against the system its first line names, with the table as
# CSV and nothing else written.
# Usage: check_random_command.sh PROGRAM SCRATCH_DIR
set -eu
program=$1
dir=$2
mkdir -p "$dir"

fail() {
    echo "check_random_command: $*" >&2
    exit 1
}

"$program" --random 4 --seed 7 >"$dir/first.txt"
"$program" --random 4 --seed=7 >"$dir/second.txt"
cmp -s "$dir/first.txt" "$dir/second.txt" || fail "one seed gave two systems"
solution=$(env -u DISPLAY "$program" --steps "$dir/first.txt" | grep "^Riesenie:")
echo "$solution" | grep -Eq '^Riesenie: x1 = -?[0-5], x2 = -?[0-5], x3 = -?[0-5], x4 = -?[0-5]$' ||
    fail "the printed system solves to '$solution'"

for arguments in "--random 0" "--random 11" "--random x" "--random 3 --seed x" \
    "--random 3 --seed -1" "--random 3 --seed 18446744073709551616" "--seed 3"; do
    status=0
    # shellcheck disable=SC2086  # the arguments are meant to split
    "$program" $arguments >/dev/null 2>&1 || status=$?
    [ "$status" -eq 64 ] || fail "'$arguments' exited with $status, not 64"
done

if [ -w /dev/full ]; then
    status=0
    "$program" --random 10 >/dev/full 2>/dev/null || status=$?
    [ "$status" -eq 4 ] || fail "an unwritable output exited with $status, not 4"
fi
mkdir -p "$dir/class"
rm -f "$dir/class"/* "$dir/table.csv"
for seed in 1 2 3; do
    "$program" --random 3 --seed $seed >"$dir/system$seed.txt"
    { echo "# --random 3 --seed $seed"; "$program" --steps "$dir/system$seed.txt"; } \
        >"$dir/class/ziak$seed.txt"
done
"$program" --check --random 3 "$dir/class" --csv "$dir/table.csv" >"$dir/lines.txt" ||
    fail "a right class exited with $?"
tail -n 1 "$dir/lines.txt" | grep -qx "Spravne prace: 3 z 3." || fail "the total of a right class"
[ "$(grep -c ',ano' "$dir/table.csv")" -eq 3 ] || fail "the table of a right class"
[ "$(ls -A "$dir/class" | wc -l)" -eq 3 ] || fail "something was written in the class's folder"
status=0
"$program" --check --random 3 --seed 1 "$dir/class" >/dev/null || status=$?
[ "$status" -eq 5 ] || fail "a class with other seeds exited with $status, not 5"
status=0
"$program" --check --random 3 "$dir/class/ziak1.txt" --csv "$dir/class/ziak1.txt" \
    >/dev/null 2>&1 || status=$?
[ "$status" -eq 64 ] || fail "a table over a hand-in exited with $status, not 64"
grep -q "^# --random 3 --seed 1" "$dir/class/ziak1.txt" || fail "a table replaced a hand-in"
echo "check_random_command: ok"

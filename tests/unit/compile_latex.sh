#!/usr/bin/env bash
# Compiles, with pdflatex, the LaTeX worked solution of each given matrix file as the program's
# --latex prints it (a whole document), and the --exercise worksheet of all of them together:
# compile_latex.sh PROGRAM WORK_DIR FILE...; fails on any LaTeX error, and on any overfull or
# underfull box in a log, so that every printed page is set within its margins.
set -euo pipefail

program=$(realpath "$1")
work_dir=$2
shift 2

if ! command -v pdflatex >/dev/null; then
    echo "FAIL: pdflatex is missing; install the Debian package texlive-latex-base" >&2
    exit 1
fi
matrices=()
for matrix in "$@"; do
    matrices+=("$(realpath "$matrix")")
done
mkdir -p "$work_dir"
cd "$work_dir"

failed=0

# Compiles name.tex; reports an error or any badly set box in its log, else its pages and the
# seconds pdflatex took.
compile() {
    local name=$1
    local start=$SECONDS
    rm -f "$name.pdf"
    if ! pdflatex -interaction=nonstopmode -halt-on-error "$name.tex" >"$name.out" 2>&1 ||
        [ ! -s "$name.pdf" ]; then
        echo "FAIL: $name: pdflatex failed; its output follows" >&2
        grep -A8 '^!' "$name.log" >&2 || tail -20 "$name.out" >&2
        failed=1
        return
    fi
    if grep -E -A2 '^(Overfull|Underfull)' "$name.log" >&2; then
        echo "FAIL: $name: boxes set outside their bounds (above)" >&2
        failed=1
        return
    fi
    echo "ok: $name ($(grep -o '[0-9]* pages\?' "$name.log" | tail -1), $((SECONDS - start)) s)"
}

for matrix in "${matrices[@]}"; do
    name=$(basename "$matrix" .txt)
    if ! "$program" --latex "$matrix" >"$name.tex"; then
        echo "FAIL: $name: printing the worked solution failed" >&2
        failed=1
        continue
    fi
    compile "$name"
done

if "$program" --exercise "${matrices[@]}" >worksheet.tex; then
    compile worksheet
else
    echo "FAIL: printing the worksheet failed" >&2
    failed=1
fi
exit $failed

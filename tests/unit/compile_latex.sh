#!/usr/bin/env bash
# Compiles the LaTeX worked solution of each given matrix file, as the program's --latex
# prints it, with pdflatex in a minimal amsmath document:
# compile_latex.sh PROGRAM WORK_DIR FILE...; fails on any LaTeX error.
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
for matrix in "${matrices[@]}"; do
    name=$(basename "$matrix" .txt)
    rm -f "$name.pdf"
    if ! "$program" --latex "$matrix" >"$name-fragment.tex"; then
        echo "FAIL: $name: printing the worked solution failed" >&2
        failed=1
        continue
    fi
    printf '%s\n' '\documentclass{article}' '\usepackage{amsmath}' '\begin{document}' \
        "\\input{$name-fragment}" '\end{document}' >"$name.tex"
    if pdflatex -interaction=nonstopmode -halt-on-error "$name.tex" >"$name.out" 2>&1 &&
        [ -s "$name.pdf" ]; then
        echo "ok: $name ($(grep -c '^Overfull' "$name.log" || true) overfull boxes)"
    else
        echo "FAIL: $name: pdflatex failed; its output follows" >&2
        grep -A8 '^!' "$name.log" >&2 || tail -20 "$name.out" >&2
        failed=1
    fi
done
exit $failed

#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Quillmark developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The mutation check: puts one small fault at a time into the sources (the
# rows of scripts/mutants.tsv), rebuilds the unit tests of the layer the
# fault is in (src/store: tests/store) and runs them, and says whether any
# of them noticed. A fault no test notices ("survived") is a test missing,
# unless its row explains why the fault changes nothing. A layer's faults
# are its own tests' to catch, so the tests of the layers above are left
# out unless asked for (they would only raise the rate).
#
#   bash scripts/mutate.sh [--build DIR] [--list FILE] [--timeout SECONDS] [ID...]
#
# --build    the build directory (default build/default, configured with the
#            default preset when missing); its source tree is the one mutated
# --list     the mutant list (default scripts/mutants.tsv)
# --timeout  the limit for one test program under a mutant (default 120 s);
#            a test that runs over it counts as having caught the fault
# --check    only check that each row's text is in its file exactly once
# --above    also the unit tests of the layers above (slower)
# --every    run every test program even after one caught the fault, and
#            name all that did (slower; shows which tests a cut may lose)
# ID...      only these mutants (shell patterns allowed: 'store-*')
#
# The file is changed in place and always put back: on exit, on Ctrl-C, and
# at the start of the next run if this one was killed outright. A file edited
# meanwhile is left alone (and the run says so). Exit status: 0 when every
# mutant was caught or is marked equivalent, 1 otherwise, 2 on a usage or
# setup error.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/default
list=scripts/mutants.tsv
timeout=120
check=0
every=0
above=0
patterns=()
while (($#)); do
    case "$1" in
    --build) build="$2"; shift 2 ;;
    --list) list="$2"; shift 2 ;;
    --timeout) timeout="$2"; shift 2 ;;
    --check) check=1; shift ;;
    --every) every=1; shift ;;
    --above) above=1; shift ;;
    -h | --help) sed -n '/^# The mutation/,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) echo "unknown option: $1" >&2; exit 2 ;;
    *) patterns+=("$1"); shift ;;
    esac
done

# Where the text is: prints the file's content with the text replaced, or
# fails when the text is not there exactly once.
mutated_content() {
    local file="$1" text="$2" replacement="$3" content rest
    content="$(cat "$file"; printf x)"
    content="${content%x}"
    rest="${content#*"$text"}"
    [[ "$rest" != "$content" && "$rest" != *"$text"* ]] || return 1
    printf '%s' "${content%%"$text"*}$replacement$rest"
}

# A check needs no build.
if ((!check)) && [[ ! -f "$build/CMakeCache.txt" ]]; then
    if [[ "$build" != build/default ]]; then
        echo "$build is not a configured build directory" >&2
        exit 2
    fi
    cmake --preset default >/dev/null
fi
if ((check)); then
    source_dir="$PWD" state=""
else
    build="$(cd "$build" && pwd)"
    source_dir="$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")"
    state="$build/mutate"
    mkdir -p "$state"
fi

# ---- putting the file back ----------------------------------------------------
# While a mutant is applied, $state/applied names the file, and
# $state/original and $state/mutated hold its two versions.
restore() {
    [[ -n "$state" && -f "$state/applied" ]] || return 0
    local file
    file="$(cat "$state/applied")"
    if cmp -s "$file" "$state/mutated"; then
        # Copied, not moved: a new modification time makes the next build
        # compile the original again.
        cp "$state/original" "$file"
    elif ! cmp -s "$file" "$state/original"; then
        echo "warning: $file changed during the run; left as it is (original: $state/original)" >&2
        return 0
    fi
    rm -f "$state/applied"
}
restore
trap restore EXIT
trap 'restore; exit 130' INT TERM HUP

# ---- the list -------------------------------------------------------------------
# One mutant a row, columns separated by tabs: id, file, exact text (found
# exactly once in the file), replacement, and an optional note ("equivalent:
# why" for a fault that cannot be told apart from the original). "<NL>" in
# the text or the replacement stands for a line break.
ids=() files=() texts=() replacements=() notes=()
row=0
while IFS= read -r line || [[ -n "$line" ]]; do
    row=$((row + 1))
    [[ -z "${line//[[:space:]]/}" || "$line" == \#* ]] && continue
    IFS=$'\x1f' read -r id file text replacement note <<<"${line//$'\t'/$'\x1f'}"
    if [[ -z "$id" || -z "$file" || -z "$text" || -z "${replacement+x}" ]]; then
        echo "$list:$row: expected id, file, text, replacement separated by tabs" >&2
        exit 2
    fi
    if ((${#patterns[@]})); then
        selected=0
        for pattern in "${patterns[@]}"; do
            # shellcheck disable=SC2053
            [[ "$id" == $pattern ]] && selected=1
        done
        ((selected)) || continue
    fi
    ids+=("$id") files+=("$file")
    texts+=("${text//<NL>/$'\n'}") replacements+=("${replacement//<NL>/$'\n'}")
    notes+=("${note:-}")
done <"$list"
if ((${#ids[@]} == 0)); then
    echo "no mutant in $list matches: ${patterns[*]}" >&2
    exit 2
fi
if ((check)); then
    bad=0
    for i in "${!ids[@]}"; do
        if ! mutated_content "$source_dir/${files[$i]}" "${texts[$i]}" "${replacements[$i]}" >/dev/null 2>&1; then
            echo "${ids[$i]}: the text is not in ${files[$i]} exactly once"
            bad=1
        fi
    done
    ((bad)) || echo "${#ids[@]} mutants, each text found once"
    exit $((bad * 2))
fi

# ---- building and testing ----------------------------------------------------------
# Unit test programs: "layer.tst_Name" runs the target tst_Name.
mapfile -t unit_tests < <(ctest --test-dir "$build" -N -L unit | sed -n 's/^ *Test *#[0-9]*: //p')
if ((${#unit_tests[@]} == 0)); then
    echo "no unit tests in $build" >&2
    exit 2
fi
# The unit tests of one layer ("store"), or all of them (no argument).
layer_targets() {
    local test
    for test in "${unit_tests[@]}"; do
        if [[ -z "${1:-}" || "${test%%.*}" == "$1" ]]; then echo "${test#*.}"; fi
    done
}
build_tests() {
    local targets=() layer
    for layer in "$@"; do
        mapfile -t -O "${#targets[@]}" targets < <(layer_targets "$layer")
    done
    nice cmake --build "$build" --target "${targets[@]}" >"$state/build.log" 2>&1
}
# The layers the chosen mutants are in ("" for all with --above).
layers=()
if ((above)); then
    layers=("")
else
    mapfile -t layers < <(printf '%s\n' "${files[@]}" | cut -d/ -f2 | sort -u)
fi
echo "Building the unit tests in $build ..."
if ! build_tests "${layers[@]}"; then
    tail -n 30 "$state/build.log"
    echo "the unmutated tree does not build" >&2
    exit 2
fi

# Runs one test program under its limit; fails when the program does.
run_test() {
    local status=0
    timeout -k 5 "$timeout" ctest --test-dir "$build" -R "^${1//./\\.}\$" \
        --timeout "$timeout" >"$state/test.log" 2>&1 || status=$?
    if ((status == 124 || status == 137)); then
        echo "$1 (over ${timeout} s)"
    elif ((status != 0)); then
        echo "$1"
    fi
}

# Tries the applied mutant on the tests of `layer` (all with --above): first
# those named after the mutated file (tst_ClipboardStore* for
# ClipboardStore.cpp), built and run before the others are even built, as
# they are the likeliest to catch it. Prints the verdict.
try_mutant() {
    local layer="$1" base="$2" test primary=() others=() caught=() ran=0
    for test in "${unit_tests[@]}"; do
        [[ "${test%%.*}" == "$layer" ]] || ((above)) || continue
        if [[ "${test#*.}" == "tst_$base"* ]]; then primary+=("$test"); else others+=("$test"); fi
    done
    local group tests=()
    for group in primary others; do
        if [[ "$group" == primary ]]; then tests=("${primary[@]}"); else tests=("${others[@]}"); fi
        ((${#tests[@]})) || continue
        if ! nice cmake --build "$build" --target "${tests[@]#*.}" >"$state/build.log" 2>&1; then
            echo "error: does not build ($state/build.log)"
            return
        fi
        for test in "${tests[@]}"; do
            local failed
            failed="$(run_test "$test")"
            ran=$((ran + 1))
            [[ -n "$failed" ]] && caught+=("$failed")
            if ((${#caught[@]} && !every)); then break 2; fi
        done
    done
    if ((${#caught[@]})); then
        local IFS=,
        echo "killed by ${caught[*]}"
    elif ((ran == 0)); then
        echo "survived (no unit test of the layer)"
    else
        echo "survived ($ran programs passed)"
    fi
}

killed=0 survived=0 equivalent=0 broken=0
survivors=()
started=$SECONDS
for i in "${!ids[@]}"; do
    id="${ids[$i]}" file="$source_dir/${files[$i]}" text="${texts[$i]}"
    replacement="${replacements[$i]}" note="${notes[$i]}"
    began=$SECONDS
    if [[ ! -f "$file" ]]; then
        printf '%-28s error: no file %s\n' "$id" "${files[$i]}"
        broken=$((broken + 1))
        continue
    fi
    if ! mutated_content "$file" "$text" "$replacement" >"$state/mutated"; then
        printf '%-28s error: the text is not in %s exactly once\n' "$id" "${files[$i]}"
        broken=$((broken + 1))
        continue
    fi
    layer="$(cut -d/ -f2 <<<"${files[$i]}")"
    base="$(basename "${files[$i]}")"
    cp "$file" "$state/original"
    echo "$file" >"$state/applied"
    cp "$state/mutated" "$file"
    verdict="$(try_mutant "$layer" "${base%.*}")"
    restore
    case "$verdict" in
    killed*) killed=$((killed + 1)) ;;
    survived*)
        if [[ "$note" == equivalent* ]]; then
            equivalent=$((equivalent + 1))
            verdict="$verdict; $note"
        else
            survived=$((survived + 1))
            survivors+=("$id")
        fi
        ;;
    *) broken=$((broken + 1)) ;;
    esac
    printf '%-28s %s  [%d s]\n' "$id" "$verdict" $((SECONDS - began))
done

# The test programs were last built with a fault in them: built again from
# the sources as they are, so that a plain ctest run afterwards tests those.
if ((${#ids[@]})) && ! build_tests "${layers[@]}"; then
    echo "warning: rebuilding the unit tests without faults failed ($state/build.log)" >&2
fi

counted=$((killed + survived))
echo "----"
echo "Mutants: ${#ids[@]}; killed $killed, survived $survived, equivalent $equivalent, broken $broken; $((SECONDS - started)) s"
if ((counted > 0)); then
    echo "Kill rate: $killed of $counted ($((killed * 100 / counted))%)"
fi
if ((survived)); then
    echo "Survivors: ${survivors[*]}"
fi
((survived == 0 && broken == 0))

#!/usr/bin/env bash
# Puts each fault of a list into a copy of the source, one at a time, builds
# the copy, runs the tests that should notice the fault, and tells whether
# they did: a way to know which tests earn their place and where none looks.
#
# usage: scripts/mutants.sh [-t TREE] [-l LIST] [-w FOLDER] [-s SECONDS] [-j JOBS] [NAME...]
#   -t TREE     the source tree to try (default: the one holding this script)
#   -l LIST     the faults (default: mutants.txt beside this script)
#   -w FOLDER   the copy of the tree and its build, kept from one run to the
#               next so that a run builds again only what changed (default:
#               ${TMPDIR:-/tmp}/ox-mutants-<a hash of the tree's path>)
#   -s SECONDS  how long the tests of one fault may run (default 300)
#   -j JOBS     parallel build and test jobs (default: the processors)
#   NAME...     only these faults
#
# The copy is first brought up to the tree and built whole, and the tests the
# faults name must pass on it. Then for each fault: its snippet, found once
# in its file (runs of white space match any white space), is replaced; the
# test programs its tests belong to are built; the tests run with a time-out;
# the file gets its text back. One line per fault says:
#   caught          a test failed (or the tests ran past the time-out)
#   MISSED          every test passed with the fault in place
#   not applicable  the snippet is not in the file exactly once: the code
#                   has changed and the entry needs writing again
#   build failed    the fault does not compile: the entry needs mending
# Each fault's build and test output is kept in FOLDER/logs/NAME.log.
# Exit status: 0 when every fault that applied was caught, 1 when one was
# missed or did not build, 2 when the run could not start.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "$here/.." && pwd)
list=$here/mutants.txt
work=
seconds=300
jobs=$(nproc)

usage() {
    sed -n '6,14p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}
die() {
    echo "mutants: $*" >&2
    exit 2
}

while getopts t:l:w:s:j:h opt; do
    case $opt in
    t) tree=$(cd "$OPTARG" && pwd) || die "no tree $OPTARG" ;;
    l) list=$(cd "$(dirname "$OPTARG")" && pwd)/$(basename "$OPTARG") ;;
    w) work=$OPTARG ;;
    s) seconds=$OPTARG ;;
    j) jobs=$OPTARG ;;
    *) usage ;;
    esac
done
shift $((OPTIND - 1))
[ -f "$list" ] || die "no list of faults $list"
[ -f "$tree/CMakeLists.txt" ] || die "$tree holds no CMakeLists.txt"
[ -n "$work" ] || work=${TMPDIR:-/tmp}/ox-mutants-$(printf %s "$tree" | md5sum | cut -c1-8)
mkdir -p "$work/logs" || die "cannot make $work"
work=$(cd "$work" && pwd)
copy=$work/tree
build=$work/build

exec 9>"$work/lock"
flock -n 9 || die "another run is using $work"

# ---- The list ------------------------------------------------------------------
# Records of "key: value" lines, each beginning with its name; lines starting
# with # are comments.
names=() files=() tests=() olds=() news=()
read_list() {
    local line key value n=-1
    while IFS= read -r line || [ -n "$line" ]; do
        [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
        [[ $line =~ ^([a-z]+):(.*)$ ]] || die "$list: cannot read: $line"
        key=${BASH_REMATCH[1]}
        value=${BASH_REMATCH[2]}
        value=${value#"${value%%[![:space:]]*}"}
        value=${value%"${value##*[![:space:]]}"}
        case $key in
        name) n=$((n + 1)) names[n]=$value files[n]= tests[n]= olds[n]= news[n]= ;;
        file) files[n]=$value ;;
        tests) tests[n]=$value ;;
        old) olds[n]=$value ;;
        new) news[n]=$value ;;
        *) die "$list: unknown key $key" ;;
        esac
    done <"$list"
    local i
    for i in "${!names[@]}"; do
        [ -n "${files[i]}" ] && [ -n "${tests[i]}" ] && [ -n "${olds[i]}" ] ||
            die "$list: ${names[i]} lacks its file, tests or old snippet"
    done
}
read_list

chosen=()
if [ $# -eq 0 ]; then
    chosen=("${!names[@]}")
else
    for want in "$@"; do
        found=
        for i in "${!names[@]}"; do [ "${names[i]}" = "$want" ] && found=$i; done
        [ -n "$found" ] || die "no fault named $want in $list"
        chosen+=("$found")
    done
fi

# ---- The copy -------------------------------------------------------------------
# Files whose text differs are copied with a new time, so the build sees them
# changed; the others keep theirs, so the build does not.
sync_copy() {
    mkdir -p "$copy"
    if [ -e "$tree/.git" ]; then
        git -C "$tree" ls-files -z --cached --others --exclude-standard | tr '\0' '\n'
    else
        (cd "$tree" && find . \( -name build -o -name .git \) -prune -o -type f -print | sed 's|^\./||')
    fi | sort -u >"$work/files"
    local f
    while IFS= read -r f; do
        [ -f "$tree/$f" ] || continue
        cmp -s "$tree/$f" "$copy/$f" && continue
        mkdir -p "$(dirname "$copy/$f")" && cp "$tree/$f" "$copy/$f" || die "cannot copy $f"
    done <"$work/files"
    (cd "$copy" && find . -type f | sed 's|^\./||' | sort) | comm -13 "$work/files" - |
        while IFS= read -r f; do rm -f "$copy/$f"; done
}

# ---- Faults ---------------------------------------------------------------------
# Replaces the one place of the snippet in the file; prints how many places
# there were when not one.
apply_fault() {
    perl -e '
        my ($path, $old, $new) = @ARGV;
        open(my $in, "<", $path) or exit 3;
        my $text = do { local $/; <$in> };
        close $in;
        my $re = join "\\s+", map { quotemeta } split /\s+/, $old;
        my @at;
        push @at, [$-[0], $+[0]] while $text =~ /$re/g;
        if (@at != 1) { print scalar @at; exit 1 }
        substr($text, $at[0][0], $at[0][1] - $at[0][0]) = $new;
        open(my $out, ">", $path) or exit 3;
        print $out $text;
        close $out or exit 3;
    ' "$1" "$2" "$3"
}

# The build targets of the tests the expression names: the program before the
# dot of each name.
targets_of() {
    ctest --test-dir "$build" -N -R "$1" 2>/dev/null |
        sed -n 's/^ *Test *#[0-9]*: \([^. ]*\)\..*/\1/p' | sort -u
}

applied=
restore() {
    if [ -n "$applied" ]; then
        cp "$work/original" "$copy/$applied"
        applied=
    fi
}
trap 'restore; exit 2' INT TERM HUP
trap restore EXIT

run_tests() {
    timeout -k 10 "$seconds" ctest --test-dir "$build" -R "$1" -j"$jobs" --stop-on-failure \
        --output-on-failure
}

# ---- The run --------------------------------------------------------------------
sync_copy
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$copy" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DOX_BENCH=OFF >"$work/logs/build.log" 2>&1 || die "cannot configure: see $work/logs/build.log"
fi
echo "building the copy of $tree in $work ..."
cmake --build "$build" -j"$jobs" >"$work/logs/build.log" 2>&1 ||
    die "the unchanged copy does not build: see $work/logs/build.log"

every=
for i in "${chosen[@]}"; do every+="${every:+|}(${tests[i]})"; done
echo "running the tests the faults name on the unchanged copy ..."
run_tests "$every" >"$work/logs/baseline.log" 2>&1 ||
    die "the unchanged copy fails the tests the faults name: see $work/logs/baseline.log"

caught=0 missed=0 inapplicable=0 unbuilt=0
report() {
    printf '%-16s %s\n' "$1" "$2"
}
for i in "${chosen[@]}"; do
    name=${names[i]} file=${files[i]} log=$work/logs/${names[i]}.log
    if [ ! -f "$copy/$file" ]; then
        report "not applicable" "$name (no file $file)"
        inapplicable=$((inapplicable + 1))
        continue
    fi
    cp "$copy/$file" "$work/original"
    if ! places=$(apply_fault "$copy/$file" "${olds[i]}" "${news[i]}"); then
        report "not applicable" "$name (the snippet is in $file ${places:-?} times)"
        inapplicable=$((inapplicable + 1))
        continue
    fi
    applied=$file
    mapfile -t targets < <(targets_of "${tests[i]}")
    if [ ${#targets[@]} -eq 0 ]; then
        restore
        die "$name: no test matches ${tests[i]}"
    fi
    if ! cmake --build "$build" -j"$jobs" --target "${targets[@]}" >"$log" 2>&1; then
        report "build failed" "$name"
        unbuilt=$((unbuilt + 1))
    else
        run_tests "${tests[i]}" >>"$log" 2>&1
        status=$?
        if [ $status -eq 0 ]; then
            report MISSED "$name"
            missed=$((missed + 1))
        elif [ $status -eq 124 ] || [ $status -eq 137 ]; then
            report caught "$name (the tests ran out of time)"
            caught=$((caught + 1))
        else
            report caught "$name"
            caught=$((caught + 1))
        fi
    fi
    restore
done

echo "${#chosen[@]} faults: $caught caught, $missed missed, $inapplicable not applicable," \
    "$unbuilt did not build"
[ $missed -eq 0 ] && [ $unbuilt -eq 0 ]

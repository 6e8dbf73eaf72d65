#!/usr/bin/env bash
# Times whole cardmint-cli runs over generated logbooks and prints one table:
# cards per second and peak memory per run (the large logbook also in the
# bureau order, sorted in memory), and the walk over 100 000 QSOs.
# Run by hand on a quiet machine (not in CI); takes about a minute or two.
#
# Usage: scripts/bench.sh [BUILD_DIR]        (default: build)
#   RUNS=N     runs per line, the fastest is shown (default 1)
#   CARDS=N    cards for QRP and PDF (default 10000)
#   IMAGES=N   cards for PNG and JPEG at 300 dpi (default 200)
#   WALK=N     QSOs of the walk and of the large QRP run (default 100000)
# Needs a built cardmint-cli (cmake --build BUILD_DIR --target cardmint-cli);
# peak memory needs GNU time (/usr/bin/time, Debian package "time").
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build}"
cli="$build/tools/cardmint-cli"
layout="demo/Demo1.qr2"
runs="${RUNS:-1}"
cards="${CARDS:-10000}"
images="${IMAGES:-200}"
walk="${WALK:-100000}"

if [[ ! -x "$cli" ]]; then
    echo "bench: $cli not found; build it first: cmake --build $build --target cardmint-cli" >&2
    exit 1
fi
gnutime=""
if [[ -x /usr/bin/time ]] && /usr/bin/time -f '%M' true 2>/dev/null; then
    gnutime=/usr/bin/time
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"

# The demo logbook generator: the same QSOs on every machine.
"$cli" make-demo-log "$work/cards.db" --count "$cards" >/dev/null
"$cli" make-demo-log "$work/images.db" --count "$images" >/dev/null
"$cli" make-demo-log "$work/walk.db" --count "$walk" >/dev/null

# Runs the command RUNS times; sets best_s (seconds) and best_kb (peak RSS of
# the fastest run, empty without GNU time). A failing run stops the bench.
measure() {
    best_s="" best_kb=""
    local i s kb start end
    for ((i = 0; i < runs; i++)); do
        rm -rf "$work/out" && mkdir -p "$work/out"
        if [[ -n "$gnutime" ]]; then
            if ! "$gnutime" -f '%e %M' -o "$work/time" "$@" >"$work/log" 2>&1; then
                echo "bench: failed: $*" >&2
                cat "$work/log" >&2
                exit 1
            fi
            read -r s kb <"$work/time"
        else
            start=$(date +%s.%N)
            if ! "$@" >"$work/log" 2>&1; then
                echo "bench: failed: $*" >&2
                cat "$work/log" >&2
                exit 1
            fi
            end=$(date +%s.%N)
            s=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }')
            kb=""
        fi
        if [[ -z "$best_s" ]] || awk -v a="$s" -v b="$best_s" 'BEGIN { exit !(a < b) }'; then
            best_s=$s best_kb=$kb
        fi
    done
}

rows=()
row() {   # WHAT COUNT UNIT COMMAND...
    local what=$1 count=$2 unit=$3
    shift 3
    measure "$@"
    local rate mem
    rate=$(awk -v n="$count" -v s="$best_s" 'BEGIN { if (s > 0) printf "%.0f", n / s; else print "-" }')
    mem=$([[ -n "$best_kb" ]] && awk -v k="$best_kb" 'BEGIN { printf "%.0f", k / 1024 }' || echo "-")
    rows+=("$(printf '| %s | %s %s | %s s | %s %s/s | %s MB |' "$what" "$count" "$unit" "$best_s" "$rate" "$unit" "$mem")")
    echo "${rows[-1]}" >&2
}

render=("$cli" render --layout "$layout")

row "render --qrp" "$cards" cards "${render[@]}" --log "$work/cards.db" --qrp "$work/out/cards.QRP"
row "render --pdf" "$cards" cards "${render[@]}" --log "$work/cards.db" --pdf "$work/out/cards.pdf"
row "render --png, 300 dpi" "$images" cards "${render[@]}" --log "$work/images.db" --png "$work/out/card-####.png" --dpi 300
row "render --jpeg, 300 dpi" "$images" cards "${render[@]}" --log "$work/images.db" --jpeg "$work/out/card-####.jpg" --dpi 300
row "render --qrp, large logbook" "$walk" cards "${render[@]}" --log "$work/walk.db" --qrp "$work/out/walk.QRP"
row "render --qrp --order bureau, large logbook" "$walk" cards "${render[@]}" --log "$work/walk.db" --order bureau --qrp "$work/out/walk.QRP"
row "walk: count-qsos (every field of every QSO)" "$walk" QSOs "$cli" count-qsos "$work/walk.db"

cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo 2>/dev/null || true)
echo
echo "cardmint-cli benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores${cpu:+ ($cpu)}, the demo card, SQLite logbooks; fastest of $runs run(s)"
echo
echo "| run | work | time | rate | peak memory (RSS) |"
echo "|---|---|---|---|---|"
printf '%s\n' "${rows[@]}"

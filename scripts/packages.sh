# Shared by test.sh and run.sh: install the Debian packages ox needs to build,
# test and run, skipping the package manager when all are present already.
ox_packages=(g++ make cmake pkg-config libncurses-dev ncurses-base
             libgtest-dev libgmock-dev libbenchmark-dev libvterm-dev
             groff-base clang libclang-rt-dev
             zlib1g-dev python3) # real files the outline tests fold: zlib's examples, Python's library

ensure_packages() {
    local missing=() p
    for p in "${ox_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    ((${#missing[@]} == 0)) && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "installing: ${missing[*]}" >&2
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Sourced by the scripts that build a library from its Debian source
# package (scripts/openjpeg, the benchmarks' references). debian_source
# <package> <version pattern> <folder> fetches and unpacks the newest
# version of the source package whose version matches the grep pattern,
# through deb-src twins of this machine's own apt entries (one-line and
# deb822 alike) set up in a temporary folder: the system's apt set-up is
# left as it is. The unpacked tree ends up as the one subfolder of
# <folder>, which must exist and be empty; its path is printed.
debian_source()
{
    package=$1
    pattern=$2
    folder=$3
    apt_work=$(mktemp -d)
    chmod 755 "$apt_work" "$folder"  # apt's download user reads and writes there
    mkdir -p "$apt_work/parts" "$apt_work/lists/partial"
    : >"$apt_work/sources.list"
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >"$apt_work/sources.list"
    fi
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        sed 's/^Types:.*/Types: deb-src/' "$file" >"$apt_work/parts/$(basename "$file")"
    done
    for file in /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$file" >"$apt_work/parts/$(basename "$file")"
    done
    apt_options="-o Dir::Etc::SourceList=$apt_work/sources.list -o Dir::Etc::SourceParts=$apt_work/parts
        -o Dir::State::Lists=$apt_work/lists"
    # shellcheck disable=SC2086
    apt-get $apt_options update -q >/dev/null
    # The newest version whose files the mirror still holds.
    # shellcheck disable=SC2086
    for version in $(apt-cache $apt_options showsrc "$package" | sed -n 's/^Version: //p' | grep -e "$pattern" |
            sort -r -V); do
        (cd "$folder" && apt-get $apt_options source -q "$package=$version" >/dev/null 2>&1) && break
        rm -rf "${folder:?}/"*
    done
    rm -rf "$apt_work"
    find "$folder" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

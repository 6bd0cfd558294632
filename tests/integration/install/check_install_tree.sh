#!/usr/bin/env bash
# Installs the build tree BUILD_DIR into a scratch DESTDIR and checks what a Linux desktop and the
# package rely on: only programs in bin, the desktop entry and metainfo pass their validators, the
# project file type is registered by pattern and by content, each manual page renders without a
# warning, the completion completes commands and options, the application answers --help and
# --version without a display, and the tree moved elsewhere still exports with its template.
set -euo pipefail
build=$(realpath "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$scratch/dest" cmake --install "$build" --prefix /usr >/dev/null
root="$scratch/dest/usr"
id=example.veltrane.veltrane

[ "$(ls "$root/bin" | tr '\n' ' ')" = "veltrane veltrane-cli veltrane-gwsim " ] ||
  fail "bin holds: $(ls "$root/bin")"
[ -f "$root/share/veltrane/Veltrane.xlsx" ] || fail "no template under share/veltrane"
[ -f "$root/share/doc/veltrane/copyright" ] || fail "no copyright file"

out=$(desktop-file-validate "$root/share/applications/$id.desktop" 2>&1) || fail "desktop entry: $out"
[ -z "$out" ] || fail "desktop entry: $out"
grep -qx 'Exec=veltrane %f' "$root/share/applications/$id.desktop" || fail "desktop entry's Exec"
appstreamcli validate --no-net --pedantic "$root/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "metainfo: $(appstreamcli validate --no-net --pedantic "$root/share/metainfo/$id.metainfo.xml")"

for size in 16 24 32 48 64 128 256; do
  png="$root/share/icons/hicolor/${size}x${size}/apps/$id.png"
  file "$png" | grep -q "PNG image data, $size x $size" || fail "icon $png"
done
[ -f "$root/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"

# The MIME database built from the package's file alone knows the pattern and the magic rule.
out=$(XDG_DATA_DIRS="$root/share" update-mime-database "$root/share/mime" 2>&1) && [ -z "$out" ] || fail "MIME type: $out"
grep -q '^50:application/x-veltrane-project:\*\.chg$' "$root/share/mime/globs2" || fail "no *.chg pattern"
# A project saved without the extension is still recognised by its first bytes.
"$root/bin/veltrane-cli" new "$scratch/project.chg" >/dev/null
cp "$scratch/project.chg" "$scratch/no-extension"
type=$(XDG_DATA_HOME="$scratch/none" XDG_DATA_DIRS="$root/share" gio info -a standard::content-type "$scratch/no-extension")
[[ $type == *application/x-veltrane-project* ]] || fail "magic rule: $type"

for page in veltrane veltrane-cli veltrane-gwsim; do
  file="$root/share/man/man1/$page.1.gz"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page(1): $warnings"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$file" 2>/dev/null | grep -q '^SYNOPSIS' || fail "$page(1) has no synopsis"
done
LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$root/share/man/man1/veltrane-cli.1.gz" 2>/dev/null | grep -q -- '--template' ||
  fail "veltrane-cli(1) lacks the commands' options"

# Completion, as bash-completion would load it, with the installed program on PATH.
complete_line() {
  PATH="$root/bin:$PATH" bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    _veltrane_cli veltrane-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
    printf "%s\n" "${COMPREPLY[@]}"' _ "$root/share/bash-completion/completions/veltrane-cli" "$@"
}
complete_line veltrane-cli ex | grep -qx export || fail "completion of commands: $(complete_line veltrane-cli ex)"
complete_line veltrane-cli export --te | grep -qx -- '--template' ||
  fail "completion of options: $(complete_line veltrane-cli export --te)"

# Help and version are printed without a window system.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/bin/veltrane" --version) ||
  fail "veltrane --version"
[[ $version == Veltrane\ * ]] || fail "veltrane --version said: $version"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/bin/veltrane" --help | grep -q '\[file\]' ||
  fail "veltrane --help"

# A moved tree finds its template from the program's own folder.
mv "$root" "$scratch/moved"
cli="$scratch/moved/bin/veltrane-cli"
"$cli" export "$scratch/project.chg" "$scratch/project.xlsx" >/dev/null || fail "export from the moved tree"
[ -s "$scratch/project.xlsx" ] || fail "no workbook from the moved tree"
echo "install tree OK"

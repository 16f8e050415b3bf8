#!/usr/bin/env bash
# Builds the Debian package from a built release tree with CPack and checks it
# the way Debian and a user would meet it: lintian, the control fields, the
# validators of the files it holds, its manual pages, and that the packaged
# programs run from the unpacked files.
#
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build_dir=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
work=$(mktemp -d "${TMPDIR:-/tmp}/fonteditor-package.XXXXXX")
cleanup() {
  if [ -s "$work/editor.pid" ]; then kill -9 "$(cat "$work/editor.pid")" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $build_dir/CMakeCache.txt" >&2; exit 2; }

if ! cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "package: 0 passed, 1 failed"
  exit 1
fi
debs=("$work"/out/*.deb)
deb=${debs[0]}
root=$work/root
dpkg-deb -x "$deb" "$root"
echo "package: $(basename "$deb") (project version $version)"

passed=0 failed=0
# check DESCRIPTION COMMAND...: runs COMMAND in a subshell with errexit on, so
# that any failing step fails it; its output is shown when it fails.
check() {
  local what=$1 rc
  shift
  set +e
  (
    set -e
    "$@"
  ) >"$work/check.log" 2>&1
  rc=$?
  set -e
  if [ "$rc" -eq 0 ]; then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
    sed 's/^/    /' "$work/check.log"
  fi
}

field() { dpkg-deb -f "$deb" "$1"; }
programs=()
for program in "$root"/usr/bin/*; do programs+=("$(basename "$program")"); done
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
desktop_files=("$root"/usr/share/applications/*.desktop)

# --- the package as Debian sees it ----------------------------------------------

lintian_clean() {
  # Errors and warnings fail; infos are shown. Of the hardening tags, only
  # hardening-no-fortify-functions is accepted: it also shows when a program
  # calls nothing whose buffer size the compiler knows, so the flag is
  # checked in the build tree instead.
  local rc=0
  lintian --fail-on error,warning --display-info --tag-display-limit 0 "$deb" \
    >"$work/lintian.log" 2>&1 || rc=$?
  grep -v '^running with root privileges' "$work/lintian.log" || true
  if grep -E '^[A-Z]: [^ ]+: hardening-' "$work/lintian.log" | grep -v hardening-no-fortify-functions; then
    return 1
  fi
  return $rc
}
check "lintian reports no error or warning, and no hardening tag" lintian_clean
check "the release build is compiled with _FORTIFY_SOURCE and the stack protector" \
  grep -q -e '-D_FORTIFY_SOURCE=[23].*-fstack-protector-strong' "$build_dir/compile_commands.json"

check "file name is fonteditor_<version>_<arch>.deb" \
  test "$(basename "$deb")" = "fonteditor_${version}_$(dpkg --print-architecture).deb"

control_fields() {
  local name pattern value bad=0
  # field name | extended regular expression its value must match
  while IFS='|' read -r name pattern; do
    value=$(field "$name")
    if ! grep -Eq -- "$pattern" <<<"$value"; then
      echo "$name: '$value' does not match /$pattern/"
      bad=1
    fi
  done <<EOF
Package|^fonteditor$
Version|^${version//./\\.}$
Section|^graphics$
Priority|^optional$
Maintainer|^QUELT font editor maintainers <[^ >]+@[^ >]+>$
Homepage|^https://
Depends|(^|, )libc6 \(>= [0-9.]+\)(,|$)
Depends|(^|, )libqt6widgets6 \(>= [0-9.]+\)(,|$)
Depends|(^|, )libfreetype6 \(>= [0-9.]+\)(,|$)
Depends|(^|, )libpng16-16 \(>= [0-9.]+\)(,|$)
Depends|(^|, )libharfbuzz0b \(>= [0-9.]+\)(,|$)
Depends|(^|, )zlib1g \(>= [0-9:.a-z-]+\)(,|$)
Depends|(^|, )liburing2 \(>= [0-9.]+\)(,|$)
Recommends|^fonts-noto-cjk [|] fonts-ipafont-gothic$
Description|^[a-z].*glyphtool
Description|editor
EOF
  return $bad
}
check "control fields, Version the project's and Depends from dpkg-shlibdeps" control_fields

check "the copyright file is machine-readable (DEP-5) with every licence text" \
  "$here/check_copyright.py" "$root/usr/share/doc/fonteditor/copyright"

changelog_version() {
  gzip -dc "$root/usr/share/doc/fonteditor/changelog.gz" >"$work/changelog"
  local latest
  latest=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
  [ "$latest" = "$version" ] || { echo "latest entry $latest, project $version"; return 1; }
}
check "the changelog's latest entry is the project version" changelog_version

# --- the files it holds -----------------------------------------------------------

appstream_valid() {
  local file
  for file in "${metainfo[@]}"; do appstreamcli validate --no-net "$file"; done
  # The tree check also finds the desktop file the launchable names. The id's
  # top-level domain, .example, is unknown to the validator but reserved.
  appstreamcli validate-tree --no-net --strict --override=cid-maybe-not-rdns=pedantic "$root"
}
check "AppStream metadata validates, with the desktop file it launches" appstream_valid

appstream_agrees() {
  local file=${metainfo[0]} program bad=0
  grep -Fq "<release version=\"$version\"" "$file" || { echo "no release $version"; bad=1; }
  grep -Fq "<url type=\"homepage\">$(field Homepage)</url>" "$file" || { echo "homepage differs"; bad=1; }
  for program in "${programs[@]}"; do
    grep -Fq "<binary>$program</binary>" "$file" || { echo "$program not provided"; bad=1; }
  done
  return $bad
}
check "AppStream names the version, the Homepage and every program" appstream_agrees

desktop_valid() {
  local file exec icon size
  [ ${#desktop_files[@]} -eq 1 ] && [ -f "${desktop_files[0]}" ] || { echo "not one desktop file"; return 1; }
  file=${desktop_files[0]}
  desktop-file-validate "$file"
  exec=$(sed -n 's/^Exec=//p' "$file")
  [ -x "$root/usr/bin/${exec%% *}" ] || { echo "Exec=$exec is not in /usr/bin"; return 1; }
  icon=$(sed -n 's/^Icon=//p' "$file")
  grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg"
  for size in 16 22 24 32 48 64 128 256; do
    [[ $(file -b "$root/usr/share/icons/hicolor/${size}x$size/apps/$icon.png") == \
      "PNG image data, $size x $size,"* ]] || { echo "no $size px icon $icon"; return 1; }
  done
}
check "desktop entry validates; its program and its icons at every size are there" desktop_valid

man_pages_clean() {
  local page program bad=0
  for program in "${programs[@]}"; do
    [ -f "$root/usr/share/man/man1/$program.1.gz" ] || { echo "no manual page for $program"; bad=1; }
  done
  for page in "$root"/usr/share/man/man*/*.gz; do
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>"$work/man.err" >/dev/null
    if [ -s "$work/man.err" ]; then echo "$(basename "$page"):"; cat "$work/man.err"; bad=1; fi
    gzip -dc "$page" >"$work/page"
    grep -q "^\.TH .*$version" "$work/page" || { echo "$(basename "$page") lacks $version"; bad=1; }
  done
  return $bad
}
check "every program has a manual page; each renders without warnings" man_pages_clean

# --- the programs, run from the unpacked package ----------------------------------

# The editor takes no arguments and shows its window until it is closed. It
# runs offscreen, where no click can reach its Close button: once it has lived
# 1.5 s it is asked to end with SIGTERM, which closes its window as the close
# box does, so it must exit with 0.
editor_starts() {
  mkdir -m 700 "$work/run"
  (
    cd "$work"
    exec env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen HOME="$work" \
      XDG_RUNTIME_DIR="$work/run" "$root/usr/bin/fonteditor"
  ) >"$work/editor.log" 2>&1 &
  local pid=$! rc=0
  echo "$pid" >"$work/editor.pid"
  sleep 1.5
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" || rc=$?
    echo "the editor ended by itself with exit code $rc:"
    cat "$work/editor.log"
    return 1
  fi
  kill -TERM "$pid"
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null && sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    echo "the editor is still running 5 s after SIGTERM"
    return 1
  fi
  wait "$pid" || rc=$?
  rm "$work/editor.pid"
  cat "$work/editor.log"
  [ "$rc" -eq 0 ] || { echo "exit code $rc after SIGTERM, expected 0"; return 1; }
}
check "the packaged editor starts offscreen and closes when asked to" editor_starts

# glyphtool: once the build tree makes it, the package must hold it, and its
# checks run on the packaged one.
glyphtool=$root/usr/bin/glyphtool
glyphtool_version() {
  local rc=0
  "$glyphtool" --version >"$work/version.out" 2>&1 || rc=$?
  cat "$work/version.out"
  [ "$rc" -eq 0 ] && grep -Fqw -- "$version" "$work/version.out"
}
glyphtool_show() {
  # Width 8, only the top-left pixel set.
  printf '\x08\x00\x07\x00\x80\x00\x00\x00\x00\x00\x00' >"$work/corner.dat"
  local rc=0
  "$glyphtool" show "$work/corner.dat" >"$work/show.out" 2>&1 || rc=$?
  cat "$work/show.out"
  printf '%s: width 8\n#.......\n' "$work/corner.dat" >"$work/show.expected"
  for _ in 1 2 3 4 5 6; do echo ........ >>"$work/show.expected"; done
  [ "$rc" -eq 0 ] && cmp -s "$work/show.out" "$work/show.expected"
}
if [ -x "$build_dir/glyphtool/glyphtool" ] || [ -e "$glyphtool" ]; then
  check "glyphtool is in the package" test -x "$glyphtool"
  check "glyphtool --version prints the project version" glyphtool_version
  check "glyphtool show reads a glyph file" glyphtool_show
fi

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

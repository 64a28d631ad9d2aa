#!/usr/bin/env bash
# Builds the Debian package and the portable archive, runs lintian on the package, installs
# and starts each the way a user would, and removes the package again. Changes the running system: run it on a
# machine or container you can spare, not from CI.
#
#   scripts/package-check.sh [build dir]     (default: build-release, from the release preset)
#
# Screenshots and program output land in <build dir>/package-check/.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build_dir=${1:-build-release}
case $build_dir in /*) ;; *) build_dir=$source_dir/$build_dir ;; esac
out=$build_dir/package-check

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
# Waits for another apt or dpkg run to finish instead of failing on its lock.
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)

step() { printf '\n== %s\n' "$*"; }
fail() { printf 'package-check: %s\n' "$*" >&2; exit 1; }

step "Tools"
bash scripts/deps.sh
# file and dpkg-shlibdeps let cpack work out the package's dependencies.
tools=(dpkg-dev file xvfb xauth imagemagick desktop-file-utils appstream lintian)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${apt[@]}" update -qq
  "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
fi

step "Build and pack in $build_dir"
# Tests and benchmarks ship in neither package, so they are left out of this build.
cmake --preset release -B "$build_dir" -DTARVEL_BUILD_TESTS=OFF -DTARVEL_BUILD_BENCH=OFF
cmake --build "$build_dir"
rm -rf "$out" "$build_dir"/_CPack_Packages "$build_dir"/tarvel-images*.deb "$build_dir"/tarvel-images*.tar.gz
mkdir -p "$out"
(cd "$build_dir" && cpack)

debs=("$build_dir"/tarvel-images_*.deb)
tgzs=("$build_dir"/tarvel-images-*.tar.gz)
[ -f "${debs[0]}" ] || fail "cpack made no .deb"
[ -f "${tgzs[0]}" ] || fail "cpack made no .tar.gz"
deb=${debs[0]}
tgz=${tgzs[0]}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Starts a launcher with the arguments after it on a virtual screen from a folder of its own,
# keeps a screenshot and fails when the program died or complained about a picture, or when
# the screen does not show what want says: "picture" or "no picture".
run_on_screen() {
  local name=$1 want=$2 launcher=$3
  shift 3
  local workdir log shot
  workdir=$(mktemp -d)
  log=$out/$name.log
  shot=$out/$name-screenshot.png
  # The inner script expands its own arguments, not ours.
  # shellcheck disable=SC2016
  (cd "$workdir" && xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
      log=$1 shot=$2
      shift 2
      "$@" >"$log" 2>&1 &
      pid=$!
      sleep 5
      import -window root "$shot"
      if ! kill -0 "$pid" 2>/dev/null; then echo "exited early" >>"$log"; exit 1; fi
      kill "$pid"
      wait "$pid" || true' _ "$log" "$shot" "$launcher" "$@") || {
    cat "$log" >&2
    rm -rf "$workdir"
    fail "$name: the program did not stay up"
  }
  rm -rf "$workdir"
  if grep -E 'Cannot (show picture|read description|make)' "$log" >&2; then
    fail "$name: the program could not read its collection"
  fi
  local colours
  colours=$(identify -format '%k' "$shot")
  echo "$name: stayed up, screenshot $shot with $colours colours"
  # A bare desktop has one colour and the window chrome a few dozen; only a shown
  # photograph brings thousands.
  if [ "$want" = picture ]; then
    [ "$colours" -gt 2000 ] || fail "$name: the screenshot shows no picture"
  else
    [ "$colours" -le 2000 ] || fail "$name: the screenshot shows a picture"
  fi
}

step "Contents of $(basename "$deb")"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
depends=$(dpkg-deb --field "$deb" Depends)
[[ $depends == *libqt6widgets6* ]] \
  || fail "the package does not depend on the Qt runtime; is dpkg-shlibdeps missing?"
mapfile -t shipped < <(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }')
[ ${#shipped[@]} -gt 0 ] || fail "the package holds no files"

step "lintian $(basename "$deb")"
# Info tags are listed but pass; any error or warning fails the check.
lintian --display-info --fail-on error,warning "$deb" 2>&1 | tee "$out/lintian.txt" \
  || fail "lintian found errors or warnings"
echo "lintian: no error and no warning"

if dpkg-query -W -f='${Status}' tarvel-images 2>/dev/null | grep -q 'install ok installed'; then
  step "Removing an earlier tarvel-images"
  "${apt[@]}" remove -y tarvel-images
fi

step "Install the .deb"
"${apt[@]}" install -y "$deb"
dpkg -L tarvel-images
[ "$(readlink -f /usr/bin/tarvel-images)" = /usr/lib/tarvel-images/tarvel-images ] \
  || fail "/usr/bin/tarvel-images does not lead to the program"
bash scripts/check-entries.sh /usr/share/applications/io.github.tarvel_images.TarvelImages.desktop \
  /usr/share/metainfo/io.github.tarvel_images.TarvelImages.metainfo.xml
[ -f /usr/share/icons/hicolor/scalable/apps/tarvel-images.svg ] || fail "the icon is missing"
man -w tarvel-images >/dev/null || fail "man finds no manual page for tarvel-images"

# Answered without a display: none is set here, outside xvfb-run.
version=$(dpkg-deb --field "$deb" Version)
printed=$(env -u DISPLAY -u WAYLAND_DISPLAY tarvel-images --version)
[ "$printed" = "tarvel-images $version" ] \
  || fail "tarvel-images --version printed '$printed', not the package's $version"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY tarvel-images "$scratch/none" 2>"$out/bad-folder.txt" || status=$?
if [ "$status" -ne 2 ] || [ "$(wc -l <"$out/bad-folder.txt")" -ne 1 ]; then
  fail "a missing folder gave status $status and not one line: $(cat "$out/bad-folder.txt")"
fi
echo "--version: $printed; a missing folder: status 2, $(cat "$out/bad-folder.txt")"

run_on_screen deb picture "$(command -v tarvel-images)"
# The installed topic folders copied elsewhere show their pictures from there, and an empty
# folder shows none: the folder named is the one read, not the program's.
mkdir "$scratch/collection" "$scratch/empty"
find /usr/lib/tarvel-images -mindepth 1 -maxdepth 1 -type d -exec cp -r {} "$scratch/collection" \;
run_on_screen deb-folder picture tarvel-images "$scratch/collection"
run_on_screen deb-empty-folder "no picture" tarvel-images "$scratch/empty"

step "Remove the .deb"
"${apt[@]}" remove -y tarvel-images
if dpkg -L tarvel-images >/dev/null 2>&1; then fail "dpkg still knows files of tarvel-images"; fi
left=0
for f in "${shipped[@]}"; do
  if [ -e "$f" ] || [ -L "$f" ]; then echo "left behind: $f" >&2; left=1; fi
done
[ ! -e /usr/lib/tarvel-images ] || { echo "left behind: /usr/lib/tarvel-images" >&2; left=1; }
[ "$left" -eq 0 ] || fail "removing the package left files under /usr"
echo "nothing of tarvel-images remains under /usr"

step "Unpack and start $(basename "$tgz")"
mkdir "$scratch/tgz"
tar -xzf "$tgz" -C "$scratch/tgz"
tar -tzf "$tgz" >"$out/tgz-contents.txt"
grep -v -E '/(Maps|Sett|Plan|Shor|Pelm|Bird|Fish|Expe|Scie|Mari)/.' "$out/tgz-contents.txt"
top=$(cut -d/ -f1 "$out/tgz-contents.txt" | sort -u)
[ "$(printf '%s\n' "$top" | wc -l)" -eq 1 ] || fail "the archive has more than one top folder"
run_on_screen tgz picture "$scratch/tgz/$top/bin/tarvel-images"

step "All package checks passed; screenshots in $out"

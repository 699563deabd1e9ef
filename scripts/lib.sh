# Shared by the scripts: configure and build into a folder.
# Usage: quire_build DIR BUILD_TYPE [cmake options...]
# QUIRE_TARGETS, when set, names the targets to build (all by default).
quire_build() {
  local dir=$1 type=$2
  shift 2
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@"
  fi
  if [ -n "${QUIRE_TARGETS:-}" ]; then
    # shellcheck disable=SC2086
    cmake --build "$dir" -j "$jobs" --target $QUIRE_TARGETS
  else
    cmake --build "$dir" -j "$jobs"
  fi
}

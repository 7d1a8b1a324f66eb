#!/usr/bin/env bash
# The house rule of includes: a layer reaches only the layers below it.
#   physics/  nothing of the game's own
#   core/     physics/ and itself; no GL, GLEW or GLFW header
#   render/   core/ and physics/
#   scene/    render/, core/ and physics/
#   app/      everything (the only layer with ImGui's panels)
# Inside core/, a folder reaches only the folders before it in this order:
#   system media mesh view input course replay race player sound editor controls
#   frame
# and every file of core/ sits in one of them.
# Prints every include that breaks it as file:line and fails.
# Usage: include_rule.sh [source root]
set -u
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2
status=0
check() { # folder, extended regex of forbidden include targets
  local folder=$1 forbidden=$2 hits
  [ -d "$folder" ] || return 0
  hits=$(grep -rnE --include='*.h' --include='*.hpp' --include='*.cpp' \
    "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($forbidden)" "$folder")
  if [ -n "$hits" ]; then
    echo "$hits" | sed "s|\$|   <- $folder may not include this|"
    status=1
  fi
}
gl='GL/|GLFW/|render/GL\.h|imgui|backends/imgui'
check physics "core/|render/|scene/|app/|$gl"
check core "render/|scene/|app/|$gl"
check render "scene/|app/"
check scene "app/"

core_order=(system media mesh view input course replay race player sound editor controls frame)
for ((i = 0; i < ${#core_order[@]}; ++i)); do
  later=("${core_order[@]:i+1}")
  [ ${#later[@]} -gt 0 ] || continue
  forbidden=$(printf 'core/%s/|' "${later[@]}")
  check "core/${core_order[i]}" "${forbidden%|}"
done
# A folder of core/ missing from the order, or a file beside the folders,
# is one nobody placed.
for file in core/*.h core/*.hpp core/*.cpp; do
  [ -e "$file" ] && { echo "$file: in none of core's folders (tests/include_rule.sh)"; status=1; }
done
for dir in core/*/; do
  name=$(basename "$dir")
  case " ${core_order[*]} " in
    *" $name "*) ;;
    *) echo "$dir: not in the order of core's folders (tests/include_rule.sh)"; status=1 ;;
  esac
done
[ $status -eq 0 ] && echo "include rule kept"
exit $status

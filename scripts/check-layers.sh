#!/usr/bin/env bash
# Checks the shape of the source tree, as CODING_GUIDELINES.md describes it:
#  - an #include never reaches a higher layer (core < render, widgets < gui < app; cli over
#    core and render only);
#  - the folders' includes form no cycle;
#  - no extern pointer to a window or a data module;
#  - no class or file named with another platform's prefixes (T, E, Tfrm, u, DM).
# Prints every breach and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/../src"
failures=0
fail() { echo "check-layers: $*"; failures=$((failures + 1)); }

# The folder a path belongs to: core/<area>, gui/<feature>, or the layer itself.
folder_of() {
  case "$1" in
    core/*/*|gui/*/*) echo "${1%/*}" ;;
    *) echo "${1%%/*}" ;;
  esac
}
# What each layer may include besides itself.
allowed() {
  case "$1" in
    core) echo "core" ;;
    render) echo "core render" ;;
    widgets) echo "core widgets" ;;
    gui) echo "core render widgets gui" ;;
    app) echo "core render widgets gui app" ;;
    cli) echo "core render cli" ;;
    *) echo "" ;;
  esac
}

edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
while IFS= read -r file; do
  layer=${file%%/*}
  from=$(folder_of "$file")
  while IFS= read -r target; do
    [[ -f "$target" ]] || continue # a header of Qt or the system spelled with quotes
    to_layer=${target%%/*}
    if [[ " $(allowed "$layer") " != *" $to_layer "* ]]; then
      fail "$file includes $target: $layer may not include $to_layer"
    fi
    to=$(folder_of "$target")
    [[ "$from" != "$to" ]] && echo "$from $to" >> "$edges"
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)

# tsort names a loop on standard error when the graph has one.
if ! loops=$(sort -u "$edges" | tsort 2>&1 >/dev/null) || [[ -n "$loops" ]]; then
  fail "the folders include each other in a loop: $(echo "$loops" | tr '\n' ' ')"
fi

# Windows and data modules are handed down, never reached through a global. The one data
# module still reached so, the program's database connection, is named here so that no
# second one can join it unseen.
while IFS= read -r line; do
  case "$line" in
    *"extern Database* programDatabase;"*) ;;
    *) fail "a global pointer: $line" ;;
  esac
done < <(grep -rnE '^[[:space:]]*extern[[:space:]]+[A-Za-z_:<>]+[[:space:]]*\*' --include='*.h' --include='*.cpp' . | sed 's|^\./||' || true)

# Names from another platform's form designer.
while IFS= read -r line; do
  fail "a prefixed class name: $line"
done < <(grep -rnE '^[[:space:]]*(class|struct)[[:space:]]+(T[A-Z]|Tfrm|E[A-Z][a-z])[A-Za-z0-9]*([[:space:]]+final)?[[:space:]]*(:|\{|$)' \
           --include='*.h' --include='*.cpp' . | sed 's|^\./||' || true)
while IFS= read -r file; do
  fail "a prefixed file name: $file"
done < <(find . \( -name 'u[A-Z]*' -o -name 'T[A-Z]*' -o -name '*DM.*' \) -type f | sed 's|^\./||')

if (( failures > 0 )); then
  echo "check-layers: $failures breach(es)"
  exit 1
fi
echo "check-layers: the tree keeps its layers"

#!/usr/bin/env bash
# Checks that the library's exports match the public header, name for name:
#   check_exports.sh def                  the .def file lists exactly the header's exports
#   check_exports.sh dll OBJDUMP DLL      the DLL's export table holds exactly those
#                                         names, undecorated (no @N, no underscore)
#   check_exports.sh so LIB               the shared object's dynamic symbol table defines
#                                         exactly those names (nothing of the C++ runtime)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
header=$root/include/corvel/corvel.h
def=$root/src/exports/corvel.def

expected() {
  # Declarations may wrap; join the header into one line per statement first.
  tr '\n' ' ' <"$header" | tr ';' '\n' | grep -o 'CVL_API[^(]*CVL_CALL *[A-Za-z_][A-Za-z0-9_]* *(' |
    sed -E 's/.*CVL_CALL *([A-Za-z_][A-Za-z0-9_]*) *\(/\1/' | sort
}

compare() { # label, file with the names found
  local label=$1 found=$2 missing extra
  missing=$(comm -23 <(expected) <(sort "$found"))
  extra=$(comm -13 <(expected) <(sort "$found"))
  if [ -n "$missing" ] || [ -n "$extra" ]; then
    [ -n "$missing" ] && echo "$label: missing: $(echo $missing)" >&2
    [ -n "$extra" ] && echo "$label: not in corvel.h (or decorated): $(echo $extra)" >&2
    return 1
  fi
  echo "$label: all $(expected | wc -l) exports present under their plain names"
}

tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
case "${1:-}" in
  def)
    sed -n '/^EXPORTS/,$p' "$def" | sed '1d; s/;.*//' | awk 'NF {print $1}' >"$tmp"
    compare "corvel.def" "$tmp"
    ;;
  dll)
    objdump=$2 dll=$3
    # The name pointer table: lines "[   n] Name" after its heading.
    "$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
      sed -n 's/^[[:space:]]*\[ *[0-9]*\] *//p' >"$tmp"
    [ -s "$tmp" ] || { echo "$dll: no export table" >&2; exit 1; }
    compare "$(basename "$(dirname "$dll")")/$(basename "$dll")" "$tmp"
    ;;
  so)
    lib=$2
    nm -D --defined-only "$lib" | awk 'NF >= 3 {print $3}' >"$tmp"
    [ -s "$tmp" ] || { echo "$lib: no dynamic symbols" >&2; exit 1; }
    compare "$(basename "$lib")" "$tmp"
    ;;
  *)
    echo "usage: check_exports.sh def | dll OBJDUMP DLL | so LIB" >&2
    exit 2
    ;;
esac

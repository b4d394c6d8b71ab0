#!/usr/bin/env bash
# Fails, naming the files, when a source file outside the platform layer and
# the programs that drive its widgets includes a Qt header. Only platform/,
# tests/platform/, tests/ui/ and tools/screenshot/ may: the rest of Varnel
# builds against <windows.h> alone, on Linux and on Windows.
set -euo pipefail
cd "$(dirname "$0")/.."

allowed='^(platform|tests/platform|tests/ui|tools/screenshot)/'
# <QWidget>, <QtGlobal>, <QtWidgets/QWidget>, <QtCore/qstring.h>, and the same in quotes.
qt_include='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Z][A-Za-z0-9_]*|Qt[A-Z][A-Za-z0-9_]*(/[^>"]*)?)[>"]'

# Tracked files and new ones not yet added; build folders are ignored by git.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  list_files() { git ls-files -z --cached --others --exclude-standard; }
else
  list_files() { find . -path ./.git -prune -o -path './build*' -prune -o -type f -print0 | sed -z 's|^\./||'; }
fi

offenders=()
while IFS= read -r -d '' file; do
  case "$file" in
    *.c | *.cc | *.cpp | *.cxx | *.h | *.hh | *.hpp | *.hxx | *.inl | *.ipp | *.in) ;;
    *) continue ;;
  esac
  [[ -f "$file" ]] || continue  # deleted but not yet committed
  [[ "$file" =~ $allowed ]] && continue
  if grep -Eq "$qt_include" "$file"; then offenders+=("$file"); fi
done < <(list_files)

if ((${#offenders[@]} > 0)); then
  echo "Qt headers included outside platform/ and the widget-driving tests and tools:" >&2
  for file in "${offenders[@]}"; do
    echo "  $file" >&2
    grep -En "$qt_include" "$file" | sed 's/^/      /' >&2
  done
  exit 1
fi
echo "Qt boundary kept: no Qt header outside platform/, tests/platform/, tests/ui/, tools/screenshot/."

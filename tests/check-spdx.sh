#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/spdx on a small checkout of its own: --check finds the files that lack the line and
# only those, the script adds the line where each kind of file takes it (after a "#!" line, kept
# executable), and a second run changes nothing.
# Usage: check-spdx.sh SOURCE-ROOT
set -euo pipefail
source_root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
git init -q .
mkdir -p scripts man completions src
cp "$source_root/scripts/spdx" scripts/spdx
printf '// Adds.\nint a;\n' >src/a.cpp
printf '// SPDX-License-Identifier: GPL-3.0-or-later\n// Has it.\n' >src/b.h
printf '#!/usr/bin/env bash\necho hello\n' >scripts/hello
chmod +x scripts/hello
printf 'project(X)\n' >CMakeLists.txt
printf '.TH X 1\n' >man/x.1
printf 'complete -F _x x\n' >completions/x
printf '{"not": "a source"}\n' >data.json
git add -A

failed=0
expect() { # description, condition...
    local what=$1
    shift
    if ! "$@"; then
        echo "FAILED: $what"
        failed=1
    fi
}

set +e
listed=$(scripts/spdx --check)
check_status=$?
set -e
expect "--check fails while files lack the line" test $check_status -eq 1
for file in src/a.cpp scripts/hello CMakeLists.txt man/x.1 completions/x; do
    expect "--check lists $file" grep -qx "  $file" <<<"$listed"
done
for file in src/b.h data.json; do
    expect "--check leaves out $file" bash -c "! grep -q '$file' <<<\"\$1\"" _ "$listed"
done

scripts/spdx >/dev/null
line="SPDX-License-Identifier: GPL-3.0-or-later"
expect "C++ first line" test "$(head -n 1 src/a.cpp)" = "// $line"
expect "C++ keeps its text" test "$(sed -n 2p src/a.cpp)" = "// Adds."
expect "a file that had it is unchanged" test "$(grep -c SPDX src/b.h)" = 1
expect "the #! line stays first" test "$(head -n 1 scripts/hello)" = "#!/usr/bin/env bash"
expect "the line follows the #! line" test "$(sed -n 2p scripts/hello)" = "# $line"
expect "a script stays executable" test -x scripts/hello
expect "CMake" test "$(head -n 1 CMakeLists.txt)" = "# $line"
expect "manual page" test "$(head -n 1 man/x.1)" = ".\\\" $line"
expect "completion" test "$(head -n 1 completions/x)" = "# $line"
expect "JSON untouched" test "$(cat data.json)" = '{"not": "a source"}'
expect "--check passes afterwards" scripts/spdx --check

before=$(git ls-files | xargs md5sum)
scripts/spdx >/dev/null
expect "a second run changes nothing" test "$before" = "$(git ls-files | xargs md5sum)"

[ $failed -eq 0 ] && echo "scripts/spdx: checks passed"
exit $failed

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The options a program's --help lists are exactly those its manual page describes under OPTIONS
# and, when a completion file is named, exactly the long ones that file offers.
# Usage: check-options.sh PROGRAM MANPAGE [COMPLETION]
set -euo pipefail
program=$1
manpage=$2
completion=${3:-}

# The option names (-h, --help, ...) in the option column of --help: the lines between
# "Options:" and "Arguments:" that start with a dash, up to the gap before the description.
help_options() {
    "$program" --help | awk '
        /^Options:/ { inside = 1; next }
        /^Arguments:/ { inside = 0 }
        inside && /^ +-/ { sub(/^ +/, ""); sub(/  .*/, ""); print }' |
        grep -oE '(^|[ ,])--?[A-Za-z?][A-Za-z0-9-]*' | sed -E 's/^[ ,]//' | sort -u
}

# The option names in the tags of the OPTIONS section: the line after each .TP.
man_options() {
    awk '
        /^\.SH / { inside = ($0 ~ /^\.SH OPTIONS/); next }
        inside && /^\.TP/ { tag = 1; next }
        inside && tag { print; tag = 0 }' "$manpage" |
        sed -E 's/\\-/-/g; s/\\f[BIRP]//g; s/"//g' |
        grep -oE '(^|[ ,|])--?[A-Za-z?][A-Za-z0-9-]*' | sed -E 's/^[ ,|]//' | sort -u
}

# The long options in the completion's option list (its "options=" assignment).
completion_options() {
    awk '/options="/ { inside = 1 } inside { print } inside && /"$/ { inside = 0 }' "$completion" |
        grep -oE -- '--[A-Za-z0-9-]+' | sort -u
}

status=0
compare() { # what-a what-b list-a list-b
    local only_a only_b
    only_a=$(comm -23 <(printf '%s\n' "$3") <(printf '%s\n' "$4") | grep . || true)
    only_b=$(comm -13 <(printf '%s\n' "$3") <(printf '%s\n' "$4") | grep . || true)
    if [ -n "$only_a" ]; then
        echo "$(basename "$program"): in $1 but not in $2:" $only_a
        status=1
    fi
    if [ -n "$only_b" ]; then
        echo "$(basename "$program"): in $2 but not in $1:" $only_b
        status=1
    fi
}

from_help=$(help_options)
if [ -z "$from_help" ]; then
    echo "$(basename "$program") --help lists no options"
    exit 1
fi
compare "--help" "$manpage" "$from_help" "$(man_options)"
if [ -n "$completion" ]; then
    compare "--help" "$completion" "$(grep -- '^--' <<<"$from_help")" "$(completion_options)"
fi
[ $status -eq 0 ] && echo "$(basename "$program"): --help, manual page${completion:+ and completion} agree"
exit $status

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Each layer looks down only: the calculation (core, files, equilibrium) knows no analysis,
# report, widget or drawing; core knows nothing of the files; the analyses know no report or
# widget; the reports know no widget. Prints every include
# that breaks a rule and fails when there is one. Usage: check-includes.sh SOURCE_ROOT
set -uo pipefail
cd "$1" || exit 2

status=0
# forbid FOLDER PATTERN WHY: no file in FOLDER may include a header that matches PATTERN.
forbid() {
    local found
    found=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]+\"($2)/" "$1" \
        --include='*.h' --include='*.cpp')
    if [ -n "$found" ]; then
        echo "$found" | sed "s|\$| ($3)|"
        status=1
    fi
}

above_calculation='analysis|report|ui|tableeditor|schematic|app'
forbid core "files|$above_calculation" "core reaches neither into the files nor above the calculation"
forbid files "$above_calculation" "the files are part of the calculation"
forbid equilibrium "$above_calculation" "the equilibrium is part of the calculation"
forbid analysis 'report|ui|tableeditor|schematic|app' "the analyses sit below the reports and the window"
forbid report 'ui|tableeditor|schematic|app' "the reports sit below the window and the programs"

[ $status -eq 0 ] && echo "include rules: kept"
exit $status

#!/usr/bin/env bash
# Runs the kill campaign (kill_campaign.cpp) beside a fresh copy of Tramo2.exe
# under Wine. Usage: kill_e2e.sh WINE_RUN TRAMO2_EXE CAMPAIGN_EXE [KILLS]
set -u
wine_run=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$2" "$work/Tramo2.exe"
cp "$3" "$work/kill_campaign.exe"
cd "$work" || exit 1
"$wine_run" ./kill_campaign.exe "${4:-30}"

#!/usr/bin/env bash
# Runs the setup programs under Wine in a fresh prefix as users and
# administrators would: a silent install by one setup, the installed program
# started and closed, a silent upgrade by the other setup over a running copy,
# a silent uninstall, then the same through the x64 setup's wizard, driven by
# key presses on the virtual display. The x64 setup runs everywhere; the
# 32-bit one where the machine executes 32-bit code, and then each upgrades
# the other. Screenshots of the wizard pages land in DIST/screenshots.
# Usage: installer_test.sh DIST_DIR HELPER_EXE
set -u
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run.sh
dist=$(realpath "$1")
helper_exe=$(realpath "$2")
version=$(sed -n 's/^#define TRAMO_VERSION_TEXT "\(.*\)"$/\1/p' "$here/../../src/support/program_version.h")
setup64=$dist/Tramo2-$version-x64-setup.exe
setup32=$dist/Tramo2-$version-setup.exe
shots=$dist/screenshots
rm -rf "$shots"
mkdir -p "$shots"

work=$(mktemp -d)
export WINEPREFIX=$work/prefix
# Processes of this prefix only: other trees run their own copies.
our_pids() {
  for pid in $(pgrep -f "$1"); do
    grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null && echo "$pid"
  done
}
cleanup() {
  "$wine_run" wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
wine_() { "$wine_run" "$@"; }
helper() { wine_ "$helper_exe" "$@"; }
tramo_running() { [ -n "$(our_pids 'Tramo2\.exe')" ]; }
wait_until() {  # wait_until SECONDS COMMAND...
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

# The prefix, with Wine drawing the window frames itself (no window manager).
wine_ reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
user=$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -n 1)
home_win="C:\\users\\$user"
inst_win="$home_win\\AppData\\Local\\Programs\\Tramo2"
inst=$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs/Tramo2
menu="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tramo2"
data=$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Tramo2
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tramo2'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
run_key_all='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'

# Each setup and its zip (unpacked into $work/MACHINE) hold programs of the
# setup's own bitness, by the PE header's machine field.
name_of() { [ "$1" = "$setup64" ] && echo x64 || echo 32-bit; }
packed() { [ "$1" = "$setup64" ] && echo "$work/8664/Tramo2" || echo "$work/014c/Tramo2"; }
for setup in "$setup64" "$setup32"; do
  machine=$(basename "$(dirname "$(packed "$setup")")")
  mkdir -p "$work/$machine" && (cd "$work/$machine" && cmake -E tar xf "${setup%-setup.exe}.zip") || fail "no zip of $setup"
  for program in "$setup" "$(packed "$setup")"/{Tramo2,tramo2-stats}.exe; do
    [ "$(od -An -tx2 -j $(($(od -An -tu4 -j 60 -N 4 "$program") + 4)) -N 2 "$program" | tr -d ' ')" = "$machine" ] ||
      fail "$program is not for $machine"
  done
done

# reg_value KEY NAME [/reg:32]: the value's data, empty when it is missing.
reg_value() {
  wine_ reg query "$1" /v "$2" ${3:+"$3"} 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, ""); print }'
}
plaintext() {
  wine_ "$(packed "$setup64")/tramo2-stats.exe" dump "$(ls "$data"/Tramo2_cvs*.eb | head -n 1 |
    sed 's|^|Z:|; s|/|\\|g')" | tr -d '\r'
}
# Every run in the log ended with its last flush (a period header after its
# session header) and its marker (no crash note after it, or the file's end);
# with "running" the last run is still going. The log is shut while the
# program writes: a few tries.
runs_ended_cleanly() { wait_until 10 log_shows_clean_runs "$@"; }
log_shows_clean_runs() {  # log_shows_clean_runs RUNS [running]
  local ended=$1
  [ "${2:-}" = running ] && ended=$(($1 - 1))
  [ "$ended" -lt "$1" ] || [ "$(tail -c 3 "$data"/Tramo2_cvs*.eb | od -An -c | tr -d ' ')" = '#\r\n' ] ||
    return 1
  plaintext | awk -v runs_expected="$1" -v ended="$ended" '
    /^#Program NEBYL korektne ukoncen/ { crash = 1 }
    /^#Seance dne: / { runs++; flushed[runs] = 0 }
    /^#Statistika od / { flushed[runs] = 1 }
    END {
      for (i = 1; i <= ended; i++) if (!flushed[i]) exit 1
      exit (crash || runs != runs_expected)
    }'
}
# wait_started: the next run of the program is up, its first flush written
# (it stores the start count); closing it earlier would race its start-up.
runs=0
wait_started() {
  runs=$((runs + 1))
  wait_until 30 ini_has "Spusteni=$runs" || fail "run $runs of the program did not start"
}
ini_has() { tr -d '\r' <"$data/Tramo2.ini" 2>/dev/null | grep -qx "$1"; }
start_installed() {
  (cd "$work" && wine_ "$inst_win\\Tramo2.exe" >/dev/null 2>&1 &)
  wait_started
}
check_installed() {  # check_installed WHAT SETUP
  for f in Tramo2.exe tramo2-stats.exe Readme.pdf; do
    cmp -s "$inst/$f" "$(packed "$2")/$f" || fail "$1: $f not installed as packed"
  done
  [ -f "$inst/Uninstall.exe" ] || fail "$1: no uninstaller"
  tr -d '\0' <"$menu/Tramo2.lnk" 2>/dev/null | grep -qaF 'Tramo2\Tramo2.exe' ||
    fail "$1: no Start-menu entry for the program"
  tr -d '\0' <"$menu/Nápověda Tramu2.lnk" 2>/dev/null | grep -qaF 'Tramo2\Readme.pdf' ||
    fail "$1: no Start-menu entry for the manual"
  local entry
  entry=$(wine_ reg query "$uninstall_key" 2>/dev/null | tr -d '\r')
  for expected in "DisplayName REG_SZ Tramo2" "DisplayVersion REG_SZ $version" \
                  "Publisher REG_SZ Tramo2" "DisplayIcon REG_SZ $inst_win\\Tramo2.exe,0" \
                  "InstallLocation REG_SZ $inst_win" \
                  "UninstallString REG_SZ \"$inst_win\\Uninstall.exe\"" \
                  "QuietUninstallString REG_SZ \"$inst_win\\Uninstall.exe\" /S"; do
    awk '{ $1 = $1; print }' <<<"$entry" | grep -qxF "$expected" ||
      fail "$1: uninstall entry lacks $expected"
  done
}
check_uninstalled() {
  [ ! -e "$inst" ] || fail "$1: program folder left: $(ls "$inst")"
  [ ! -e "$menu" ] || fail "$1: Start-menu folder left"
  wine_ reg query "$uninstall_key" >/dev/null 2>&1 && fail "$1: uninstall entry left"
  tramo_running && fail "$1: the program still runs"
  ini_has MinimalniCas=0 || fail "$1: the configuration in the data folder is gone"
}

our_command="\"$inst_win\\Tramo2.exe\" /mini"
# What older versions wrote: found as ours, quoted by an upgrade, removed.
old_command="$inst_win\\Tramo2.exe /mini"
# Both builds keep the all-users value in the 32-bit view.
all_users_value() { reg_value "$run_key_all" Tramo /reg:32; }
mkdir -p "$data"
printf '[FormNastaveniOptions]\r\nMinimalniCas=0\r\n' >"$data/Tramo2.ini"

# upgrade_scenario FIRST SECOND: installed by one setup, upgraded by the other
# over a running copy, uninstalled by the other's uninstaller.
upgrade_scenario() {
  local first=$1 second=$2 what
  what="$(name_of "$1") → $(name_of "$2")"

  # 1. Silent install for an administrator, with the start with the system.
  wine_ "$first" /S /AUTOSTART=1 || fail "$what: silent install failed"
  check_installed "$what: silent install" "$first"
  [ "$(reg_value "$run_key" Tramo)" = "$our_command" ] ||
    fail "$what: silent install: Run value is '$(reg_value "$run_key" Tramo)'"

  # 2. The installed program runs, agrees with the Run value and closes cleanly.
  start_installed
  # "Spustit v tomto profilu" (control 4, or 103 where controls count from 100)
  # writes the entry the setup wrote; then "Spustit u všech uživatelů" moves
  # it to the all-users value.
  helper menu TForm1 202 && helper wait-window TFormNastaveni 5000 &&
    { helper click TFormNastaveni 103 || helper click TFormNastaveni 4; } || fail "$what: no settings dialog"
  [ "$(reg_value "$run_key" Tramo)" = "$our_command" ] ||
    fail "$what: the settings dialog rewrote the Run value: '$(reg_value "$run_key" Tramo)'"
  { helper click TFormNastaveni 104 || helper click TFormNastaveni 5; } && [ "$(all_users_value)" = "$our_command" ] ||
    fail "$what: no all-users Run value: '$(all_users_value)'"
  helper close TForm1
  wait_until 30 eval '! tramo_running' || fail "$what: the installed program did not end"
  [ "$(tail -c 3 "$data"/Tramo2_cvs*.eb | od -An -c | tr -d ' ')" = '#\r\n' ] ||
    fail "$what: no clean-exit marker after closing the installed program"
  # Asking for the start with the system again adds no second entry.
  wine_ "$first" /S /AUTOSTART=1 || fail "$what: silent reinstall failed"
  [ -z "$(reg_value "$run_key" Tramo)" ] || fail "$what: a second autostart entry beside the all-users one"

  # 3. Silent upgrade over a running copy: closed with its data written, files
  # replaced, started again, settings, autostart and data kept.
  start_installed
  old_pid=$(our_pids 'Tramo2\.exe')
  wine_ reg add "$run_key_all" /v Tramo /d "$old_command" /reg:32 /f >/dev/null 2>&1 || fail "$what: no old Run value"
  printf 'older' >>"$inst/tramo2-stats.exe"
  wine_ "$second" /S || fail "$what: silent upgrade failed"
  # Wine's process may outlive its Windows side by a moment.
  wait_until 5 eval '! kill -0 $old_pid 2>/dev/null' || fail "$what: upgrade: the running copy was not closed"
  check_installed "$what: upgrade" "$second"
  wait_started
  tramo_running || fail "$what: upgrade: the program was not started again"
  # The copy was shown: it comes back shown.
  for pid in $(our_pids 'Tramo2\.exe'); do
    grep -qz mini "/proc/$pid/cmdline" && fail "$what: upgrade: the shown copy came back hidden"
  done
  [ "$(all_users_value)" = "$our_command" ] && [ -z "$(reg_value "$run_key" Tramo)" ] ||
    fail "$what: upgrade: autostart not kept as it was"
  runs_ended_cleanly $runs running || fail "$what: upgrade: the closed copy left no last flush or marker: $(plaintext)"

  # 4. Silent uninstall: the running copy closed, everything of the program
  # gone (its all-users entry too), the data and another copy's entries kept.
  other_copy='C:\Portable\Tramo2.exe /mini'
  wine_ reg add "$run_key" /v Tramo /d "$other_copy" /f >/dev/null 2>&1
  wine_ reg add "$run_key_all" /v Tramo /d "$old_command" /reg:32 /f >/dev/null 2>&1 || fail "$what: no old Run value"
  # Startup shortcuts as the program writes them when the Run key fails: one
  # to this copy (per user), one to something else (all users).
  # (The folders as the prefix spells them: a "Startup" beside "StartUp" is not seen.)
  startup="$(dirname "$menu")/StartUp/Tramo2.lnk"
  startup_all="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/StartUp/Tramo2.lnk"
  cp "$menu/Tramo2.lnk" "$startup"
  cp "$menu/Nápověda Tramu2.lnk" "$startup_all"
  wine_ "$inst_win\\Uninstall.exe" /S || fail "$what: silent uninstall failed"
  # The uninstaller works from a copy of itself in the temporary folder; its
  # last step removes the uninstall entry.
  wait_until 30 eval '! wine_ reg query "$uninstall_key" >/dev/null 2>&1' ||
    fail "$what: silent uninstall did not finish"
  check_uninstalled "$what: silent uninstall"
  [ -z "$(all_users_value)" ] || fail "$what: uninstall left the all-users Run value"
  [ "$(reg_value "$run_key" Tramo)" = "$other_copy" ] || fail "$what: uninstall removed another copy's Run value"
  [ ! -e "$startup" ] || fail "$what: uninstall left the Startup shortcut"
  [ -e "$startup_all" ] || fail "$what: uninstall removed a Startup shortcut to something else"
  runs_ended_cleanly $runs || fail "$what: uninstall: the closed copy left no last flush or marker"
  wine_ reg delete "$run_key" /v Tramo /f >/dev/null 2>&1
}

bash "$here/../../scripts/runs-32bit-code.sh"
case $? in
  0) covered="x64 setup; 32-bit setup; upgrade 32-bit → x64 and x64 → 32-bit"
     upgrade_scenario "$setup32" "$setup64"
     upgrade_scenario "$setup64" "$setup32" ;;
  1) skipped="; 32-bit setup skipped: this machine cannot execute 32-bit code"
     echo "installer: ${skipped#; }"
     covered="x64 setup; upgrade x64 → x64"
     upgrade_scenario "$setup64" "$setup64" ;;
  *) fail "the probe for 32-bit code failed" ;;
esac

# 5. The wizard, page by page, as a user: each key press must change the page.
page=0
last_shot=
# wizard_page CAPTION NAME KEY...: photographs the page that follows the last
# one, then presses the keys. A page whose name ends in "progress" must also
# have stopped changing (the caller waits for its work to be done).
wizard_page() {
  local caption=$1 name=$2 window shot previous=$work/previous.png
  shift 2
  page=$((page + 1))
  shot=$shots/$(printf '%02d' "$page")-$name.png
  rm -f "$previous"
  for _ in $(seq 30); do
    window=$(xdotool search --onlyvisible --name "^$caption" 2>/dev/null | head -n 1)
    if [ -n "$window" ]; then
      xdotool windowraise "$window" windowfocus --sync "$window" 2>/dev/null
      helper screenshot '#32770' "$(sed 's|^|Z:|; s|/|\\|g' <<<"$shot")"
      if [ -s "$shot" ] && ! cmp -s "$shot" "$last_shot"; then
        [[ $name != *progress ]] || cmp -s "$shot" "$previous" && break
        cp "$shot" "$previous"
      fi
    fi
    sleep 0.2
  done
  [ -s "$shot" ] && ! cmp -s "$shot" "$last_shot" || { fail "wizard page $name did not appear"; return 1; }
  last_shot=$shot
  [ $# -eq 0 ] || xdotool key --delay 100 "$@"
}
export DISPLAY=${DISPLAY:-:${WINE_RUN_SCREEN:-87}}
(cd "$work" && wine_ "$setup64" >/dev/null 2>&1 &)
helper wait-window '#32770' 30000 || fail "no wizard"
wizard_page 'Instalace Tramo2' welcome Return &&
  wizard_page 'Instalace Tramo2' folder Return &&
  wizard_page 'Instalace Tramo2' options space &&
  wizard_page 'Instalace Tramo2' options-ticked Return &&
  # Its last step writes the Run value.
  wait_until 30 eval '[ -n "$(reg_value "$run_key" Tramo)" ]' &&
  wizard_page 'Instalace Tramo2' progress Return &&
  wizard_page 'Instalace Tramo2' finish Return
wait_until 30 eval '[ -z "$(our_pids setup\.exe)" ]' || fail "the wizard did not end"
check_installed "wizard install" "$setup64"
[ "$(reg_value "$run_key" Tramo)" = "$our_command" ] ||
  fail "wizard install: the ticked option wrote no Run value"
wait_started
tramo_running || fail "the finish page did not start the program"

(cd "$work" && wine_ "$inst_win\\Uninstall.exe" >/dev/null 2>&1 &)
wizard_page 'Odinstalace Tramo2' uninstall-confirm Return &&
  # Its last step removes the uninstall entry.
  wait_until 30 eval '! wine_ reg query "$uninstall_key" >/dev/null 2>&1' &&
  wizard_page 'Odinstalace Tramo2' uninstall-progress Return &&
  wizard_page 'Odinstalace Tramo2' uninstall-finish Return
wait_until 30 eval '[ ! -e "$inst" ]' || fail "the uninstall wizard did not finish"
check_uninstalled "wizard uninstall"
[ -z "$(reg_value "$run_key" Tramo)" ] || fail "wizard uninstall: Run value left"
runs_ended_cleanly $runs || fail "wizard uninstall: the closed copy left no last flush or marker"

if [ "$failures" -gt 0 ]; then
  echo "$failures installer checks failed" >&2
  exit 1
fi
echo "installer: all checks passed ($covered; $page wizard pages in $shots${skipped:-})"

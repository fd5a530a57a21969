# Shared steps of the window scenarios, sourced by ui_e2e.sh. Input goes
# through e2e_helper's SendInput, state is read from outside by the same
# helper; one helper process answers a whole group of scenarios.
# Needs: wine_run, work (the program's folder), shots.

passed=0
failed=0
pending=0
failed_names=()

# --- the helper: one command a line, arguments separated by tabs --------------

start_helper() {
  coproc HELPER { "$wine_run" ./e2e_helper.exe serve 2>/dev/null; }
  # Copies that pipelines (subshells) may use as well.
  exec {to_helper}>&"${HELPER[1]}" {from_helper}<&"${HELPER[0]}"
}
stop_helper() {
  local pid=$HELPER_PID
  eval "exec ${to_helper}>&- ${HELPER[1]}>&-"
  wait "$pid" 2>/dev/null
}

# Runs one helper command; its output lands in ANSWER (UTF-8), its status is returned.
ask() {
  local line rc=2 out=""
  (IFS=$'\t'; printf '%s\n' "$*") >&"$to_helper"
  while IFS= read -r line <&"$from_helper"; do
    line=${line%$'\r'}
    [ "$line" = . ] && break
    case $line in
      "rc "*) rc=${line#rc } ;;
      *) out+=$line$'\n' ;;
    esac
  done
  ANSWER=$(printf '%s' "$out")
  return "$rc"
}

winpath() { echo "Z:$(realpath -m "$1" | tr / '\\')"; }

# --- reading the windows --------------------------------------------------------

# info WIN [CTRL]: INFO=(visible enabled focused checked left top width height
# min-width min-height), INFO_TEXT the window text.
info() {
  ask info "$1" "${2:-}" || { INFO=(); INFO_TEXT=""; return 1; }
  read -r -a INFO <<<"${ANSWER%%|*}"
  INFO_TEXT=${ANSWER#*|}
}
visible() { info "$@" && [ "${INFO[0]}" = 1 ]; }
hidden() { ! visible "$@"; }
enabled() { info "$@" && [ "${INFO[1]}" = 1 ]; }
disabled() { info "$@" && [ "${INFO[1]}" = 0 ]; }
checked() { info "$@" && [ "${INFO[3]}" = 1 ]; }
unchecked() { info "$@" && [ "${INFO[3]}" = 0 ]; }
text_is() { info "$1" "$2" && [ "$INFO_TEXT" = "$3" ]; }
focus_is() { ask focus "$1" && [ "${ANSWER%%|*}" = "$2" ]; }
foreground_is() { ask foreground && [ "${ANSWER%%|*}" = "$1" ]; }
calendar_is() { ask calendar "$1" "$2" && [ "$ANSWER" = "$3" ]; }
# LIST=(count top focused selected) of the main window's list.
list_state() { ask list TForm1 && read -r -a LIST <<<"$ANSWER"; }
row_text() { ask row TForm1 "$1" && ROW=$ANSWER; }
# STATUS=(left width text-width) and STATUS_TEXT of status-bar part N.
status_part() {
  ask status TForm1 "$1" || return 1
  read -r -a STATUS <<<"${ANSWER%%|*}"
  STATUS_TEXT=${ANSWER#*|}
}
status_starts() { status_part 2 && [[ $STATUS_TEXT == "$1"* ]]; }
tramo_running() { kill -0 "$tramo_pid" 2>/dev/null; }
tramo_ended() { ! tramo_running; }

# Runs the command until it succeeds, for at most E2E_WAIT seconds (default 5).
eventually() {
  local tries=$(( ${E2E_WAIT:-5} * 10 ))
  while ! "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

# --- checks -----------------------------------------------------------------------

fail() {
  echo "    FAIL [$scenario] $*" >&2
  scenario_failed=1
}
# check DESCRIPTION COMMAND...: the command must succeed (soon).
check() {
  local what=$1
  shift
  eventually "$@" || fail "$what"
}
# check_now DESCRIPTION COMMAND...: the command must succeed at once.
check_now() {
  local what=$1
  shift
  "$@" || fail "$what"
}

# --- input, one screenshot per step ------------------------------------------------

shot() {
  step_no=$((step_no + 1))
  local file
  file=$(printf '%s/%s/%02d-%s.png' "$shots" "$scenario" "$step_no" "$2")
  ask shot "$1" "$(winpath "$file")" || true
}
# press WIN KEY...: keys into the window brought forward.
press() {
  local window=$1
  shift
  ask key "$window" "$@" || fail "keys $* not sent to $window"
  sleep 0.05
  shot "$window" "key-$(echo "$*" | tr ' +' '--')"
}
# typ WIN TEXT
typ() {
  ask type "$1" "$2" || fail "text $2 not typed into $1"
  sleep 0.05
  shot "$1" "type"
}
# click WIN CTRL [click|double|right] [X Y]
click() {
  ask mouse "$1" "$2" "${3:-click}" "${4:-}" "${5:-}" || fail "no $2 in $1 to click"
  sleep 0.05
  shot "$1" "${3:-click}-$(echo "$2" | tr -c 'A-Za-z0-9' '-' | cut -c1-24)"
}
# Replaces the text of a field as a person does: click, select all, type.
retype() {
  click "$1" "$2"
  press "$1" Home shift+End Delete
  [ -z "$3" ] || typ "$1" "$3"
}
# A menu command by keyboard: F10, then the keys that reach the item.
menu() {
  press TForm1 F10 "$@" Return
}

# --- the program ----------------------------------------------------------------------

kill_tramo() {
  for pid in $(pgrep -f '^\./Tramo2\.exe'); do
    [ "$(readlink "/proc/$pid/cwd")" = "$work" ] && kill -9 "$pid"
  done
}
wait_exit() {
  for _ in $(seq 150); do
    kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null; return 0; }
    sleep 0.1
  done
  return 1
}
start_tramo() {
  "$wine_run" ./Tramo2.exe "$@" >/dev/null 2>&1 &
  tramo_pid=$!
  E2E_WAIT=30 eventually ask wait-window TForm1 100 || { echo "main window did not appear" >&2; return 1; }
  # The deferred start-up has run once the start time is on the status bar.
  [ "${START_WAITS_STATUS:-1}" = 1 ] || return 0
  E2E_WAIT=30 eventually status_nonempty 0
}
status_nonempty() { status_part "$1" && [ -n "$STATUS_TEXT" ]; }
# Closes the main window as a person does (Alt+F4) and waits for the end.
close_tramo() {
  tramo_running || return 0
  ask key TForm1 alt+F4
  wait_exit "$tramo_pid" || { fail "the program did not end after Alt+F4"; stop_tramo; }
}
# Ends the program without its close sequence.
stop_tramo() {
  kill_tramo
  wait_exit "$tramo_pid"
}

# Hides what a failed scenario may have left open, so that the next one starts clean.
tidy() {
  local window
  for window in "#32768" "#32770"; do
    visible "$window" && ask key "$window" Escape
  done
  for window in TFormAbout TFormDebugLog TFormNastaveni TForm2; do
    visible "$window" && ask key "$window" alt+F4
  done
  hidden TForm1 && ask key TForm1 ctrl+alt+shift+f
  sleep 0.2
}

# --- scenarios ---------------------------------------------------------------------------

# run NAME [pending WHY]: runs scenario function sc_NAME. A pending scenario
# guards a fix that has not landed: it is not run (nor counted as passing)
# unless E2E_PENDING is set. E2E_ONLY (a pattern) runs only matching scenarios.
run() {
  scenario=$1${DPI_TAG:-}
  step_no=0
  scenario_failed=0
  if [ -n "${E2E_ONLY:-}" ] && [[ ! $1 =~ $E2E_ONLY ]]; then return 0; fi
  local mark=""
  if [ "${2:-}" = pending ]; then
    if [ -z "${E2E_PENDING:-}" ]; then
      echo "PENDING $1 ($3): not run"
      pending=$((pending + 1))
      return 0
    fi
    mark=" (pending: $3)"
  fi
  mkdir -p "$shots/$scenario"
  local began=$SECONDS
  "sc_$1"
  tramo_running && tidy
  if [ "$scenario_failed" = 0 ]; then
    echo "ok      $scenario$mark ($((SECONDS - began)) s)"
    passed=$((passed + 1))
  else
    echo "FAILED  $scenario$mark"
    failed=$((failed + 1))
    failed_names+=("$scenario")
  fi
}

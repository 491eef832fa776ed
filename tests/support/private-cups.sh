#!/usr/bin/env bash
# A private CUPS server for the printing tests (and for trying printing by hand): its own
# socket and folders under DIR, nothing of the machine's own CUPS touched.
#   eval "$(tests/support/private-cups.sh start /tmp/pc)"   # exports CUPS_SERVER
#   lp -d fuji page.pdf
#   /tmp/pc/spool/d00001-001   the document exactly as it was handed over (PreserveJobFiles)
#   /tmp/pc/out/fuji.prn       what the driver made of it, as the printer would get it
#   tests/support/private-cups.sh stop /tmp/pc
# Queues, enabled and accepting, each writing the driver's output to a file (the last job's):
#   fuji  cups-filters' Fuji Xerox DocuPrint CM305 df PDF driver: 11.6 pt hardware margins,
#         custom page sizes, output is PDF
#   pxl   cups-filters' pxlmono (HP PCL 6) driver: 12 pt margins, no custom sizes, Letter
#         by default, output is PCL XL
# A failing filter aborts its job instead of stopping the queue, so one bad job does not
# turn into "stopped" for the next. DIR and its parents must be searchable by the user lp.
set -eu

usage() { echo "usage: private-cups.sh start|stop DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
DIR=$(realpath -m "$2")
PPD=/usr/share/ppd/cupsfilters

case "$1" in
start)
  [ -x /usr/sbin/cupsd ] || { echo "cupsd is not installed" >&2; exit 3; }
  for f in "$PPD/Fuji_Xerox-DocuPrint_CM305_df-PDF.ppd" "$PPD/pxlmono.ppd"; do
    [ -r "$f" ] || { echo "missing driver file $f (package cups-filters)" >&2; exit 3; }
  done
  # Filters run as lp: a root folder that others cannot search (a chroot made with
  # mktemp -d has mode 700) would fail every job only after the scheduler's retries.
  if [ "$(id -u)" -eq 0 ] && ! su -s /bin/sh lp -c "test -x /usr/lib/cups/filter/pdftopdf && cd /" 2>/dev/null; then
    echo "the user lp cannot reach /usr/lib/cups/filter (is / mode $(stat -c %a /)?): CUPS filters cannot run" >&2
    exit 3
  fi
  # A server left from an earlier run in the same folder goes first.
  if [ -f "$DIR/cupsd.pid" ]; then "$0" stop "$DIR"; fi
  mkdir -p "$DIR"/{log,spool,cache,state,out,serverroot/ppd}
  chmod 755 "$DIR" "$DIR/log" "$DIR/serverroot" "$DIR/serverroot/ppd"
  if [ "$(id -u)" -eq 0 ]; then
    user=lp group=lp
    chown root:lp "$DIR/spool" "$DIR/cache" "$DIR/state" "$DIR/out"
    chmod 770 "$DIR/spool" "$DIR/cache" "$DIR/state" "$DIR/out"
  else
    # Without root, cupsd cannot change user: filters run as the caller.
    user=$(id -un) group=$(id -gn)
    chmod 700 "$DIR/spool" "$DIR/cache" "$DIR/state" "$DIR/out"
  fi
  cat >"$DIR/cupsd.conf" <<EOF
Listen $DIR/cups.sock
LogLevel info
PreserveJobFiles Yes
PreserveJobHistory Yes
MaxJobs 0
Browsing No
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
  cat >"$DIR/cups-files.conf" <<EOF
ServerRoot $DIR/serverroot
RequestRoot $DIR/spool
CacheDir $DIR/cache
StateDir $DIR/state
AccessLog $DIR/log/access_log
ErrorLog $DIR/log/error_log
PageLog $DIR/log/page_log
Printcap $DIR/state/printcap
FileDevice Yes
User $user
Group $group
Sandboxing relaxed
EOF
  export CUPS_SERVER="$DIR/cups.sock"
  setsid /usr/sbin/cupsd -f -c "$DIR/cupsd.conf" -s "$DIR/cups-files.conf" \
    >"$DIR/log/cupsd.out" 2>&1 </dev/null &
  echo $! >"$DIR/cupsd.pid"
  running() { [ -S "$CUPS_SERVER" ] && LC_ALL=C lpstat -r 2>/dev/null | grep -qx "scheduler is running"; }
  for _ in $(seq 100); do
    running && break
    kill -0 "$(cat "$DIR/cupsd.pid")" 2>/dev/null || break
    sleep 0.05
  done
  if ! running; then
    echo "cupsd did not start:" >&2
    cat "$DIR/log/cupsd.out" "$DIR/log/error_log" >&2 2>/dev/null || true
    "$0" stop "$DIR"
    exit 1
  fi
  # lpadmin warns on every PPD that drivers are deprecated; only a real failure is shown.
  queue() {
    local out
    out=$(lpadmin -p "$1" -E -v "file://$DIR/out/$1.prn" -P "$2" -o printer-error-policy=abort-job 2>&1) \
      || { echo "$out" >&2; "$0" stop "$DIR"; exit 1; }
  }
  queue fuji "$PPD/Fuji_Xerox-DocuPrint_CM305_df-PDF.ppd"
  queue pxl "$PPD/pxlmono.ppd"
  echo "export CUPS_SERVER=$CUPS_SERVER"
  ;;
stop)
  if [ -f "$DIR/cupsd.pid" ]; then
    pid=$(cat "$DIR/cupsd.pid")
    if kill "$pid" 2>/dev/null; then
      for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
      kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$DIR/cupsd.pid"
  fi
  ;;
*) usage ;;
esac

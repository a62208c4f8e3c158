#!/bin/bash
# Times Varnelo beside JDim on the same local 2ch-style board, as a reader sees it on the screen.
# See README.md in this folder. Needs root (nginx on port 80, a line in /etc/hosts), Xvfb, jdim,
# nginx, python3, g++ with the X11, Xext and Xtst headers.
#
#   bench/side_by_side/run.sh [RUNS] [WORKDIR]
#
# Environment: VARNELO (the program, default build/gui/varnelo), DISPLAY_JDIM (:73),
# DISPLAY_VARNELO (:74), BOARD_HOST (sbs.bench.jp), ONLY (jdim or varnelo: time one program).
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
RUNS=${1:-5}
WORK=${2:-/tmp/side_by_side}
VARNELO=${VARNELO:-$HERE/../../build/gui/varnelo}
DJ=${DISPLAY_JDIM:-:73}
DV=${DISPLAY_VARNELO:-:74}
HOST=${BOARD_HOST:-sbs.bench.jp}
ONLY=${ONLY:-}
WWW=$WORK/www
RESULTS=$WORK/results.txt
BIG=1700000000
SMALL=1700000001
TABS=$(seq 1700000100 1700000110)
STARTED=()

# Where each program's thread view lies on its 1280x900 screen (x,y,w,h), its address bar, the
# folder it keeps its settings in.
VIEW_JDIM=192,160,1086,716
VIEW_VARNELO=196,244,895,514
ADDRESS_JDIM="700 50"
ADDRESS_VARNELO="180 43"
BLANK_JDIM="1255 500"       # a place in the view right of the text, away from links
BLANK_VARNELO="1077 500"

say() { echo "[$(date +%T)] $*" >&2; }

cleanup() {
    for pid in "${STARTED[@]}"; do kill "$pid" 2>/dev/null; done
    sed -i "/^127\.0\.0\.1 $HOST\$/d" /etc/hosts
}
trap cleanup EXIT

LASTPID=""
start_bg() {   # start_bg LOGFILE COMMAND...: a process of ours (LASTPID), remembered for the cleanup
    local log=$1; shift
    setsid "$@" >"$log" 2>&1 &
    LASTPID=$!
    STARTED+=("$LASTPID")
}

setup_board() {
    rm -rf "$WORK" && mkdir -p "$WWW" "$WORK/frames"
    python3 "$HERE/board.py" make "$WWW" "$HOST"
    cat >"$WORK/nginx.conf" <<EOF
daemon off;
master_process off;
worker_processes 1;
pid $WORK/nginx.pid;
error_log $WORK/nginx-error.log;
events { worker_connections 256; }
http {
  access_log $WORK/access.log;
  client_body_temp_path $WORK/t1; proxy_temp_path $WORK/t2; fastcgi_temp_path $WORK/t3;
  uwsgi_temp_path $WORK/t4; scgi_temp_path $WORK/t5;
  types { text/plain txt dat; text/html html; }
  default_type application/octet-stream;
  server { listen 127.0.0.1:80; root $WWW; }
}
EOF
    start_bg "$WORK/nginx.out" /usr/sbin/nginx -p "$WORK/" -c "$WORK/nginx.conf" -e "$WORK/nginx-error.log"
    grep -q "^127\.0\.0\.1 $HOST\$" /etc/hosts || echo "127.0.0.1 $HOST" >>/etc/hosts
    sleep 1
    curl -sf "http://$HOST/bench/subject.txt" >/dev/null || { say "the board does not answer on http://$HOST/"; exit 1; }
}

setup_screens() {
    g++ -O2 -std=c++17 -o "$WORK/screenwatch" "$HERE/screenwatch.cpp" -lX11 -lXext -lXtst || exit 1
    start_bg "$WORK/xvfb-jdim.log" Xvfb "$DJ" -screen 0 1280x900x24 -nolisten tcp
    start_bg "$WORK/xvfb-varnelo.log" Xvfb "$DV" -screen 0 1280x900x24 -nolisten tcp
    sleep 1
}

# JDim reads the board as an outside board (its 外部板追加 writes etc.txt so) and the board menu
# from the local server; the hint shown at a thread's first open is turned off as its check box does.
template_jdim() {
    mkdir -p "$WORK/jdim.template"
    printf 'url_bbsmenu = http://%s/bbsmenu.html\ninstruct_tglart = 0\n' "$HOST" >"$WORK/jdim.template/jd.conf"
    printf 'keisoku\nhttp://%s/bench/\nbench\n' "$HOST" >"$WORK/jdim.template/etc.txt"
}

# Varnelo reads the board through a site of the 2ch-compatible type that claims the host (what
# ファイル → BBSのセットアップ installs); the window fills the screen with the thread view large.
template_varnelo() {
    local home=$WORK/varnelo.template
    DISPLAY=$DV VARNELO_HOME=$home QTWEBENGINE_DISABLE_SANDBOX=1 start_bg "$WORK/varnelo-seed.log" "$VARNELO"
    sleep 8
    kill "$LASTPID"; sleep 2
    python3 - "$home" "$HOST" <<'EOF'
import re, sys
root, host = sys.argv[1] + "/", sys.argv[2]
def write(rel, text):
    import os
    os.makedirs(os.path.dirname(root + rel), exist_ok=True)
    open(root + rel, "wb").write(text.encode("cp932"))
write("config/sitelist.ini", "[SITE]\r\nCOUNT=3\r\nSITE1=bench\r\nSITE2=2ch\r\nSITE3=machibbs\r\n")
write("config/site/bench/site.ini", "[SITE]\r\nSITEID=bench\r\nNAME=計測\r\nBBSTYPE=2chscript\r\nCHARSET=SJIS\r\n"
      "[INCLUDE]\r\n1=http://%s/*\r\n" % host)
write("config/site/bench/board.dat", "2\r\n計測\r\n\t%s\tbench\t計測板\r\n" % host)
path = root + "users/defuser/kpw.ini"
text = open(path, "rb").read().decode("cp932")
place = {"LEFT": 0, "TOP": 0, "WIDTH": 1280, "HEIGHT": 900, "BOARDLISTWIDTH": 190, "THREADLISTHEIGHT": 60,
         "MESSAGEHEIGHT": 40, "THREADINFOWIDTH": 0, "WINDOWSTATE": 0}
for key in place:
    text = re.sub(r"(?m)^%s=.*\r\n" % key, "", text)
text = text.replace("[DESKTOP]\r\n", "[DESKTOP]\r\n" + "".join("%s=%d\r\n" % kv for kv in place.items()), 1)
open(path, "wb").write(text.encode("cp932"))
EOF
}

# ---- one program's session ----
PROGRAM=""; DISPLAY_NOW=""; VIEW=""; ADDRESS=""; BLANK=""; PID=""

start_program() {   # start_program jdim|varnelo
    PROGRAM=$1
    for key in $BIG $SMALL $TABS; do python3 "$HERE/board.py" reset "$WWW" "$key"; done
    rm -rf "$WORK/$PROGRAM.home" && cp -a "$WORK/$PROGRAM.template" "$WORK/$PROGRAM.home"
    if [ "$PROGRAM" = jdim ]; then
        DISPLAY_NOW=$DJ; VIEW=$VIEW_JDIM; ADDRESS=$ADDRESS_JDIM; BLANK=$BLANK_JDIM
        DISPLAY=$DJ JDIM_CACHE=$WORK/jdim.home start_bg "$WORK/jdim.log" jdim -s -g 1280x900-0+0
        PID=$LASTPID
        sleep 4
    else
        DISPLAY_NOW=$DV; VIEW=$VIEW_VARNELO; ADDRESS=$ADDRESS_VARNELO; BLANK=$BLANK_VARNELO
        DISPLAY=$DV VARNELO_HOME=$WORK/varnelo.home QTWEBENGINE_DISABLE_SANDBOX=1 \
            start_bg "$WORK/varnelo.log" "$VARNELO"
        PID=$LASTPID
        sleep 8
    fi
}

stop_program() {
    kill "$PID" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$PID" 2>/dev/null
}

# watch AIM ACTION: sends the action, waits until the view settles and records the result.
watch() {
    local aim=$1 action=$2
    local dir="$WORK/frames/$PROGRAM-$RUN-$aim"
    if ! kill -0 "$PID" 2>/dev/null; then
        say "$PROGRAM is gone (see $WORK/$PROGRAM.log): $aim not timed in run $RUN"
        return
    fi
    mkdir -p "$dir"
    "$WORK/screenwatch" "$DISPLAY_NOW" "$VIEW" "$action" --quiet 1500 --frames "$dir" >"$dir/frames.txt"
    local head least
    head=$(head -1 "$dir/frames.txt")
    least=$(awk '/^frame/ { sub("filled=", "", $4); if (min == "" || $4 < min) min = $4 } END { print (min == "" ? "-" : min) }' "$dir/frames.txt")
    echo "$PROGRAM $RUN $aim $head least_filled=$least" | tee -a "$RESULTS" >&2
}

settle() { "$WORK/screenwatch" "$DISPLAY_NOW" "$VIEW" none --quiet 800 --timeout 5000 >/dev/null; }

type_address() {   # the URL typed into the address bar, Return not yet pressed
    DISPLAY=$DISPLAY_NOW xdotool mousemove $ADDRESS click 1 key ctrl+a
    DISPLAY=$DISPLAY_NOW xdotool type --delay 1 "$1"
    sleep 0.3
}

thread_url() { echo "http://$HOST/test/read.cgi/bench/$1/"; }

key() { DISPLAY=$DISPLAY_NOW xdotool key "$1"; settle; }

# The reader has read to the end: the view has the focus and shows the last responses.
read_to_end() {
    DISPLAY=$DISPLAY_NOW xdotool mousemove $BLANK click 1
    key End
}

session() {   # session jdim|varnelo: every aim once
    start_program "$1"
    say "$PROGRAM run $RUN"
    type_address "$(thread_url $BIG)"
    watch a_open_server key:Return
    read_to_end
    python3 "$HERE/board.py" append "$WWW" $BIG 10
    watch c_first_f5 key:F5
    read_to_end
    python3 "$HERE/board.py" append "$WWW" $BIG 10
    watch d_second_f5 key:F5
    type_address "$(thread_url $SMALL)"
    watch open_small key:Return
    read_to_end
    python3 "$HERE/board.py" append "$WWW" $SMALL 10
    watch e_f5_small key:F5
    key ctrl+w                      # the short thread's tab, then the long one's
    key ctrl+w
    type_address "$(thread_url $BIG)"
    watch b_open_log key:Return
    for tab in $TABS; do
        type_address "$(thread_url "$tab")"
        watch "open_tab_$tab" key:Return
    done
    watch f_tab_back key:ctrl+Tab   # from the newest tab round to the oldest
    DISPLAY=$DISPLAY_NOW import -window root "$WORK/frames/$PROGRAM-$RUN-end.png"
    stop_program
}

summary() {
    python3 - "$RESULTS" <<'EOF'
import re, statistics, sys
rows = {}
for line in open(sys.argv[1]):
    prog, run, aim, rest = line.split(" ", 3)
    last = float(re.search(r"last_ms=(-?[\d.]+)", rest).group(1))
    if last < 0:
        continue   # the view never changed: not a time
    least = re.search(r"least_filled=(\S+)", rest).group(1)
    rows.setdefault((aim, prog), []).append((last, least))
aims = ["a_open_server", "b_open_log", "c_first_f5", "d_second_f5", "e_f5_small", "f_tab_back"]
print("| aim | JDim median ms | Varnelo median ms | ratio | Varnelo least filled share |")
print("|---|---|---|---|---|")
for aim in aims:
    j = [v for v, _ in rows.get((aim, "jdim"), [])]
    v = [x for x, _ in rows.get((aim, "varnelo"), [])]
    jm = statistics.median(j) if j else float("nan")
    vm = statistics.median(v) if v else float("nan")
    least = min((f for _, f in rows.get((aim, "varnelo"), []) if f != "-"), default="-")
    print("| %s | %.0f | %.0f | %.2f | %s |" % (aim, jm, vm, vm / jm if jm else float("nan"), least))
EOF
}

setup_board
setup_screens
template_jdim
template_varnelo
: >"$RESULTS"
for RUN in $(seq "$RUNS"); do
    if [ $((RUN % 2)) = 1 ]; then order="jdim varnelo"; else order="varnelo jdim"; fi
    for program in $order; do
        [ -n "$ONLY" ] && [ "$ONLY" != "$program" ] && continue
        session "$program"
    done
done
summary | tee "$WORK/summary.md"

#!/usr/bin/env bash
# Helpers to keep folders in step with two (or more) Syncthing instances that talk to each
# other over 127.0.0.1 only: no discovery, relays, NAT traversal, usage or crash reports, no
# upgrades. Source after lib.sh; uses e2e_wait, e2e_fail, e2e_log, E2E_TMP and E2E_PIDS.
#
#   sync_init
#   sync_create a "$folder_a"      # a home for instance "a" syncing that folder
#   sync_create b "$folder_b"
#   sync_configure_pair a b         # a dials b; b lists a as dynamic
#   sync_start_pair a b             # starts b (the listener), then a; waits until connected
#   sync_wait_in_sync 20 a b        # same files on both sides, both idle and complete
#   sync_pause a b / sync_resume a b
#
# Every instance is stopped by its process id on exit (lib.sh's cleanup).

SYNC_FOLDER_ID=palettes
declare -A SYNC_HOME=() SYNC_DATA=() SYNC_ID=() SYNC_PORT=() SYNC_GUI=() SYNC_KEY=() SYNC_PID=()

sync_init() {
    local tool
    for tool in syncthing curl jq python3; do
        command -v "$tool" >/dev/null || e2e_fail "missing tool: $tool (scripts/install-deps.sh --test)"
    done
    SYNC_DIR="$E2E_TMP/sync"
    mkdir -p "$SYNC_DIR"
}

# sync_on_fail: the end of each instance's log, for e2e_fail.
sync_on_fail() {
    local name
    for name in "${!SYNC_HOME[@]}"; do
        echo "--- syncthing $name (${SYNC_ID[$name]:0:7}) ---" >&2
        tail -n 30 "$SYNC_DIR/$name.log" >&2 2>/dev/null || true
    done
}

# sync_free_port VAR: sets VAR to a loopback port nobody listens on and that this run has not
# handed out. Not in a subshell, so the record of ports handed out stays. Below the kernel's
# range for outgoing connections, so a connection made by another test meanwhile cannot take it.
SYNC_TAKEN_PORTS=" "
sync_free_port() {
    local candidate tries low=20000 high
    high=$(cut -f1 /proc/sys/net/ipv4/ip_local_port_range 2>/dev/null || echo 32768)
    ((high > low + 1000)) || high=$((low + 10000))
    for ((tries = 0; tries < 200; tries++)); do
        candidate=$((low + RANDOM % (high - low)))
        [[ "$SYNC_TAKEN_PORTS" == *" $candidate "* ]] && continue
        if ! (: <"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
            SYNC_TAKEN_PORTS+="$candidate "
            printf -v "$1" '%s' "$candidate"
            return 0
        fi
    done
    return 1
}

# sync_create NAME FOLDER: a fresh Syncthing home for instance NAME whose shared folder is
# FOLDER (created, with its marker). Reads its device id; picks its ports and API key.
sync_create() {
    local name=$1 folder=$2 home="$SYNC_DIR/home-$1"
    syncthing generate --home="$home" --no-default-folder --skip-port-probing \
        >"$SYNC_DIR/$name.generate.log" 2>&1 ||
        e2e_fail "syncthing generate failed: $(cat "$SYNC_DIR/$name.generate.log")"
    SYNC_HOME[$name]=$home
    SYNC_DATA[$name]=$folder
    SYNC_ID[$name]=$(syncthing serve --home="$home" --device-id) || e2e_fail "no device id for $name"
    local port
    sync_free_port port || e2e_fail "no free port"
    SYNC_PORT[$name]=$port
    sync_free_port port || e2e_fail "no free port"
    SYNC_GUI[$name]=$port
    SYNC_KEY[$name]=$(head -c 24 /dev/urandom | od -An -tx1 | tr -d ' \n')
    mkdir -p "$folder/.stfolder"
}

# sync_configure_pair DIALER LISTENER: writes both configurations. Each shares the folder
# with the other; only DIALER has the other's address, LISTENER lists it as "dynamic".
sync_configure_pair() {
    local a=$1 b=$2
    python3 - "$SYNC_FOLDER_ID" \
        "${SYNC_HOME[$a]}" "$a" "${SYNC_ID[$a]}" "${SYNC_PORT[$a]}" "${SYNC_GUI[$a]}" \
        "${SYNC_KEY[$a]}" "${SYNC_DATA[$a]}" "tcp://127.0.0.1:${SYNC_PORT[$b]}" \
        "${SYNC_HOME[$b]}" "$b" "${SYNC_ID[$b]}" "${SYNC_PORT[$b]}" "${SYNC_GUI[$b]}" \
        "${SYNC_KEY[$b]}" "${SYNC_DATA[$b]}" "dynamic" <<'PY' || e2e_fail "could not write the Syncthing configuration"
import copy, sys
import xml.etree.ElementTree as ET

folder_id = sys.argv[1]
sides = [sys.argv[2:10], sys.argv[10:18]]

def text(parent, tag, value):
    element = parent.find(tag)
    if element is None:
        element = ET.SubElement(parent, tag)
    element.text = value

for me, other in ((sides[0], sides[1]), (sides[1], sides[0])):
    home, name, my_id, port, gui_port, key, data, peer_address = me
    peer_name, peer_id = other[1], other[2]
    path = home + "/config.xml"
    tree = ET.parse(path)
    root = tree.getroot()
    defaults = root.find("defaults")

    options = root.find("options")
    for tag, value in (
        ("listenAddress", "tcp://127.0.0.1:" + port),
        ("globalAnnounceEnabled", "false"),
        ("localAnnounceEnabled", "false"),
        ("relaysEnabled", "false"),
        ("natEnabled", "false"),
        ("stunKeepaliveStartS", "0"),  # no STUN either
        ("urAccepted", "-1"),
        ("urSeen", "3"),
        ("crashReportingEnabled", "false"),
        ("autoUpgradeIntervalH", "0"),
        ("startBrowser", "false"),
        ("setLowPriority", "false"),
        ("announceLANAddresses", "false"),
        ("reconnectionIntervalS", "5"),
    ):
        text(options, tag, value)
    options.find("minHomeDiskFree").text = "0"

    gui = root.find("gui")
    gui.set("enabled", "true")
    gui.set("tls", "false")
    text(gui, "address", "127.0.0.1:" + gui_port)
    text(gui, "apikey", key)

    for device in root.findall("device"):
        root.remove(device)
    for device_id, device_name, address in ((my_id, name, "dynamic"),
                                            (peer_id, peer_name, peer_address)):
        device = copy.deepcopy(defaults.find("device"))
        device.set("id", device_id)
        device.set("name", device_name)
        text(device, "address", address)
        root.insert(0, device)

    folder = copy.deepcopy(defaults.find("folder"))
    folder.set("id", folder_id)
    folder.set("label", folder_id)
    folder.set("path", data)
    folder.set("type", "sendreceive")
    folder.set("fsWatcherEnabled", "true")
    folder.set("fsWatcherDelayS", "1")
    folder.set("rescanIntervalS", "3600")
    for device in folder.findall("device"):
        folder.remove(device)
    for device_id in (my_id, peer_id):
        device = ET.Element("device", {"id": device_id, "introducedBy": ""})
        ET.SubElement(device, "encryptionPassword").text = ""
        folder.insert(1, device)
    folder.find("minDiskFree").text = "0"
    root.insert(0, folder)
    tree.write(path)
PY
}

# sync_api NAME METHOD PATH: calls the REST API of instance NAME; prints the answer.
sync_api() {
    curl -fsS -m 5 -X "$2" -H "X-API-Key: ${SYNC_KEY[$1]}" "http://127.0.0.1:${SYNC_GUI[$1]}$3"
}

# sync_json NAME PATH JQ_TEST: true when the JSON at PATH passes the jq test.
sync_json() {
    sync_api "$1" GET "$2" 2>/dev/null | jq -e "$3" >/dev/null 2>&1
}

# sync_start NAME: starts instance NAME and waits until its REST API answers.
sync_start() {
    local name=$1
    # STMONITORED: no monitor process, so this PID is the one with the sockets. STHASHING:
    # no hashing benchmark at start.
    STMONITORED=1 STHASHING=minio STNOUPGRADE=1 \
        syncthing serve --home="${SYNC_HOME[$name]}" --no-browser --no-restart --no-upgrade \
        >"$SYNC_DIR/$name.log" 2>&1 &
    SYNC_PID[$name]=$!
    E2E_PIDS+=("${SYNC_PID[$name]}")
    e2e_wait 30 sync_json "$name" /rest/system/ping '.ping == "pong"' ||
        e2e_fail "syncthing $name did not answer on 127.0.0.1:${SYNC_GUI[$name]}"
}

# sync_stop NAME: stops instance NAME by its process id and waits for it.
sync_stop() {
    local pid=${SYNC_PID[$1]:-}
    [[ -n "$pid" ]] || return 0
    kill "$pid" 2>/dev/null || true
    e2e_wait 10 bash -c "! kill -0 $pid" || kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    SYNC_PID[$1]=""
}

# sync_listening NAME: true when instance NAME's listener is up.
sync_listening() {
    local uri="tcp://127.0.0.1:${SYNC_PORT[$1]}"
    sync_json "$1" /rest/system/status \
        ".connectionServiceStatus | has(\"$uri\") and .[\"$uri\"].error == null"
}

# sync_connected NAME PEER: true when NAME holds a connection to PEER.
sync_connected() {
    sync_json "$1" /rest/system/connections ".connections[\"${SYNC_ID[$2]}\"].connected == true"
}
sync_disconnected() {
    sync_json "$1" /rest/system/connections ".connections[\"${SYNC_ID[$2]}\"].connected == false"
}

# sync_start_pair DIALER LISTENER [SECONDS]: starts the listener first, then the dialer, and
# waits until each sees the other connected.
sync_start_pair() {
    local a=$1 b=$2 seconds=${3:-30}
    sync_start "$b"
    e2e_wait 10 sync_listening "$b" || e2e_fail "syncthing $b does not listen"
    sync_start "$a"
    e2e_wait "$seconds" sync_connected "$a" "$b" || e2e_fail "syncthing $a did not connect to $b"
    e2e_wait "$seconds" sync_connected "$b" "$a" || e2e_fail "syncthing $b did not see $a connect"
}

# sync_settled NAME PEER: NAME's folder is idle, needs nothing, and NAME knows PEER has it all.
sync_settled() {
    sync_json "$1" "/rest/db/status?folder=$SYNC_FOLDER_ID" \
        '.state == "idle" and .needTotalItems == 0 and .pullErrors == 0' &&
        sync_json "$1" "/rest/db/completion?folder=$SYNC_FOLDER_ID&device=${SYNC_ID[$2]}" \
            '.completion == 100 and .needItems == 0 and .needDeletes == 0'
}

# sync_listing FOLDER: name and checksum of every file a sync would carry, sorted.
sync_listing() {
    (cd "$1" && find . -path ./.stfolder -prune -o -type f ! -name '.syncthing.*.tmp' \
        ! -name '~syncthing~*.tmp' -print0 | sort -z | xargs -0r md5sum)
}

sync_same() {
    [[ "$(sync_listing "${SYNC_DATA[$1]}")" == "$(sync_listing "${SYNC_DATA[$2]}")" ]] &&
        sync_settled "$1" "$2" && sync_settled "$2" "$1"
}

# sync_wait_in_sync SECONDS A B: waits until both folders hold the same files and both sides
# are idle with nothing left to pull or send.
sync_wait_in_sync() {
    e2e_wait "$1" sync_same "$2" "$3" ||
        e2e_fail "folders of $2 and $3 not in sync after $1 s:
$(diff <(sync_listing "${SYNC_DATA[$2]}") <(sync_listing "${SYNC_DATA[$3]}"))"
}

# sync_sequence NAME: the folder's local sequence number, which grows with every change NAME
# has scanned.
sync_sequence() {
    sync_api "$1" GET "/rest/db/status?folder=$SYNC_FOLDER_ID" | jq -r '.sequence'
}

sync_scanned_after() {
    sync_json "$1" "/rest/db/status?folder=$SYNC_FOLDER_ID" ".sequence > $2 and .state == \"idle\""
}

# sync_wait_scanned SECONDS NAME SEQUENCE: waits until NAME has scanned a change made after
# its sequence was SEQUENCE.
sync_wait_scanned() {
    e2e_wait "$1" sync_scanned_after "$2" "$3" || e2e_fail "syncthing $2 did not pick up the change"
}

# sync_pause NAME PEER / sync_resume NAME PEER: NAME stops (or starts again) talking to PEER;
# pausing waits until both sides see the connection gone.
sync_pause() {
    sync_api "$1" POST "/rest/system/pause?device=${SYNC_ID[$2]}" >/dev/null ||
        e2e_fail "could not pause $2 on $1"
    e2e_wait 10 sync_disconnected "$1" "$2" || e2e_fail "$1 still connected to $2"
    e2e_wait 10 sync_disconnected "$2" "$1" || e2e_fail "$2 still connected to $1"
}
sync_resume() {
    sync_api "$1" POST "/rest/system/resume?device=${SYNC_ID[$2]}" >/dev/null ||
        e2e_fail "could not resume $2 on $1"
}

# Sourced by the scripts that need a private X server. start_xvfb starts
# Xvfb on a display number the server picks itself (-displayfd), so that a
# desktop or another run's server on any number never stands in its way;
# it exports DISPLAY and leaves the server's process id in xvfb_pid.
start_xvfb() {
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$number_file" > /dev/null 2>&1 &
    xvfb_pid=$!
    # The number is written once the server takes connections.
    for _ in $(seq 100); do
        [ -s "$number_file" ] && break
        sleep 0.1
    done
    DISPLAY=:$(tr -d '[:space:]' < "$number_file")
    rm -f "$number_file"
    [ "$DISPLAY" != : ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY
}

# Sourced by ./test: real printer queues for the printing tests. CUPS with cups-pdf writes each
# job as a PDF into TARNWICK_PDF_FOLDER. Queue "PDF" (the default printer) prints on the whole
# A4 sheet; "PDFBorder" has an unprintable border of 36 points at the sides and 54 points at the
# top and bottom. A scheduler started here is stopped on exit; one already running is left
# alone. Call before wine_session_start: Wine takes the printers it finds when its prefix is made.

printer_session_cleanup() {
    if [ -n "${TARNWICK_CUPSD_STARTED:-}" ]; then
        $TARNWICK_SUDO pkill -x cupsd 2>/dev/null || true
        local waited=0
        while [ $waited -lt 100 ] && lpstat -r 2>/dev/null | grep -q "scheduler is running"; do
            sleep 0.1
            waited=$((waited + 1))
        done
    fi
    if [ -n "${TARNWICK_PDF_CONF_SAVED:-}" ]; then
        $TARNWICK_SUDO cp "$TARNWICK_PDF_CONF_SAVED" /etc/cups/cups-pdf.conf
        rm -f "$TARNWICK_PDF_CONF_SAVED"
    fi
    return 0
}

printer_session_start() {
    TARNWICK_SUDO=""
    [ "$(id -u)" -ne 0 ] && TARNWICK_SUDO="sudo"
    command -v cupsd >/dev/null || return 0
    # Each job's file is named after its job number and the document's name, so no job
    # overwrites another's.
    local conf=/etc/cups/cups-pdf.conf
    TARNWICK_PDF_CONF_SAVED=$(mktemp)
    cp "$conf" "$TARNWICK_PDF_CONF_SAVED"
    trap printer_session_cleanup EXIT
    { grep -v -E '^(Out|Label|TitlePref) ' "$TARNWICK_PDF_CONF_SAVED"
      printf 'Out ${HOME}/PDF\nLabel 1\nTitlePref 1\n'; } | $TARNWICK_SUDO tee "$conf" >/dev/null
    export TARNWICK_PDF_FOLDER="$HOME/PDF"
    mkdir -p "$TARNWICK_PDF_FOLDER"
    if ! lpstat -r 2>/dev/null | grep -q "scheduler is running"; then
        $TARNWICK_SUDO cupsd
        TARNWICK_CUPSD_STARTED=1
    fi
    local waited=0
    until lpstat -r 2>/dev/null | grep -q "scheduler is running"; do
        if [ $waited -ge 100 ]; then
            echo "the CUPS scheduler did not start within 10 s" >&2
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    local border
    border=$(mktemp)
    sed 's|^\*ImageableArea A4/A4: .*|*ImageableArea A4/A4: "36 54 559 788"|' "$ppd" >"$border"
    $TARNWICK_SUDO lpadmin -p PDF -v cups-pdf:/ -P "$ppd" -E 2>/dev/null
    $TARNWICK_SUDO lpadmin -p PDFBorder -v cups-pdf:/ -P "$border" -E 2>/dev/null
    rm -f "$border"
    $TARNWICK_SUDO lpadmin -d PDF
}

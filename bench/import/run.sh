#!/usr/bin/env bash
# Import benchmark: HTML to text, RTF to text and TCR decompression on
# generated 50 MB documents (made once in $TARVEX_BENCH_DATA, deterministically).
# Speeds are input megabytes per second, best of three runs; tcr_decompress_output
# is the TCR rate in megabytes of text written.
set -euo pipefail
bin="$TARVEX_BUILD/bench/import/tarvex_bench_import"
size=50
printf '%-16s %8s %12s %14s\n' figure size_mb "MB/s" output_bytes
for kind in html rtf tcr; do
    file="$TARVEX_BENCH_DATA/import-${size}mb.$kind"
    if [ ! -s "$file" ]; then
        "$bin" generate "$kind" "$size" "$file.tmp"
        mv "$file.tmp" "$file"
    fi
    read -r speed inbytes outbytes < <("$bin" run "$kind" "$file")
    case "$kind" in
        html) figure=html_to_text ;;
        rtf) figure=rtf_to_text ;;
        tcr) figure=tcr_decompress ;;
    esac
    printf '%-16s %8s %12s %14s\n' "$figure" "$size" "$speed" "$outbytes"
    printf '%s\t%s\t%s\t%s\t%s\n' "$figure" "$size" tarvex "$speed" "MB/s" >> "$TARVEX_OUT"
    if [ "$kind" = tcr ]; then
        # The decompressed text is twice the file: its rate of output as well.
        out_speed=$(awk -v s="$speed" -v i="$inbytes" -v o="$outbytes" 'BEGIN { printf "%.1f", s * o / i }')
        printf '%-16s %8s %12s %14s\n' tcr_output "$size" "$out_speed" "$outbytes"
        printf '%s\t%s\t%s\t%s\t%s\n' tcr_decompress_output "$size" tarvex "$out_speed" "MB/s" >> "$TARVEX_OUT"
        # The same book expanded while it is read, as the editor loads it.
        read -r speed inbytes outbytes < <("$bin" run tcr-stream "$file")
        printf '%-16s %8s %12s %14s\n' tcr_stream "$size" "$speed" "$outbytes"
        printf '%s\t%s\t%s\t%s\t%s\n' tcr_stream "$size" tarvex "$speed" "MB/s" >> "$TARVEX_OUT"
    fi
done

#!/usr/bin/env bash
# Fetches real PDFs from Debian 12 documentation packages into FOLDER, for the extraction
# benchmark's real-file corpus.
#
#     fetch-debian-pdfs.sh [FOLDER]
#
# FOLDER defaults to $PARVILON_BENCH_DEBIAN_PDFS, else $XDG_CACHE_HOME/parvilon-bench/debian-pdfs,
# else ~/.cache/parvilon-bench/debian-pdfs (where the benchmarks look for it).
#
# Each package of the fixed list below is downloaded with "apt-get download" (nothing is
# installed), unpacked with "dpkg-deb -x" into a temporary folder, its *.pdf.gz files are
# gunzipped, and every file that starts with "%PDF-" within its first 1024 bytes is kept in
# FOLDER as PACKAGE--RELATIVE--PATH.pdf (the path below /usr/share/doc, "/" written "--").
# Byte-identical copies are kept once.
#
# FOLDER is a cache: a package whose PDFs are already there (FOLDER/.packages/PACKAGE) is not
# downloaded again, so a second run downloads nothing. Two runs at once wait for each other.
#
# Root is not needed: "apt-get download" works for any user, as long as the package lists
# exist (run "apt-get update" once as root on a fresh machine). Run as root, the download
# folder is handed to apt's "_apt" user so apt's download sandbox can write there.
#
# Prints the number of files, their total size and how many are over 1 MB (1,000,000 bytes).
# Exits 0 when every package's PDFs are in FOLDER, 1 when a package could not be fetched (the
# files fetched so far stay usable), 2 on wrong usage.
set -euo pipefail
export LC_ALL=C

# The packages, chosen for many PDFs from many producers and of every size.
PACKAGES=(
    # TeX documentation: pdfTeX, LuaTeX, XeTeX (xdvipdfmx), dvips + Ghostscript, some made
    # with Distiller or Quartz; a few kilobytes to several megabytes.
    texlive-latex-base-doc
    texlive-latex-recommended-doc
    texlive-humanities-doc
    texlive-luatex
    texlive-xetex
    texlive-metapost-doc
    texlive-formats-extra
    texlive-fonts-recommended-doc
    # Program manuals, most of them large: Texinfo, Ghostscript, ReportLab, LilyPond.
    lilypond-doc-pdf
    r-doc-pdf
    octave-doc
    maxima-doc
    gnuplot-doc
    asymptote-doc
    ghostscript-doc
    debian-reference-en
    python-reportlab-doc
    # Manual pages as PDF, written by Cairo.
    graphviz-doc
    # Font documentation: LibreOffice Writer, Cairo, Acrobat Distiller, Mac OS X Quartz.
    fonts-sil-abyssinica
    fonts-sil-andika
    fonts-sil-annapurna
    fonts-sil-awami-nastaliq
    fonts-sil-charis
    fonts-sil-dai-banna
    fonts-sil-ezra
    fonts-sil-harmattan
    fonts-sil-mondulkiri
    fonts-sil-padauk
    fonts-sil-scheherazade
    fonts-sil-taiheritagepro
    # Print filters' banner pages and forms: files under 1 KB (Ghostscript, Cairo) and
    # LibreOffice forms.
    cups-filters
)
LARGE_BYTES=1000000

if [[ $# -gt 1 || ($# -eq 1 && -z $1) ]]; then
    echo "usage: $0 [FOLDER]" >&2
    exit 2
fi
folder=${1:-${PARVILON_BENCH_DEBIAN_PDFS:-${XDG_CACHE_HOME:-$HOME/.cache}/parvilon-bench/debian-pdfs}}
for command in apt-get dpkg-deb gzip flock sha256sum; do
    if [[ -z $(command -v "$command") ]]; then
        echo "fetch-debian-pdfs: $command is missing (this needs a Debian system)" >&2
        exit 1
    fi
done

mkdir -p "$folder/.packages"
folder=$(cd "$folder" && pwd)

exec 9>"$folder/.lock"
if ! flock -n 9; then
    echo "fetch-debian-pdfs: another run is filling $folder; waiting for it" >&2
    flock 9
fi

missing=()
for package in "${PACKAGES[@]}"; do
    [[ -e $folder/.packages/$package ]] || missing+=("$package")
done

work=$(mktemp -d "${TMPDIR:-/tmp}/fetch-debian-pdfs.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/debs" "$work/unpacked"
if [[ $(id -u) -eq 0 && -n $(getent passwd _apt) ]]; then
    chmod 755 "$work"
    chown _apt "$work/debs"
fi

failed=()
if ((${#missing[@]} > 0)); then
    echo "fetch-debian-pdfs: downloading ${#missing[@]} package(s) into a temporary folder" >&2
    # One download for all; when one of them cannot be had, each on its own, so the others
    # still come.
    if ! (cd "$work/debs" && apt-get download -q "${missing[@]}" >&2); then
        for package in "${missing[@]}"; do
            [[ -n $(compgen -G "$work/debs/${package}_*.deb") ]] && continue
            (cd "$work/debs" && apt-get download -q "$package" >&2) || true
        done
    fi
fi

# Writes the PDF at $1 (gzip-compressed when $3 is "gz") to $2 when it is a real PDF.
keep_if_pdf() {
    local source=$1 target=$2 compressed=$3 partial="$2.partial"
    if [[ $compressed == gz ]]; then
        gzip -dc -- "$source" >"$partial" || { rm -f -- "$partial"; return 0; }
    else
        cp -- "$source" "$partial"
    fi
    if grep -qa -- '%PDF-' < <(head -c 1024 -- "$partial"); then
        mv -f -- "$partial" "$target"
        printf '%s\n' "${target##*/}"
    else
        rm -f -- "$partial"
    fi
}

for package in "${missing[@]}"; do
    debs=("$work/debs/${package}"_*.deb)
    if [[ ! -f ${debs[0]} ]]; then
        failed+=("$package")
        continue
    fi
    unpacked="$work/unpacked/$package"
    mkdir -p "$unpacked"
    dpkg-deb -x "${debs[0]}" "$unpacked"
    kept="$work/kept-$package"
    : >"$kept"
    # Regular files only: packages link some PDFs to others, and such links may dangle here.
    while IFS= read -r -d '' file; do
        relative=${file#"$unpacked"/}
        relative=${relative#usr/share/doc/}
        compressed=plain
        if [[ ${relative,,} == *.pdf.gz ]]; then
            relative=${relative%.*}
            compressed=gz
        fi
        relative=${relative%.*}
        name="$package--${relative//\//--}"
        if ((${#name} > 180)); then
            # Keep names well below the 255-byte limit; the hash keeps them distinct.
            hash=$(printf '%s' "$relative" | sha256sum | cut -c1-10)
            name="${name:0:160}-$hash"
        fi
        keep_if_pdf "$file" "$folder/$name.pdf" "$compressed" >>"$kept"
    done < <(find "$unpacked" -type f \( -iname '*.pdf' -o -iname '*.pdf.gz' \) -print0 | sort -z)
    # The stamp lists the package's files; it is written last, so an interrupted package is
    # done again on the next run.
    mv -f "$kept" "$folder/.packages/$package"
    rm -rf "$unpacked" "${debs[@]}"
    echo "fetch-debian-pdfs: $package: $(wc -l <"$folder/.packages/$package") PDF(s)" >&2
done

# Byte-identical files (the same manual in two packages) are kept once: the first by name.
duplicates=0
while IFS= read -r duplicate; do
    rm -f -- "$folder/$duplicate"
    duplicates=$((duplicates + 1))
done < <(find "$folder" -maxdepth 1 -type f -name '*.pdf' -printf '%f\0' | sort -z |
    (cd "$folder" && xargs -0 -r sha256sum) | awk 'seen[$1]++ { sub(/^[0-9a-f]+  /, ""); print }')
if ((duplicates > 0)); then
    echo "fetch-debian-pdfs: removed $duplicates byte-identical copies" >&2
fi

find "$folder" -maxdepth 1 -type f -name '*.pdf' -printf '%s\n' | sort -n | awk -v large="$LARGE_BYTES" '
    { count++; total += $1; if ($1 > large) over++; if (count == 1) smallest = $1; largest = $1 }
    END {
        printf "%d PDF files, %.1f MB in all, %d over 1 MB (smallest %d bytes, largest %.1f MB)\n",
               count, total / 1e6, over, smallest, largest / 1e6
    }'

if ((${#failed[@]} > 0)); then
    echo "fetch-debian-pdfs: could not download: ${failed[*]}" >&2
    echo "fetch-debian-pdfs: the package lists may be missing or old; run \"apt-get update\" as root" >&2
    exit 1
fi

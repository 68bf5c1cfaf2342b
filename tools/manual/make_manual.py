#!/usr/bin/python3
"""Typesets the user manual: Markdown text and a style sheet into one PDF.

The typefaces are given as files, so the PDF does not depend on the fonts a machine happens to
have installed; the picture of the window is given as a file so the build can use the one it
rendered itself.
"""

import argparse
import html
import pathlib
import sys

import markdown
import weasyprint
from weasyprint.text.fonts import FontConfiguration

FACES = {
    # Family name used by the style sheet: (font file argument, CSS weight).
    "Manual Text": [("text", "normal"), ("text_bold", "bold")],
    "Manual Heading": [("heading", "normal"), ("heading", "bold")],
    "Manual Logo": [("logo", "normal")],
    "Manual Script": [("script", "normal")],
}


def font_faces(fonts):
    rules = []
    for family, faces in FACES.items():
        for key, weight in faces:
            url = pathlib.Path(fonts[key]).resolve().as_uri()
            rules.append(f'@font-face {{ font-family: "{family}"; src: url("{url}"); font-weight: {weight}; }}')
    return "\n".join(rules)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--source", required=True, type=pathlib.Path)
    parser.add_argument("--style", required=True, type=pathlib.Path)
    parser.add_argument("--picture", required=True, type=pathlib.Path)
    parser.add_argument("--version", required=True)
    for key in ("text", "text_bold", "heading", "logo", "script"):
        parser.add_argument(f"--font-{key.replace('_', '-')}", dest=key, required=True)
    parser.add_argument("--output", required=True, type=pathlib.Path)
    args = parser.parse_args()

    if not args.picture.is_file():
        sys.exit(f"make_manual: the picture {args.picture} does not exist")

    text = args.source.read_text(encoding="utf-8")
    text = text.replace("@VERSION@", args.version)
    text = text.replace("@EDITOR_PICTURE@", args.picture.resolve().as_uri())

    body = markdown.markdown(
        text,
        extensions=["tables", "attr_list", "md_in_html", "toc"],
        extension_configs={"toc": {"toc_depth": "2-3"}},
    )
    title = "Vardeko QX2710 User Manual"
    document = (
        '<!DOCTYPE html><html lang="en"><head><meta charset="utf-8">'
        f"<title>{html.escape(title)}</title>"
        '<meta name="author" content="Molvek">'
        f'<meta name="description" content="User manual, version {html.escape(args.version)}">'
        f"</head><body>{body}</body></html>"
    )

    # @font-face rules take effect only through a font configuration shared by both calls.
    fonts = FontConfiguration()
    css = font_faces(vars(args)) + "\n" + args.style.read_text(encoding="utf-8")
    args.output.parent.mkdir(parents=True, exist_ok=True)
    partial = args.output.with_name(args.output.name + ".partial")
    weasyprint.HTML(string=document, base_url=str(args.source.parent)).write_pdf(
        partial, stylesheets=[weasyprint.CSS(string=css, font_config=fonts)], font_config=fonts
    )
    partial.replace(args.output)


if __name__ == "__main__":
    main()

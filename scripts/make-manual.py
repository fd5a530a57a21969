#!/usr/bin/python3
"""Typesets the user manual (a small Markdown subset) into a PDF with ReportLab.

Usage: make-manual.py SOURCE.md OUTPUT.pdf

Understood: "# " document title (first line), "## " chapter, "### " section,
paragraphs, "![](picture.jpg)" pictures, "- " and "1. " lists (indented continuation lines), tables of
"|" rows whose second row is the "|---|" rule, "```" code blocks, "> " notes,
and inline **bold** and `code`. Fonts are DejaVu from fonts-dejavu-core, embedded,
so Czech letters render everywhere. The output does not depend on the date.
"""

import os
import re
import sys

from reportlab import rl_config

rl_config.invariant = 1  # no creation date or random id: same input, same bytes

from reportlab.lib import colors  # noqa: E402
from reportlab.lib.enums import TA_CENTER  # noqa: E402
from reportlab.lib.pagesizes import A4  # noqa: E402
from reportlab.lib.styles import ParagraphStyle  # noqa: E402
from reportlab.lib.units import cm  # noqa: E402
from reportlab.lib.utils import ImageReader  # noqa: E402
from reportlab.pdfbase import pdfmetrics  # noqa: E402
from reportlab.pdfbase.ttfonts import TTFont  # noqa: E402
from reportlab.platypus import (BaseDocTemplate, CondPageBreak, Frame, Image,  # noqa: E402
                                KeepTogether, ListFlowable, ListItem, PageBreak, PageTemplate, Paragraph,
                                Preformatted, Spacer, Table, TableStyle)
from reportlab.platypus.tableofcontents import TableOfContents  # noqa: E402

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
pdfmetrics.registerFont(TTFont("DejaVuSans", FONT_DIR + "DejaVuSans.ttf"))
pdfmetrics.registerFont(TTFont("DejaVuSans-Bold", FONT_DIR + "DejaVuSans-Bold.ttf"))
pdfmetrics.registerFont(TTFont("DejaVuSansMono", FONT_DIR + "DejaVuSansMono.ttf"))
# fonts-dejavu-core has no oblique faces; <i> falls back to the upright ones.
pdfmetrics.registerFontFamily("DejaVuSans", normal="DejaVuSans", bold="DejaVuSans-Bold",
                              italic="DejaVuSans", boldItalic="DejaVuSans-Bold")
rl_config.canvas_basefontname = "DejaVuSans"  # else an unused, unembedded Helvetica appears

ACCENT = colors.HexColor("#1F4E8C")
BODY = ParagraphStyle("body", fontName="DejaVuSans", bulletFontName="DejaVuSans", fontSize=10,
                      leading=14, spaceAfter=6)
TITLE = ParagraphStyle("title", parent=BODY, fontName="DejaVuSans-Bold", fontSize=26,
                       leading=32, alignment=TA_CENTER, textColor=ACCENT, spaceAfter=8)
SUBTITLE = ParagraphStyle("subtitle", parent=BODY, fontSize=13, leading=18,
                          alignment=TA_CENTER, spaceAfter=28)
INTRO = ParagraphStyle("intro", parent=BODY, fontSize=11, leading=16, alignment=TA_CENTER)
H1 = ParagraphStyle("h1", parent=BODY, fontName="DejaVuSans-Bold", fontSize=16, leading=20,
                    textColor=ACCENT, spaceBefore=10, spaceAfter=8)
H2 = ParagraphStyle("h2", parent=BODY, fontName="DejaVuSans-Bold", fontSize=12, leading=16,
                    spaceBefore=8, spaceAfter=4)
CELL = ParagraphStyle("cell", parent=BODY, fontSize=9, leading=12, spaceAfter=0)
CELL_HEAD = ParagraphStyle("cellhead", parent=CELL, fontName="DejaVuSans-Bold")
CODE = ParagraphStyle("code", parent=BODY, fontName="DejaVuSansMono", fontSize=8.5, leading=11.5,
                      backColor=colors.HexColor("#F2F4F7"), borderPadding=5, leftIndent=5,
                      rightIndent=5, spaceBefore=4, spaceAfter=10)
NOTE = ParagraphStyle("note", parent=BODY, backColor=colors.HexColor("#FFF6DD"),
                      borderColor=colors.HexColor("#E0B040"), borderWidth=0.6, borderPadding=6,
                      leftIndent=6, rightIndent=6, spaceBefore=12, spaceAfter=14)
TOC_STYLES = [
    ParagraphStyle("toc1", parent=BODY, fontName="DejaVuSans-Bold", leftIndent=0, spaceAfter=2),
    ParagraphStyle("toc2", parent=BODY, leftIndent=16, spaceAfter=0),
]


def inline(text):
    """Markdown inline marks to ReportLab's paragraph markup."""
    text = text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    text = re.sub(r"`([^`]+)`", r'<font name="DejaVuSansMono">\1</font>', text)
    return re.sub(r"\*\*([^*]+)\*\*", r"<b>\1</b>", text)


class ManualTemplate(BaseDocTemplate):
    def __init__(self, path, title):
        super().__init__(path, pagesize=A4, leftMargin=2.2 * cm, rightMargin=2.2 * cm,
                         topMargin=2 * cm, bottomMargin=2 * cm, title=title,
                         author="Tramo2", subject="Uživatelská příručka")
        frame = Frame(self.leftMargin, self.bottomMargin, self.width, self.height, id="body")
        self.addPageTemplates([PageTemplate(id="page", frames=[frame], onPage=self.footer)])
        self.heading_count = 0

    def beforeDocument(self):
        # multiBuild lays the story out several times; keys must repeat.
        self.heading_count = 0

    def footer(self, canvas, doc):
        canvas.saveState()
        canvas.setFont("DejaVuSans", 8)
        canvas.setFillColor(colors.grey)
        canvas.drawString(doc.leftMargin, 1.2 * cm, doc.title)
        canvas.drawRightString(doc.leftMargin + doc.width, 1.2 * cm, "strana %d" % doc.page)
        canvas.restoreState()

    def afterFlowable(self, flowable):
        """Headings go into the table of contents and the PDF outline."""
        if not isinstance(flowable, Paragraph) or flowable.style.name not in ("h1", "h2"):
            return
        level = 0 if flowable.style.name == "h1" else 1
        text = flowable.getPlainText()
        self.heading_count += 1
        key = "h%d" % self.heading_count
        self.canv.bookmarkPage(key)
        self.canv.addOutlineEntry(text, key, level=level, closed=level > 0)
        self.notify("TOCEntry", (level, text, self.page, key))


def parse(lines):
    """Yields (kind, payload) blocks of the source."""
    i = 0
    while i < len(lines):
        line = lines[i].rstrip("\n")
        stripped = line.strip()
        if not stripped:
            i += 1
        elif stripped.startswith("```"):
            body = []
            i += 1
            while i < len(lines) and not lines[i].strip().startswith("```"):
                body.append(lines[i].rstrip("\n"))
                i += 1
            i += 1
            yield "code", "\n".join(body)
        elif line.startswith("# "):
            yield "title", line[2:].strip()
            i += 1
        elif line.startswith("## "):
            yield "h1", line[3:].strip()
            i += 1
        elif line.startswith("### "):
            yield "h2", line[4:].strip()
            i += 1
        elif re.fullmatch(r"!\[[^\]]*\]\([^)]+\)", stripped):
            yield "image", re.search(r"\(([^)]+)\)", stripped).group(1)
            i += 1
        elif stripped == "---":
            yield "pagebreak", None
            i += 1
        elif line.startswith("|"):
            rows = []
            while i < len(lines) and lines[i].startswith("|"):
                cells = [c.strip() for c in lines[i].strip().strip("|").split("|")]
                if not all(re.fullmatch(r":?-+:?", c) for c in cells):
                    rows.append(cells)
                i += 1
            yield "table", rows
        elif re.match(r"(- |\d+\. )", line):
            numbered = not line.startswith("- ")
            items = []
            while i < len(lines):
                current = lines[i].rstrip("\n")
                match = re.match(r"(- |\d+\. )(.*)", current)
                if match and (not match.group(1).startswith("-")) == numbered:
                    items.append(match.group(2).strip())
                elif current.startswith("  ") and current.strip() and items:
                    items[-1] += " " + current.strip()
                else:
                    break
                i += 1
            yield ("olist" if numbered else "ulist"), items
        elif line.startswith("> "):
            text = []
            while i < len(lines) and lines[i].startswith(">"):
                text.append(lines[i][1:].strip())
                i += 1
            yield "note", " ".join(text)
        else:
            text = []
            while i < len(lines) and lines[i].strip() and not re.match(
                    r"(#|\||- |\d+\. |> |```)", lines[i]):
                text.append(lines[i].strip())
                i += 1
            yield "para", " ".join(text)


def build(source, output):
    with open(source, encoding="utf-8") as f:
        lines = f.readlines()
    story = []
    title = "Tramo2"
    first_heading = True
    title_paragraphs = 0
    for kind, payload in parse(lines):
        if kind == "title":
            title = payload
            story += [Spacer(1, 3 * cm), Paragraph(inline(payload), TITLE)]
        elif kind == "h1":
            if first_heading:
                # Everything before the first chapter is the title page; the
                # contents follow on their own page.
                toc = TableOfContents()
                toc.levelStyles = TOC_STYLES
                toc.dotsMinLevel = 0
                toc.tableStyle = TableStyle([("FONT", (0, 0), (-1, -1), "DejaVuSans"),
                                             ("VALIGN", (0, 0), (-1, -1), "TOP")])
                story += [PageBreak(), Paragraph("Obsah", H1.clone("toctitle")), toc,
                          PageBreak()]
                first_heading = False
            story += [CondPageBreak(4 * cm), Paragraph(inline(payload), H1)]
        elif kind == "h2":
            story += [CondPageBreak(3 * cm), Paragraph(inline(payload), H2)]
        elif kind == "para":
            if first_heading:
                # Title page: the first paragraph is the subtitle, the rest centred.
                style = SUBTITLE if title_paragraphs == 0 else INTRO
                title_paragraphs += 1
            else:
                style = BODY
            story.append(Paragraph(inline(payload), style))
        elif kind == "note":
            story.append(KeepTogether([Paragraph(inline(payload), NOTE)]))
        elif kind == "code":
            story.append(KeepTogether([Preformatted(payload, CODE)]))
        elif kind in ("ulist", "olist"):
            items = [ListItem(Paragraph(inline(t), BODY), leftIndent=16) for t in payload]
            if kind == "ulist":
                flow = ListFlowable(items, bulletType="bullet", start="•", leftIndent=16,
                                    bulletFontName="DejaVuSans", bulletFontSize=10)
            else:
                flow = ListFlowable(items, bulletType="1", leftIndent=16, bulletFontSize=10,
                                    bulletFontName="DejaVuSans", bulletFormat="%s.")
            story += [flow, Spacer(1, 4)]
        elif kind == "table":
            story.append(make_table(payload))
        elif kind == "image":
            # Pictures are named relative to the source and set 8 cm wide.
            path = os.path.join(os.path.dirname(os.path.abspath(source)), payload)
            reader = ImageReader(path)
            w, h = reader.getSize()
            story += [Spacer(1, 12), Image(path, width=8 * cm, height=8 * cm * h / w),
                      Spacer(1, 18)]
        elif kind == "pagebreak":
            story.append(PageBreak())
    doc = ManualTemplate(output, title + " – uživatelská příručka")
    doc.multiBuild(keep_headings_with_text(story))


def keep_headings_with_text(story):
    """Binds each run of headings to the block after it, so that no heading
    ends a page."""
    result = []
    pending = []
    for flowable in story:
        is_heading = isinstance(flowable, Paragraph) and flowable.style.name in ("h1", "h2")
        if is_heading:
            pending.append(flowable)
        elif pending and not isinstance(flowable, (CondPageBreak, Spacer)):
            result.append(KeepTogether(pending + [flowable]))
            pending = []
        else:
            result.append(flowable)
    return result + pending


def make_table(rows):
    columns = max(len(r) for r in rows)
    data = []
    for n, row in enumerate(rows):
        style = CELL_HEAD if n == 0 else CELL
        data.append([Paragraph(inline(c), style) for c in row] + [""] * (columns - len(row)))
    # Narrow first columns hold names and keys; the last one gets the rest.
    width = A4[0] - 4.4 * cm
    lengths = [max(len(r[k]) if k < len(r) else 0 for r in rows) for k in range(columns)]
    if columns == 1:
        widths = [width]
    else:
        first = [min(max(l * 6.0 + 12, 2.2 * cm), width * 0.4) for l in lengths[:-1]]
        widths = first + [max(width - sum(first), width * 0.3)]
    table = Table(data, colWidths=widths, repeatRows=1, hAlign="LEFT")
    table.setStyle(TableStyle([
        ("FONT", (0, 0), (-1, -1), "DejaVuSans"),
        ("BACKGROUND", (0, 0), (-1, 0), colors.HexColor("#DCE6F2")),
        ("GRID", (0, 0), (-1, -1), 0.4, colors.HexColor("#9AA8BA")),
        ("VALIGN", (0, 0), (-1, -1), "TOP"),
        ("TOPPADDING", (0, 0), (-1, -1), 3),
        ("BOTTOMPADDING", (0, 0), (-1, -1), 3),
    ]))
    return KeepTogether([table, Spacer(1, 8)]) if len(rows) <= 8 else table


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: make-manual.py SOURCE.md OUTPUT.pdf")
    build(sys.argv[1], sys.argv[2])

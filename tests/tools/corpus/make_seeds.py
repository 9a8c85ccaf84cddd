#!/usr/bin/env python3
"""Writes the seed inputs of the import fuzz targets (html/, rtf/, tcr/, doc/).

The seeds are committed; run this again only to change them. Inputs that
fuzzing found go next to them under a name starting with "found-".
"""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def write(kind, name, data):
    os.makedirs(os.path.join(here, kind), exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(here, kind, name), "wb") as f:
        f.write(data)


# HTML and XML.
write("html", "page.htm",
      "<html><head><title>Title</title></head><body bgcolor=white>\r\n"
      "<p align=center>Q&A &nbsp; &copy; &#65;&#x41;&65; &Agrave;&agrave;&#1078;</p>\r\n"
      "<table><tr><td>a</td><th>b</th></tr></table><br><BR/><div>x</div>\r\n"
      "</body>after</html>")
write("html", "entities.htm", "<body>&quot;&amp;&lt;&gt;&mdash;&#8212;&trade;&foo;&#0;&#-1;&#x;&abcdefghijk")
write("html", "unterminated.htm", "<body>text <b unterminated")
write("html", "entity-at-end.htm", "<body>x&nbs")
write("html", "doc.xml", "<?xml version=\"1.0\"?><doc><p>one</p>\n<item>two &amp; three</item></doc>")
write("html", "blank-lines.htm", "<body>a<p><p><p>\r\n\r\n\r\n\t \r\nb")

# RTF.
write("rtf", "exporter.rtf",
      "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil Courier New;}{\\f1\\fnil Arial;}}\r\n"
      "{\\colortbl\r\n\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\\pard\\ql\\sl240\\slmult1"
      "\\plain\\f0\\fs20\\cf0\\cb2 \r\n\xcf\xf0\xe8\xe2\xe5\xf2 a\\{b\\}\\\\c\r\n\\par \\b x\r\n\\par }\r\n")
write("rtf", "word.rtf",
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\froman\\fcharset0 Times;}"
      "{\\f1\\fswiss\\fcharset204{\\*\\panose 020b0604020202020204}Arial;}{\\f2\\fnil\\fcharset128 MS Mincho;}}"
      "{\\colortbl;\\red0\\green0\\blue0;}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}"
      "{\\header head}{\\*\\generator x;}\\pard\\f1 \\'cf\\'f0\\u1080\\'e8 {\\f0 \\'e9}{\\f2 \\'82\\'a0}"
      "{\\pict\\wmetafile8\\bin4 {}}x}"
      "{\\object{\\*\\objdata 0102}{\\result shown}}{\\field{\\*\\fldinst HYPERLINK}{\\fldrslt link}}"
      "\\trowd\\cellx100 a\\cell b\\cell\\row\\emdash\\~\\_\\u-4064?\\u55357?\\u56832?\\par}")
write("rtf", "truncated.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 abc\\'e")
write("rtf", "unbalanced.rtf", "{\\rtf1 a}}}}{{{b\\u\\uc99999999999 \\u1 c\\bin-5 d\\bin99999999 ")
write("rtf", "deep.rtf", "{\\rtf1 " + "{" * 5000 + "x" + "}" * 5000 + "}")
# Nesting far beyond the parser's depth limit, closed again; and left open
# with formatting in every group, Unicode skips and a huge binary count.
write("rtf", "deep-200k.rtf", "{\\rtf1 " + "{" * 200000 + "x" + "}" * 200000 + "}")
write("rtf", "bomb.rtf",
      "{\\rtf1\\ansi" + "{\\f1\\fs24\\b\\i\\ul\\cf2\\uc9\\u1078?" * 20000 +
      "\\bin2147483647 x" + "{\\*\\x " * 5000)
write("rtf", "codepages.rtf",
      "{\\rtf1\\mac\\ansicpg20866{\\fonttbl{\\f0\\cpg866 A;}{\\f1\\fcharset238 B;}}\\'c1\\f0\\'80\\f1\\'e8\\pc\\'80}")


# TCR.
def tcr(entries, codes):
    out = b"!!8-Bit!!\0"
    for i in range(256):
        e = entries[i] if i < len(entries) else b""
        out += bytes([len(e)]) + e
    return out + codes


dictionary = [bytes([i]) if 32 <= i < 128 else b"" for i in range(256)]
dictionary[1] = "\xcf\xf0\xe8\xe2\xe5\xf2".encode("latin-1")
dictionary[2] = b"\r\n"
dictionary[3] = b"x" * 255
write("tcr", "book.tcr", tcr(dictionary, b"\x01 world\x02\x01\x03\x00\x80\xff"))
write("tcr", "empty-entries.tcr", tcr([], b"codes that write nothing"))
write("tcr", "truncated.tcr", tcr(dictionary, b"abc")[:300])
write("tcr", "header-only.tcr", b"!!8-Bit!!\0")
# Bombs: a few codes standing for long lines of text. The small one fits the
# fuzzer's input size; the big one expands to 16 MB on one line.
small = [b"y" * 255 if i < 8 else b"" for i in range(256)]
write("tcr", "bomb-small.tcr", tcr(small, bytes(i % 8 for i in range(1790))))
write("tcr", "bomb.tcr", tcr([b"x" * 255] * 256, bytes(range(256)) * 256))
# Line breaks and NUL bytes inside entries, which the longest line is measured across.
breaks = [b"", b"ab\r\ncd", b"\n", b"e\0f", b"\r", b"gh" * 100]
write("tcr", "breaks.tcr", tcr(breaks, b"\x05\x01\x05\x05\x02\x05\x03\x05\x05\x04\x05\x01"))


# Word documents laid out as the extractor reads them.
def compound(ident, text, fc_min=0x200, fc_mac=None, name="WordDocument", dir_sector=0, doc_sector=None):
    names = ["Root Entry", "\x05SummaryInformation", name]
    dir_sectors = (len(names) + 3) // 4
    if doc_sector is None:
        doc_sector = dir_sectors
    head = bytearray(512)
    head[0:8] = b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"
    head[0x30:0x34] = struct.pack("<I", dir_sector)
    dir_ = bytearray(512 * dir_sectors)
    for i, n in enumerate(names):
        e = 128 * i
        u = n.encode("utf-16-le")
        dir_[e:e + len(u)] = u
        dir_[e + 64:e + 66] = struct.pack("<H", len(u) + 2)
        dir_[e + 66] = 5 if i == 0 else 2
        dir_[e + 0x74:e + 0x78] = struct.pack("<I", doc_sector if i == len(names) - 1 else 0xFFFFFFFE)
    doc = bytearray(max(0x200, fc_min + len(text)))
    doc[0:2] = struct.pack("<H", ident)
    doc[0x18:0x1c] = struct.pack("<I", fc_min)
    doc[0x1c:0x20] = struct.pack("<I", fc_mac if fc_mac is not None else fc_min + len(text))
    doc[fc_min:fc_min + len(text)] = text
    return bytes(head + dir_ + doc)


cyr = "\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440\r"
word6 = compound(0xA5DC, cyr.encode("cp1251") + b"\0tail\r")
word97 = compound(0xA5EC, cyr.encode("utf-16-le"))
write("doc", "word6.doc", word6)
write("doc", "word97.doc", word97)
write("doc", "word97-truncated.doc", word97[:1100])
write("doc", "word6-truncated.doc", word6[:600])
write("doc", "spreadsheet.doc", compound(0xA5EC, b"cells", name="Workbook"))
write("doc", "far-directory.doc", compound(0xA5EC, b"x", dir_sector=0xFFFFFFFF))
write("doc", "far-stream.doc", compound(0xA5DC, b"x", doc_sector=0x7FFFFFFF))
write("doc", "long-text.doc", compound(0xA5EC, b"t\0e\0", fc_mac=0xFFFFFFFF))
write("doc", "plain.doc", b"plain text\0under a .doc name")

#!/usr/bin/env python3
"""The local 2ch-style board both readers read: writes it under a folder nginx serves, and appends
new responses to a thread the way a busy board grows.

  board.py make ROOT HOST       bbsmenu.html, bench/SETTING.TXT, bench/subject.txt, bench/dat/*.dat
  board.py append ROOT KEY N    N new responses at the end of KEY's dat (and its count in subject.txt)
  board.py reset ROOT KEY       the thread back to the size it was made with
"""
import os
import sys

BOARD = "bench"
BIG = "1700000000"        # 1000 responses: opening, F5
SMALL = "1700000001"      # 100 responses: F5 on a short thread
TABS = [str(1700000100 + i) for i in range(11)]   # eleven more 1000-response threads for the tab test
SIZES = {BIG: 1000, SMALL: 100, **{key: 1000 for key in TABS}}


def title(key):
    if key == BIG:
        return "千レスの計測スレ"
    if key == SMALL:
        return "百レスの計測スレ"
    return "タブの計測スレ その%d" % (int(key) - 1700000099)


def res_line(key, n):
    day = 1 + (n // 400) % 28
    date = "2026/11/%02d(日) %02d:%02d:%02d.%02d ID:Ab%06dx" % (day, n // 60 % 24, n % 60, (n * 7) % 60, n % 100, n % 997)
    lines = ["これはレス%dの本文です。計測用の板なので中身に意味はありません。" % n]
    if n > 1 and n % 3 == 0:
        lines.insert(0, "&gt;&gt;%d" % (n - 1 - n % 7 if n - 1 - n % 7 > 0 else 1))
    if n % 5 == 0:
        lines.append("二行目です。少し長めの文を置いて折り返しが起きるようにしておきます。" * 2)
    if n % 11 == 0:
        lines.append("http://example.com/page%d.html" % n)
    body = " <br> ".join(lines)
    name = "名無しさん" if n % 17 else "<b>コテハン</b>◆Trip%04d" % n
    mail = "sage" if n % 4 == 0 else ""
    head = title(key) if n == 1 else ""
    return "%s<>%s<>%s<> %s <>%s\n" % (name, mail, date, body, head)


def dat_path(root, key):
    return os.path.join(root, BOARD, "dat", key + ".dat")


def count(root, key):
    with open(dat_path(root, key), "rb") as f:
        return f.read().count(b"\n")


def write_dat(root, key, first, last, mode):
    with open(dat_path(root, key), mode) as f:
        f.write("".join(res_line(key, n) for n in range(first, last + 1)).encode("cp932"))


def write_subject(root):
    keys = [BIG, SMALL] + TABS
    text = "".join("%s.dat<>%s (%d)\n" % (k, title(k), count(root, k)) for k in keys)
    tmp = os.path.join(root, BOARD, "subject.txt.tmp")
    with open(tmp, "wb") as f:
        f.write(text.encode("cp932"))
    os.replace(tmp, os.path.join(root, BOARD, "subject.txt"))


def make(root, host):
    os.makedirs(os.path.join(root, BOARD, "dat"), exist_ok=True)
    with open(os.path.join(root, "bbsmenu.html"), "wb") as f:
        f.write(("<HTML><HEAD><TITLE>BBS MENU</TITLE></HEAD><BODY>\n<BR><BR><B>計測</B><BR>\n"
                 "<A HREF=http://%s/%s/>計測板</A><br>\n</BODY></HTML>\n" % (host, BOARD)).encode("cp932"))
    with open(os.path.join(root, BOARD, "SETTING.TXT"), "wb") as f:
        f.write(("%s/%s/@SETTING.TXT\nBBS_TITLE=計測板\nBBS_NONAME_NAME=名無しさん\n" % (host, BOARD)).encode("cp932"))
    with open(os.path.join(root, BOARD, "index.html"), "wb") as f:
        f.write("<html><head><title>計測板</title></head><body>計測板</body></html>\n".encode("cp932"))
    for key, size in SIZES.items():
        write_dat(root, key, 1, size, "wb")
    write_subject(root)


def append(root, key, n):
    have = count(root, key)
    write_dat(root, key, have + 1, have + n, "ab")
    write_subject(root)


def reset(root, key):
    write_dat(root, key, 1, SIZES[key], "wb")
    write_subject(root)


if __name__ == "__main__":
    cmd = sys.argv[1]
    if cmd == "make":
        make(sys.argv[2], sys.argv[3])
    elif cmd == "append":
        append(sys.argv[2], sys.argv[3], int(sys.argv[4]))
    elif cmd == "reset":
        reset(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)

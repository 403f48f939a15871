#!/usr/bin/python3
"""Writes the test brand into the folder given: a login picture and a Pay button in colours of their own, titles,
the operator's site-address document, another document mode for the browser, a page of its own for a server that
cannot be reached, and the executable's name. tests/brand/BrandBuildTest.cpp looks for exactly these on the screen and
in the version resource.

    /usr/bin/python3 tests/brand/make_sample.py OUT
"""
import io
import os
import sys

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
# Kept in step with BrandBuildTest.cpp.
LOGIN_COLOUR = (40, 200, 90)
PAY_COLOUR = (230, 40, 200)
TITLES = """[English]
AppTitle=Brandtest Play
WebTitle=Brandtest Loader Window
[Chinese]
AppTitle=品牌测试
WebTitle=品牌测试登录器
"""
BROWSER = "[Browser]\r\nDocumentMode=10001\r\n"
EXECUTABLE = "[Executable]\r\nName=brandtest-play\r\n"
OFFLINE_PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Brandtest - 服务器不在线</title></head>
<body><p>Brandtest cannot reach its server.</p><a id="retry" href="#">Retry</a>
<script>var a = decodeURIComponent(location.hash.substring(1));
if (/^https?:\\/\\//i.test(a)) document.getElementById("retry").href = a;</script></body></html>
"""


def write_if_changed(path, data):
    if not os.path.exists(path) or open(path, "rb").read() != data:
        with open(path, "wb") as f:
            f.write(data)


def encoded(image, fmt, **options):
    buffer = io.BytesIO()
    image.save(buffer, fmt, **options)
    return buffer.getvalue()


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_if_changed(os.path.join(out, "205_login_picture.jpg"),
                     encoded(Image.new("RGB", (1024, 700), LOGIN_COLOUR), "JPEG", quality=95))
    for image_id, state, size in ((130, "normal", (101, 101)), (131, "pressed", (130, 126)), (132, "hover", (100, 100))):
        write_if_changed(os.path.join(out, "%d_login_pay_%s.png" % (image_id, state)),
                         encoded(Image.new("RGB", size, PAY_COLOUR), "PNG"))
    write_if_changed(os.path.join(out, "titles.ini"), TITLES.encode("utf-8"))
    write_if_changed(os.path.join(out, "browser.ini"), BROWSER.encode("ascii"))
    write_if_changed(os.path.join(out, "executable.ini"), EXECUTABLE.encode("ascii"))
    write_if_changed(os.path.join(out, "offline.html"), OFFLINE_PAGE.encode("utf-8"))
    siteurl = os.path.join(HERE, "operator-siteurl.ini")
    write_if_changed(os.path.join(out, "siteurl.ini"), open(siteurl, "rb").read())


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""The test site of the end-to-end journey and the demo: every host the client's addresses name, served on one port
of the loopback interface and told apart by the Host header. The login page "logs in" by a redirect to a game-server
address; the game page links back to the ordinary site, whose page returns to the login page by a meta refresh. The
login page carries an advert whose script fails, as adverts do.

A test takes the site down and brings it back with /__site/down and /__site/up (any host): while it is down, every
other request has its connection reset unanswered, as by a server that cannot be reached.

    site.py --port-file FILE     serves on a free port of 127.0.0.1 and writes the port into FILE
"""
import argparse
import http.server
import os
import socket
import socketserver
import struct
import sys

LOGIN = "/zrkpt/inlinelogin/"
GAME_HOST_SUFFIX = ".game.lumora.example"


def page(title, links, refresh=None, script=""):
    head = f'<meta http-equiv="refresh" content="0; url={refresh}">' if refresh else ""
    body = "".join(f'<p><a href="{href}">{text}</a></p>' for text, href in links)
    if script:
        body += f"<script>{script}</script>"
    return f"<html><head><title>{title}</title>{head}</head><body>{body}</body></html>".encode("utf-8")


class Site(http.server.BaseHTTPRequestHandler):
    down = False

    def do_GET(self):
        host = (self.headers.get("Host") or "").split(":")[0].lower()
        path = self.path.split("?")[0]
        if path in ("/__site/down", "/__site/up"):
            Site.down = path == "/__site/down"
            self.send(page("down" if Site.down else "up", []))
        elif Site.down:
            # No answer at all: the connection is reset, as by a server that is not there.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.close_connection = True
        elif host == "www.lumora.example" and path == LOGIN:
            self.send(page("Lumora 账号登录 / Sign in", [("登录 Log in", "/login?user=demo")],
                           script="advert.show();"))
        elif host == "www.lumora.example" and path == "/login":
            self.redirect("http://s12.game.lumora.example/play.php?id=3")
        elif host.endswith(GAME_HOST_SUFFIX) and path == "/play.php":
            self.send(page("Lumora S12 — 游戏中 / In the game",
                           [("返回官网 Back to the site", "http://www.lumora.example/home")]))
        elif host == "www.lumora.example" and path == "/home":
            self.send(page("Lumora", [("登录页 Sign-in page", LOGIN + "?channelid=0")],
                           refresh=LOGIN + "?channelid=0"))
        else:
            self.send(page("404 " + host + self.path, []), status=404)

    def send(self, body, status=200):
        self.send_response(status)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, location):
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def log_message(self, fmt, *args):
        sys.stderr.write("site: " + (fmt % args) + "\n")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file", required=True)
    args = parser.parse_args()
    server = Server(("127.0.0.1", 0), Site)
    with open(args.port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(args.port_file + ".tmp", args.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
